// Bingo cards into a PDF through the real printer, as on a machine without one: the time for 100
// sheets and the file's size per sheet. "--save <file>" keeps the last PDF for looking at. Then the
// card register: 10,000 cards registered in one job, one claim checked by its serial, and the live
// counts of 10,000 issued cards after a draw.
#include "bench_app.h"
#include "bench_util.h"

#include "cards/bingo_cards.h"
#include "cards/card_check_window.h"
#include "cards/card_register.h"
#include "platform/qt_printer.h"
#include "platform/random.h"
#include "support/fake_dialogs.h"
#include "support/test_files.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {

using namespace halvora;

class PdfOnlyPrinter final : public QtPrinter {
public:
    bool hasDefaultPrinter() const override { return false; }
};

double msSince(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

void benchRegister(int repetitions) {
    MersenneRandom random;
    std::vector<double> registering, checking, counting;
    for (int r = 0; r < repetitions; ++r) {
        test::ProgramFolder folder;
        CardRegister cards(folder.file(QStringLiteral("Halvora.cards")));
        cards.open();
        std::vector<Card> job;
        for (int k = 0; k < 10000; ++k)
            job.push_back(dealCard(k % 2 ? CardStyle::Bingo : CardStyle::Classic, random));
        QElapsedTimer timer;
        timer.start();
        cards.endJob(cards.registerJob(job), true);
        registering.push_back(msSince(timer));

        std::array<bool, 76> drawn{};
        std::vector<int> order;
        for (int n = 3; n <= 75; n += 3)
            drawn[static_cast<std::size_t>(n)] = true, order.push_back(n);
        timer.restart();
        const CardCheck check = checkClaim(&cards, 5000, drawn, order);
        checking.push_back(msSince(timer));
        if (check.found != CardRegister::Found::Issued)
            std::exit(1);

        IssuedCards issued;
        issued.set(cards.issuedCards());
        timer.restart();
        const CardCounts counts = issued.count(drawn);
        counting.push_back(msSince(timer));
        if (counts.issued != 10000)
            std::exit(1);
    }
    bench::report("register_10000_cards_ms", bench::median(registering), "ms");
    bench::report("check_one_claim_ms", bench::median(checking), "ms");
    bench::report("count_10000_cards_ms", bench::median(counting), "ms");
}

} // namespace

int main(int argc, char** argv) {
    bench::Application app(argc, argv);
    const int repetitions = bench::quickRun(argc, argv) ? 1 : 5;
    constexpr int kSheets = 100;

    test::ProgramFolder folder;
    const QString pdf = folder.file(QStringLiteral("cards.pdf"));
    PdfOnlyPrinter printer;
    MersenneRandom random;
    test::FakeDialogs dialogs;
    const CardPrinting with{printer, random, dialogs, nullptr, folder.path()};
    std::vector<double> times;
    std::vector<double> kbPerSheet;
    for (int r = 0; r < repetitions; ++r) {
        dialogs.answerNextFile(pdf);
        QElapsedTimer timer;
        timer.start();
        printBingoCards(with, QString::number(kSheets));
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        kbPerSheet.push_back(static_cast<double>(QFileInfo(pdf).size()) / 1024 / kSheets);
    }
    if (QFileInfo(pdf).size() == 0) {
        std::fprintf(stderr, "bench_cards: no PDF was written\n");
        return 1;
    }
    bench::report("cards_100_sheets_pdf_ms", bench::median(times), "ms");
    bench::report("cards_pdf_kb_per_sheet", bench::median(kbPerSheet), "kB");
    benchRegister(repetitions);
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--save") == 0)
            QFile::copy(pdf, QString::fromLocal8Bit(argv[i + 1]));
    return 0;
}
