// Bingo cards into a PDF through the real printer, as on a machine without one: the time for 100
// sheets and the file's size per sheet. "--save <file>" keeps the last PDF for looking at.
#include "bench_app.h"
#include "bench_util.h"

#include "cards/bingo_cards.h"
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
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--save") == 0)
            QFile::copy(pdf, QString::fromLocal8Bit(argv[i + 1]));
    return 0;
}
