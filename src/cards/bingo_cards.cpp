#include "cards/bingo_cards.h"

#include "common/number_text.h"
#include "platform/dialogs.h"
#include "platform/print_output.h"
#include "platform/printer.h"
#include "platform/random_pick.h"

#include <QStringList>

#include <cmath>
#include <optional>

namespace halvora {

namespace {

constexpr int kMaxSheets = 32767;
constexpr int kPaperA4 = 9;
constexpr int kPortrait = 1;
constexpr double kSquare = 20;    // millimetres
constexpr double kCardStep = 145; // from the upper card to the lower one

// The sheet count of a reply: its leading number rounded, halves to even; none outside 0..32767.
std::optional<int> sheetCount(const QString& reply) {
    const double sheets = std::nearbyint(numberFromText(reply));
    if (!(sheets >= 0 && sheets <= kMaxSheets))
        return std::nullopt;
    return static_cast<int>(sheets);
}

void reportBadCount(const CardPrinting& with) {
    with.dialogs.messageBox(with.owner,
                            QStringLiteral("発行枚数は 0 から %1 までの数で指定してください。\r\n"
                                           "カードは発行されませんでした。")
                                .arg(kMaxSheets),
                            MessageKind::Plain);
}

void reportFailure(const CardPrinting& with, const QString& pdf) {
    QStringList lines{QStringLiteral("ビンゴカードを印刷できませんでした。")};
    if (!pdf.isEmpty())
        lines << QStringLiteral("ファイル名 = ") + pdf;
    lines << QStringLiteral("処理を中止します。");
    with.dialogs.messageBox(with.owner, lines.join(QStringLiteral("\r\n")), MessageKind::Plain);
}

void setUpPage(Printer& printer) {
    printer.setFontName(QStringLiteral("ＭＳ 明朝"));
    printer.setScaleMillimetres();
    printer.setPaperSize(kPaperA4);
    printer.setOrientation(kPortrait);
    printer.setFontBold(false);
}

// All 50 squares of a sheet go down before any text.
void drawGrid(Printer& printer) {
    for (int c = 0; c <= 1; ++c)
        for (int i = 1; i <= 5; ++i)
            for (int j = 1; j <= 5; ++j)
                printer.drawBox(kSquare * i, kCardStep * c + kSquare * j, kSquare, kSquare);
}

// Numbers are taken column by column, top to bottom; the centre square holds the star.
void printNumbers(Printer& printer, Random& random) {
    for (int c = 0; c <= 1; ++c) {
        UsedNumbers used{};
        for (int i = 1; i <= 5; ++i) {
            for (int j = 1; j <= 5; ++j) {
                printer.setCurrentX(kSquare * i + 1);
                printer.setCurrentY(kCardStep * c + kSquare * j + 1);
                const bool centre = i == 3 && j == 3;
                printer.setFontSize(centre ? 51 : 50);
                printer.printText(centre ? QStringLiteral("☆") : pickUnusedNumber(random, used));
            }
        }
    }
}

} // namespace

void printBingoCards(const CardPrinting& with) {
    const QString reply = with.dialogs.inputBox(
        with.owner, QStringLiteral("発行枚数(B5に２カード)を指定してください(0は未発行)"), {},
        QStringLiteral("1"));
    printBingoCards(with, reply);
}

void printBingoCards(const CardPrinting& with, const QString& reply) {
    const std::optional<int> sheets = sheetCount(reply);
    if (!sheets) {
        reportBadCount(with);
        return;
    }
    if (*sheets == 0)
        return;
    const std::optional<QString> pdf =
        choosePrintOutput(with.printer, with.dialogs, with.owner, with.dataFolder, QStringLiteral("ビンゴカード"));
    if (!pdf)
        return;
    Printer& printer = with.printer;
    printer.setPageCount(*sheets);
    setUpPage(printer);
    for (int s = 1; s <= *sheets; ++s) {
        drawGrid(printer);
        printNumbers(printer, with.random);
        printer.newPage();
        if (printer.cancelled()) {
            printer.killDoc();
            return;
        }
    }
    if (!printer.endDoc())
        reportFailure(with, *pdf);
}

QString pickUnusedNumber(Random& random, UsedNumbers& flags) {
    std::int32_t n = 0;
    do {
        n = randomPick(random, 75);
    } while (flags.at(static_cast<std::size_t>(n)) != 0);
    flags.at(static_cast<std::size_t>(n)) = -1;
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace halvora
