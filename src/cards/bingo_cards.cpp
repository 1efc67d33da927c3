#include "cards/bingo_cards.h"

#include "cards/card_register.h"
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

void printAt(Printer& printer, double x, double y, double points, const QString& text) {
    printer.setCurrentX(x);
    printer.setCurrentY(y);
    printer.setFontSize(points);
    printer.printText(text);
}

QString squareText(const Card& card, int row, int column) {
    const int n = card.at(row, column);
    return n == 0 ? QStringLiteral("☆") : QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Numbers go down column by column, top to bottom; the centre square holds the star. The serial
// stands small under the grid.
void printClassicSheet(Printer& printer, const Card* cards) {
    drawGrid(printer);
    for (int c = 0; c <= 1; ++c) {
        for (int i = 1; i <= 5; ++i)
            for (int j = 1; j <= 5; ++j)
                printAt(printer, kSquare * i + 1, kCardStep * c + kSquare * j + 1, i == 3 && j == 3 ? 51 : 50,
                        squareText(cards[c], j - 1, i - 1));
        if (cards[c].serial > 0)
            printAt(printer, kSquare, kCardStep * c + 6 * kSquare + 1.5, 10, serialText(cards[c].serial));
    }
}

// The B I N G O card: a header over columns of 1–15 … 61–75, the two cards centred on the sheet,
// the digits centred in their squares with room around them.
constexpr double kBingoSquare = 18;
constexpr double kBingoHeader = 14;
constexpr double kBingoLeft = (210 - 5 * kBingoSquare) / 2;
constexpr double kBingoTop[2] = {30, 165};
constexpr double kDigitPoints = 26;
constexpr double kMillimetresPerPoint = 25.4 / 72;

// Where text of `ems` em width starts to stand centred in a cell from `left` of `width` mm.
double centred(double left, double width, double ems, double points) {
    return left + (width - ems * points * kMillimetresPerPoint) / 2;
}

void printBingoSheet(Printer& printer, const Card* cards) {
    static const QString header[5] = {QStringLiteral("B"), QStringLiteral("I"), QStringLiteral("N"),
                                      QStringLiteral("G"), QStringLiteral("O")};
    for (int c = 0; c <= 1; ++c) {
        const double top = kBingoTop[c] + kBingoHeader;
        for (int column = 0; column < 5; ++column)
            for (int row = 0; row < 5; ++row)
                printer.drawBox(kBingoLeft + kBingoSquare * column, top + kBingoSquare * row, kBingoSquare, kBingoSquare);
        for (int column = 0; column < 5; ++column) {
            const double left = kBingoLeft + kBingoSquare * column;
            printAt(printer, centred(left, kBingoSquare, 0.7, 30), kBingoTop[c], 30, header[column]);
            for (int row = 0; row < 5; ++row) {
                const QString text = cards[c].at(row, column) == 0 ? QStringLiteral("☆")
                                                                   : QString::number(cards[c].at(row, column));
                const double ems = cards[c].at(row, column) == 0 ? 1.0 : 0.5 * static_cast<double>(text.size());
                printAt(printer, centred(left, kBingoSquare, ems, kDigitPoints),
                        top + kBingoSquare * row + (kBingoSquare - 1.1 * kDigitPoints * kMillimetresPerPoint) / 2,
                        kDigitPoints, text);
            }
        }
        if (cards[c].serial > 0)
            printAt(printer, kBingoLeft, top + 5 * kBingoSquare + 1.5, 10, serialText(cards[c].serial));
    }
}

// The cards of the job registered before any sheet goes out; without a register, or when it fails,
// the cards carry no serial and the operator is told why.
int registerCards(const CardPrinting& with, const CardIssue& issue, std::vector<Card>& cards) {
    if (!issue.cards)
        return 0;
    const int job = issue.cards->isOpen() ? issue.cards->registerJob(cards) : 0;
    if (job == 0)
        with.dialogs.messageBox(with.owner,
                                QStringLiteral("カード台帳に登録できないため、カード番号なしで印刷します。\r\n"
                                               "このカードは「カード確認」で確認できません。"),
                                MessageKind::Warning);
    return job;
}

} // namespace

void printBingoCards(const CardPrinting& with, const CardIssue& issue) {
    const QString reply = with.dialogs.inputBox(
        with.owner, QStringLiteral("発行枚数(B5に２カード)を指定してください(0は未発行)"), {},
        QStringLiteral("1"));
    printBingoCards(with, reply, issue);
}

void printBingoCards(const CardPrinting& with, const QString& reply, const CardIssue& issue) {
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
    std::vector<Card> cards;
    cards.reserve(static_cast<std::size_t>(*sheets) * 2);
    for (int k = 0; k < 2 * *sheets; ++k)
        cards.push_back(dealCard(issue.style, with.random));
    const int job = registerCards(with, issue, cards);
    Printer& printer = with.printer;
    printer.setPageCount(*sheets);
    setUpPage(printer);
    for (std::size_t s = 0; s < cards.size(); s += 2) {
        (issue.style == CardStyle::Bingo ? printBingoSheet : printClassicSheet)(printer, &cards[s]);
        printer.newPage();
        if (printer.cancelled()) {
            printer.killDoc();
            if (issue.cards)
                issue.cards->endJob(job, false);
            return;
        }
    }
    const bool printed = printer.endDoc();
    if (issue.cards)
        issue.cards->endJob(job, printed);
    if (!printed)
        reportFailure(with, *pdf);
    else if (issue.issued && job != 0)
        issue.issued(cards);
}

} // namespace halvora
