#include "cards/bingo_cards.h"
#include "cards/card_register.h"

#include "platform/qt_printer.h"
#include "platform/random.h"
#include "support/fake_dialogs.h"
#include "support/printer_recorder.h"
#include "support/test_files.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace halvora::test {
namespace {

using namespace Qt::StringLiterals;

class BingoCardsTest : public ::testing::Test {
protected:
    void issue(const QString& reply, Printer& to) {
        dialogs.answerNextInput(reply);
        printBingoCards({to, random, dialogs, nullptr, data.path()});
    }

    ProgramFolder data;
    PrinterRecorder printer;
    MersenneRandom random;
    FakeDialogs dialogs;
};

TEST_F(BingoCardsTest, RepliesGiveTheirLeadingNumberOfSheetsOrNothing) {
    // An empty reply is also what a cancelled box gives; out of range replies are told.
    const std::tuple<const char*, int, bool> cases[] = {
        {"1", 1, false},   {"2枚", 2, false}, {"2.5", 2, false},  {"0", 0, false}, {"", 0, false},
        {"0.4", 0, false}, {"abc", 0, false}, {"40000", 0, true}, {"-5", 0, true}, {"32767.5", 0, true}};
    for (const auto& [reply, sheets, told] : cases) {
        printer.lines.clear();
        dialogs.clear();
        issue(QString::fromUtf8(reply), printer);
        EXPECT_EQ(printer.lines.count(u"page"_s), sheets) << reply;
        EXPECT_EQ(printer.lines.isEmpty(), sheets == 0) << reply;
        EXPECT_EQ(dialogs.messages().size(), told ? 1u : 0u) << reply;
    }
    EXPECT_EQ(dialogs.messages().at(0).prompt,
              u"発行枚数は 0 から 32767 までの数で指定してください。\r\nカードは発行されませんでした。"_s);
    EXPECT_EQ(dialogs.inputs().at(0),
              std::pair(u"発行枚数(B5に２カード)を指定してください(0は未発行)"_s, u"1"_s));
}

TEST_F(BingoCardsTest, WithoutPrinterTheCardsGoIntoANamedPdfOrNowhere) {
    // No printer, or a print server that did not answer: the operator is told, and may cancel the PDF.
    for (const bool answers : {true, false}) {
        printer.hasPrinter = false;
        printer.printSystemAnswers = answers;
        issue(u"1"_s, printer);
        EXPECT_EQ(dialogs.messages().back().prompt,
                  (answers ? u"プリンターが設定されていません。"_s : u"プリンターが応答しません。"_s) +
                      u"\r\nビンゴカードをPDFファイルに保存します。"_s);
    }
    const FileDialogOptions& asked = dialogs.fileRequests().at(0);
    EXPECT_EQ(asked.filters.at(0).first + asked.filters.at(0).second, u"PDF(*.pdf)*.pdf"_s);
    EXPECT_EQ(asked.name, data.file(u"ビンゴカード.pdf"_s));
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

// Two A4 pages; on each card 24 distinct numbers 01..75 and the star in the centre, each inside its square.
TEST_F(BingoCardsTest, RealPrinterWritesEachNumberInsideItsSquare) {
    PdfOnlyPrinter pdfPrinter;
    const QString pdf = data.file(u"cards.pdf"_s);
    dialogs.answerNextFile(pdf);
    issue(u"2"_s, pdfPrinter);
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files), QStringList{u"cards.pdf"_s});

    const std::vector<PdfPage> pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 2u);
    for (const PdfPage& page : pages) {
        EXPECT_TRUE(page.size.startsWith(uR"(width="595.000000" height="842.000000")"_s)); // A4 portrait
        std::set<QString> texts[2]; // per card: 24 numbers and the star
        for (const PdfWord& word : page.words) {
            const double x = word.left, y = word.top;
            const int c = y < 145 ? 0 : 1;
            const long i = std::lround((x - 1) / 20), j = std::lround((y - 1 - 145 * c) / 20);
            EXPECT_NEAR(x, 20 * i + 1, 0.5);
            EXPECT_NEAR(y, 145 * c + 20 * j + 1, 0.5);
            const QString& text = word.text;
            EXPECT_TRUE(i == 3 && j == 3 ? text == u"☆"_s
                                         : text.size() == 2 && text.toInt() >= 1 && text.toInt() <= 75)
                << text.toStdString();
            texts[c].insert(text);
        }
        EXPECT_TRUE(texts[0].size() == 25 && texts[1].size() == 25);
    }

    // The squares' lines, 20 mm apart, are on the page (checked below the numbers); the margin is blank.
    ASSERT_EQ(QProcess::execute(u"pdftoppm"_s,
                                {u"-r"_s, u"100"_s, u"-singlefile"_s, u"-png"_s, pdf, data.file(u"sheet"_s)}),
              0);
    const QImage sheet(data.file(u"sheet.png"_s));
    auto inked = [&sheet](double x, double y) { // anything dark within half a millimetre of (x, y) mm
        int darkest = 255;
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -2; dy <= 2; ++dy)
                darkest =
                    std::min(darkest, qGray(sheet.pixel(int(x * 100 / 25.4) + dx, int(y * 100 / 25.4) + dy)));
        return darkest < 128;
    };
    for (int c = 0; c <= 1; ++c) {
        EXPECT_FALSE(inked(10, 145 * c + 10) || inked(30, 145 * c + 39));
        for (int k = 1; k <= 6; ++k)
            EXPECT_TRUE(inked(20 * k, 145 * c + 39) && inked(30, 145 * c + 20 * k)) << c << " " << k;
    }
}

// The B I N G O card on paper: its header, each column's numbers from its own range, every number
// inside its square with room around it, and the serial the register gave under the grid.
TEST_F(BingoCardsTest, BingoStyleColumnsAndMarginsReadBackFromThePdf) {
    PdfOnlyPrinter pdfPrinter;
    CardRegister cards(data.file(u"Halvora.cards"_s));
    ASSERT_EQ(cards.open(), CardRegister::Opened::Ready);
    const QString pdf = data.file(u"bingo.pdf"_s);
    dialogs.answerNextFile(pdf);
    dialogs.answerNextInput(u"2"_s);
    printBingoCards({pdfPrinter, random, dialogs, nullptr, data.path()}, {&cards, CardStyle::Bingo, {}});

    const std::vector<PdfPage> pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 2u);
    QStringList headers, serials;
    int numbers = 0;
    for (const PdfPage& page : pages)
        for (const PdfWord& word : page.words) {
            const int card = word.top < 150 ? 0 : 1;
            const double top = (card == 0 ? 30 : 165) + 14;
            const int column = static_cast<int>((word.left - 60) / 18), row = static_cast<int>((word.top - top) / 18);
            if (word.top < top) {
                headers << word.text;
                continue;
            }
            if (row >= 5) {
                serials << word.text;
                continue;
            }
            const double left = 60 + 18 * column, upper = top + 18 * row;
            EXPECT_TRUE(word.left >= left + 1.5 && word.right <= left + 16.5 && word.top >= upper + 1 &&
                        word.bottom <= upper + 17)
                << word.text.toStdString() << " at " << word.left << "," << word.top;
            if (word.text == u"☆"_s) {
                EXPECT_TRUE(row == 2 && column == 2);
                continue;
            }
            EXPECT_EQ((word.text.toInt() - 1) / 15, column) << word.text.toStdString();
            ++numbers;
        }
    EXPECT_EQ(numbers, 4 * 24);
    EXPECT_EQ(headers.join(QString()), u"BINGO"_s.repeated(4));
    EXPECT_EQ(serials.join(u' '), u"No. 0001 No. 0002 No. 0003 No. 0004"_s);
}

} // namespace
} // namespace halvora::test
