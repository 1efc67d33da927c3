#include "cards/bingo_cards.h"
#include "cards/card.h"
#include "cards/card_check_window.h"
#include "cards/card_register.h"

#include "platform/qt_printer.h"
#include "platform/random.h"
#include "support/fake_dialogs.h"
#include "support/printer_recorder.h"
#include "support/test_files.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <set>

namespace halvora::test {
namespace {

using namespace Qt::StringLiterals;

class BingoCardsTest : public ::testing::Test {
protected:
    // The operator asks for cards and answers the box with `reply`; they print on `to`.
    void issue(const QString& reply, Printer& to, const CardIssue& cards = {}) {
        dialogs.answerNextInput(reply);
        printBingoCards({to, random, dialogs, nullptr, data.path()}, cards);
    }
    std::vector<Card> deal(int count) {
        std::vector<Card> cards;
        for (int k = 0; k < count; ++k)
            cards.push_back(dealCard(k % 2 ? CardStyle::Bingo : CardStyle::Classic, random));
        return cards;
    }

    ProgramFolder data;
    QString path = data.file(u"Halvora.cards"_s); // the card register
    PrinterRecorder printer;
    MersenneRandom random;
    FakeDialogs dialogs;
};

TEST_F(BingoCardsTest, RepliesGiveTheirNumberOfSheetsAndWithoutPrinterTheCardsGoIntoANamedPdfOrNowhere) {
    // An empty reply is also what a cancelled box gives; out of range replies are told.
    const std::tuple<const char*, int, bool> cases[] = {
        {"1", 1, false},   {"2枚", 2, false}, {"2.5", 2, false},  {"0", 0, false}, {"", 0, false},
        {"0.4", 0, false}, {"abc", 0, false}, {"40000", 0, true}, {"-5", 0, true}, {"32767.5", 0, true}};
    for (const auto& [reply, sheets, told] : cases) {
        printer.lines.clear();
        dialogs.clear();
        issue(QString::fromUtf8(reply), printer);
        EXPECT_EQ(
            std::tuple(printer.lines.count(u"page"_s), printer.lines.isEmpty(), dialogs.messages().size()),
            std::tuple(sheets, sheets == 0, told ? 1u : 0u))
            << reply;
    }
    EXPECT_EQ(dialogs.messages().at(0).prompt,
              u"発行枚数は 0 から 32767 までの数で指定してください。\r\nカードは発行されませんでした。"_s);

    // No printer, or a print server that did not answer: the operator is told, and may cancel the PDF.
    for (const bool answers : {true, false}) {
        printer.hasPrinter = false;
        printer.printSystemAnswers = answers;
        issue(u"1"_s, printer);
        EXPECT_EQ(dialogs.messages().back().prompt,
                  (answers ? u"プリンターが設定されていません。"_s : u"プリンターが応答しません。"_s) +
                      u"\r\nビンゴカードをPDFファイルに保存します。"_s);
    }
    EXPECT_EQ(dialogs.fileRequests().at(0).name, data.file(u"ビンゴカード.pdf"_s));
    EXPECT_TRUE(printer.lines.isEmpty());

    // A failed job is reported, a cancelled one abandoned.
    printer.endSucceeds = false;
    dialogs.answerNextFile(data.file(u"cards"_s));
    issue(u"1"_s, printer);
    EXPECT_EQ(printer.lines.first(), u"output "_s + data.file(u"cards.pdf"_s));
    EXPECT_EQ(dialogs.messages().back().prompt, u"ビンゴカードを印刷できませんでした。\r\nファイル名 = "_s +
                                                    data.file(u"cards.pdf"_s) + u"\r\n処理を中止します。"_s);
    printer.lines.clear();
    printer.cancelAfterPages = 1;
    dialogs.answerNextFile(data.file(u"cards.pdf"_s));
    issue(u"3"_s, printer);
    EXPECT_EQ(printer.lines.count(u"page"_s), 1);
    EXPECT_EQ(printer.lines.back(), u"kill"_s);
}

// A word of a PDF page where pdftotext places it, in millimetres from the page's corner.
struct PdfWord {
    double left, top, right, bottom;
    QString text;
};
struct PdfPage {
    QString size; // as pdftotext gives it: width="…" height="…" in points
    std::vector<PdfWord> words;
};

std::vector<PdfPage> pdfPages(const QString& pdf) {
    QProcess process;
    process.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    EXPECT_TRUE(process.waitForFinished(30000)) << "pdftotext (poppler-utils) is needed";
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re"));
    std::vector<PdfPage> pages;
    for (const QString& page : QString::fromUtf8(process.readAllStandardOutput()).split(u"<page "_s).mid(1)) {
        pages.push_back({page.section(u'>', 0, 0), {}});
        for (const QRegularExpressionMatch& m : word.globalMatch(page)) {
            const auto mm = [&m](int k) { return m.captured(k).toDouble() * 25.4 / 72; };
            pages.back().words.push_back({mm(1), mm(2), mm(3), mm(4), m.captured(5)});
        }
    }
    return pages;
}

// The real printer, as on a machine without one.
class PdfOnlyPrinter final : public QtPrinter {
public:
    bool hasDefaultPrinter() const override { return false; }
};

// Two A4 pages a job, in either style: every card the register gave out, each number inside its square,
// the header above the grid and the serial below it; the grid's lines are on the page.
TEST_F(BingoCardsTest, RealPrinterWritesEachNumberInsideItsSquareInBothStyles) {
    PdfOnlyPrinter pdfPrinter;
    CardRegister cards(path);
    ASSERT_EQ(cards.open(), CardRegister::Opened::Ready);
    // Where each style's grids stand, in mm, and how far a number keeps from its square's sides.
    const struct {
        CardStyle style;
        QString pdf;
        double left, top, cardStep, square, margin;
        QString around; // what stands outside the grids, in reading order
    } layouts[] = {
        {CardStyle::Classic, u"classic.pdf"_s, 20, 20, 145, 20, 0.5, u"No. 0001 No. 0002 No. 0003 No. 0004"_s},
        {CardStyle::Bingo, u"bingo.pdf"_s, 60, 44, 135, 18, 1.5,
         u"B I N G O No. 0005 B I N G O No. 0006 B I N G O No. 0007 B I N G O No. 0008"_s},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.pdf.toStdString());
        std::vector<Card> printed;
        dialogs.answerNextFile(data.file(layout.pdf));
        issue(u"2"_s, pdfPrinter, {&cards, layout.style, [&](const std::vector<Card>& c) { printed = c; }});
        const std::vector<PdfPage> pages = pdfPages(data.file(layout.pdf));
        ASSERT_TRUE(pages.size() == 2 && printed.size() == 4);
        QStringList shown, expected, around; // squares as "card row column: text"
        for (std::size_t p = 0; p < 2; ++p) {
            EXPECT_TRUE(pages[p].size.startsWith(uR"(width="595.000000" height="842.000000")"_s)); // A4 upright
            for (const auto& [left, top, right, bottom, text] : pages[p].words) {
                const int c = top < layout.top + layout.cardStep - 15 ? 0 : 1;
                const double gridTop = layout.top + layout.cardStep * c;
                const int row = static_cast<int>(std::floor((top - gridTop) / layout.square));
                const int column = static_cast<int>(std::floor((left - layout.left) / layout.square));
                if (row < 0 || row > 4) {
                    around << text;
                    continue;
                }
                const double squareLeft = layout.left + layout.square * column;
                const double squareTop = gridTop + layout.square * row, inner = layout.square - layout.margin;
                EXPECT_TRUE(left >= squareLeft + layout.margin && right <= squareLeft + inner &&
                            top >= squareTop + layout.margin && bottom <= squareTop + inner)
                    << text.toStdString() << " at " << left << "," << top;
                shown << u"%1 %2 %3: %4"_s.arg(2 * p + c).arg(row).arg(column).arg(text);
            }
        }
        for (std::size_t k = 0; k < 4; ++k)
            for (int square = 0; square < 25; ++square) {
                const int n = printed[k].at(square / 5, square % 5);
                const QString number = n == 0 ? u"☆"_s
                                       : layout.style == CardStyle::Bingo ? QString::number(n)
                                                                          : u"%1"_s.arg(n, 2, 10, QChar(u'0'));
                expected << u"%1 %2 %3: %4"_s.arg(k).arg(square / 5).arg(square % 5).arg(number);
            }
        shown.sort();
        expected.sort();
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(around.join(u' '), layout.around);
    }

    // The classic grid's lines, 20 mm apart, are on the page (checked below the numbers).
    ASSERT_EQ(QProcess::execute(u"pdftoppm"_s, {u"-r"_s, u"100"_s, u"-singlefile"_s, u"-png"_s,
                                                data.file(u"classic.pdf"_s), data.file(u"sheet"_s)}),
              0);
    const QImage sheet(data.file(u"sheet.png"_s));
    auto inked = [&sheet](double x, double y) { // anything dark within half a millimetre of (x, y) mm
        const QPoint at(int(x * 100 / 25.4), int(y * 100 / 25.4));
        int darkest = 255;
        for (int d = 0; d < 25; ++d)
            darkest = std::min(darkest, qGray(sheet.pixel(at + QPoint(d % 5 - 2, d / 5 - 2))));
        return darkest < 128;
    };
    for (int k = 1; k <= 6; ++k) // across and down
        EXPECT_TRUE(inked(20 * k, 39) && inked(30, 20 * k)) << k;
}

// Serials follow on across jobs and restarts; a cancelled job keeps its serials, void.
TEST_F(BingoCardsTest, JobsReadBackWholeWithSerialsNeverGivenTwice) {
    std::vector<Card> first = deal(3), second = deal(2), third = deal(1);
    {
        CardRegister cards(path);
        ASSERT_EQ(cards.open(), CardRegister::Opened::Ready);
        cards.endJob(cards.registerJob(first), true);
        cards.endJob(cards.registerJob(second), false);
    }
    CardRegister cards(path);
    ASSERT_EQ(cards.open(), CardRegister::Opened::Ready);
    cards.endJob(cards.registerJob(third), true);
    EXPECT_EQ((std::vector{first[0].serial, first[2].serial, second[0].serial, third[0].serial}),
              (std::vector{1, 3, 4, 6}));
    EXPECT_EQ(cards.issuedCards(), (std::vector{first[0], first[1], first[2], third[0]}));
}

// A sheet never goes out with a serial the register does not hold: the program killed mid-job leaves
// the whole job registered, void.
TEST_F(BingoCardsTest, AProgramKilledWhilePrintingLeavesItsWholeJobVoid) {
    EXPECT_EXIT(
        {
            CardRegister cards(path);
            cards.open();
            printer.pageDone = [] { std::raise(SIGKILL); };
            issue(u"3"_s, printer, {&cards, CardStyle::Classic, {}});
        },
        ::testing::KilledBySignal(SIGKILL), "");
    CardRegister cards(path);
    ASSERT_EQ(cards.open(), CardRegister::Opened::Ready);
    Card card;
    for (int serial = 1; serial <= 6; ++serial)
        EXPECT_EQ(cards.find(serial, card), CardRegister::Found::Void) << serial;
    EXPECT_EQ(cards.find(7, card), CardRegister::Found::Unknown);
}

// A damaged register is renamed, byte for byte, and a new one begun; one that cannot be made is told.
TEST_F(BingoCardsTest, ADamagedRegisterIsSetAsideAndPrintingGoesOn) {
    const QByteArray garbage("this is not a card register\n", 28);
    writeBytes(path, garbage);
    CardRegister cards(path);
    ASSERT_EQ(cards.open(), CardRegister::Opened::SetAside);
    EXPECT_TRUE(cards.setAsidePath().startsWith(path + u".damaged-"_s));
    EXPECT_EQ(readBytes(cards.setAsidePath()), garbage);
    std::vector<Card> job = deal(1);
    EXPECT_NE(cards.registerJob(job), 0);

    // A folder where nothing can be made: cards print without serials, and the operator is told.
    CardRegister nowhere(data.file(u"missing/folder/Halvora.cards"_s));
    EXPECT_EQ(nowhere.open(), CardRegister::Opened::Unusable);
    issue(u"1"_s, printer, {&nowhere, CardStyle::Classic, {}});
    EXPECT_EQ(printer.lines.count(u"page"_s), 1);
    EXPECT_FALSE(printer.lines.join(u'\n').contains(u"No."_s));
    EXPECT_EQ(dialogs.messages().back().prompt,
              u"カード台帳に登録できないため、カード番号なしで印刷します。\r\nこのカードは「カード確認」で確認できません。"_s);
}

// Rows of 1..5, 16..20, …: square (row, column) holds 15 * column + row + 1, the ☆ in the centre.
Card bingoCard() {
    Card card;
    card.style = CardStyle::Bingo;
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 5; ++column)
            card.squares[static_cast<std::size_t>(row * 5 + column)] = row == 2 && column == 2 ? 0 : 15 * column + row + 1;
    return card;
}

// The board with `order` drawn.
std::array<bool, 76> drawnOf(const std::vector<int>& order) {
    std::array<bool, 76> drawn{};
    for (const int n : order)
        drawn[static_cast<std::size_t>(n)] = true;
    return drawn;
}

TEST_F(BingoCardsTest, VerdictsOfACardOfAClaimAndOfEveryIssuedCard) {
    // The numbers drawn, in the order they came; what the card shows; the draw that made the bingo.
    const std::tuple<const char*, std::vector<int>, QString, int> rows[] = {
        {"row 2", {17, 47, 32, 62, 2}, u"ビンゴ！（横2行目）"_s, 5},
        {"column 4 and a reach", {46, 47, 48, 49, 50}, u"ビンゴ！（縦4列目）"_s, 5},
        {"the ☆ counts in row 3", {3, 18, 48, 63}, u"ビンゴ！（横3行目）"_s, 4},
        {"both diagonals", {1, 17, 49, 65, 61, 47, 19, 5}, u"ビンゴ！（斜め（＼）・斜め（／））"_s, 4},
        {"row 1 and column 1, the first", {1, 16, 31, 46, 61, 2, 3, 4, 5}, u"ビンゴ！（横1行目・縦1列目）"_s, 5},
        {"two reaches", {1, 16, 31, 46, 2, 3, 4}, u"まだビンゴではありません（リーチ 2）"_s, 0},
    };
    for (const auto& [what, order, text, bingoAtDraw] : rows) {
        const std::array<bool, 76> drawn = drawnOf(order);
        const CardVerdict verdict = checkCard(bingoCard(), [&](int n) { return drawn[std::size_t(n)]; }, order);
        EXPECT_EQ(std::pair(verdictText(verdict), verdict.bingoAtDraw), std::pair(text, bingoAtDraw)) << what;
    }

    // Claims by serial: a corrected mark counts as on the board; unknown, malformed and void serials are told.
    CardRegister cards(path);
    ASSERT_EQ(cards.open(), CardRegister::Opened::Ready);
    std::vector<Card> job = {bingoCard(), bingoCard()}, cancelled = {bingoCard()};
    cards.endJob(cards.registerJob(job), true);
    cards.endJob(cards.registerJob(cancelled), false);

    std::vector<int> order = {16, 17, 18, 19, 20};
    std::array<bool, 76> drawn = drawnOf(order);
    drawn[18] = false; // cleared by hand
    // What is typed, and the headline | the detail.
    const std::pair<QString, QString> claims[] = {
        {u"1"_s, u"まだビンゴではありません（リーチ 1）|"_s},
        {u"３"_s, u"無効なカードです。|印刷が取り消されたか、失敗した印刷のカードです。"_s},
        {u"4"_s, u"このカード番号は発行されていません。|"_s},
        {u"12a"_s, u"このカード番号は発行されていません。|"_s},
    };
    for (const auto& [typed, told] : claims) {
        const CardCheck check = checkClaim(&cards, parseSerial(typed), drawn, order);
        EXPECT_EQ(check.headline + u'|' + check.detail, told) << typed.toStdString();
    }
    drawn[18] = true; // marked again by hand, after 20
    order = {16, 17, 19, 20, 18};
    EXPECT_EQ(checkClaim(&cards, 1, drawn, order).detail, u"5個目の数字（18）でビンゴになりました。"_s);

    // Dealt cards hold 24 distinct numbers (the B I N G O card's in their columns' ranges), and the live
    // counts agree with checking every card one by one.
    random.seed(7);
    const std::vector<Card> dealt = deal(400);
    for (const Card& card : dealt) {
        const std::set<int> numbers(card.squares.begin(), card.squares.end());
        EXPECT_TRUE(numbers.size() == 25 && *numbers.begin() == 0 && *numbers.rbegin() <= 75);
        EXPECT_EQ(card.squares[12], 0);
        for (std::size_t square = 0; square < 25 && card.style == CardStyle::Bingo; ++square)
            EXPECT_TRUE(square == 12 || (card.squares[square] - 1) / 15 == int(square % 5))
                << card.squares[square];
    }
    IssuedCards issued;
    issued.set(dealt);
    drawn = {};
    for (int n = 1; n <= 75; n += 2) {
        drawn[static_cast<std::size_t>(n)] = true;
        CardCounts expected{400, 0, 0};
        for (const Card& card : dealt) {
            const CardVerdict v = checkCard(card, [&](int k) { return drawn[static_cast<std::size_t>(k)]; }, {});
            expected.bingo += v.completeLines.empty() ? 0 : 1;
            expected.reach += v.completeLines.empty() && v.reach > 0 ? 1 : 0;
        }
        EXPECT_EQ(issued.count(drawn), expected) << n;
    }
}

} // namespace
} // namespace halvora::test
