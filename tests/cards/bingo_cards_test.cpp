#include "cards/bingo_cards.h"

#include "platform/qt_printer.h"
#include "platform/random.h"
#include "support/fake_dialogs.h"
#include "support/printer_recorder.h"
#include "support/test_files.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace halvora::test {
namespace {

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

// Set-up once; per sheet all 50 squares, then print point, size and text per square, then a new page.
TEST_F(BingoCardsTest, SheetsGoOutGridFirstWithTwoCardsOfDistinctNumbers) {
    issue(QStringLiteral("2枚"), printer);
    EXPECT_EQ(dialogs.inputs().at(0),
              std::pair(QStringLiteral("発行枚数(B5に２カード)を指定してください(0は未発行)"),
                        QStringLiteral("1")));
    const QStringList setUp{"pages 2", "font ＭＳ 明朝", "scale mm", "paper 9", "orientation 1", "bold 0"};
    QStringList sheet;
    for (int pass = 0; pass < 2; ++pass)
        for (int c = 0; c <= 1; ++c)
            for (int i = 1; i <= 5; ++i)
                for (int j = 1; j <= 5; ++j) {
                    const int x = 20 * i, y = 145 * c + 20 * j;
                    const bool centre = i == 3 && j == 3;
                    if (pass == 0)
                        sheet << QStringLiteral("box %1 %2 20 20").arg(x).arg(y);
                    else
                        sheet << QStringLiteral("x %1").arg(x + 1) << QStringLiteral("y %1").arg(y + 1)
                              << (centre ? "size 51" : "size 50") << (centre ? "text ☆" : "text ##");
                }
    sheet << QStringLiteral("page");
    ASSERT_EQ(printer.lines.size(), setUp.size() + 2 * sheet.size() + 1);
    EXPECT_EQ(printer.lines.mid(0, setUp.size()), setUp);
    EXPECT_EQ(printer.lines.back(), QStringLiteral("end"));
    for (int s = 0; s < 2; ++s) {
        QStringList printed = printer.lines.mid(setUp.size() + s * sheet.size(), sheet.size());
        for (int c = 0; c <= 1; ++c) {
            std::set<int> numbers;
            for (int square = 0; square < 25; ++square) {
                QString& text = printed[50 + (c * 25 + square) * 4 + 3];
                if (text.size() == 7 && text[5].isDigit() && text[6].isDigit()) {
                    numbers.insert(text.mid(5).toInt());
                    text = QStringLiteral("text ##");
                }
            }
            EXPECT_EQ(numbers.size(), 24u) << "sheet " << s << " card " << c;
            EXPECT_TRUE(*numbers.begin() >= 1 && *numbers.rbegin() <= 75);
        }
        EXPECT_EQ(printed, sheet);
    }
}

TEST_F(BingoCardsTest, RepliesGiveTheirLeadingNumberOfSheetsOrNothing) {
    // An empty reply is also what a cancelled box gives; out of range replies are told.
    const std::tuple<const char*, int, bool> cases[] = {
        {"1", 1, false},   {"2枚", 2, false}, {"2.5", 2, false},  {"0", 0, false}, {"", 0, false},
        {"0.4", 0, false}, {"abc", 0, false}, {"40000", 0, true}, {"-5", 0, true}, {"32767.5", 0, true}};
    for (const auto& [reply, sheets, told] : cases) {
        printer.lines.clear();
        dialogs.clear();
        issue(QString::fromUtf8(reply), printer);
        EXPECT_EQ(printer.lines.count(QStringLiteral("page")), sheets) << reply;
        EXPECT_EQ(printer.lines.isEmpty(), sheets == 0) << reply;
        EXPECT_EQ(dialogs.messages().size(), told ? 1u : 0u) << reply;
    }
    EXPECT_EQ(dialogs.messages().at(0).prompt,
              QStringLiteral(
                  "発行枚数は 0 から 32767 までの数で指定してください。\r\nカードは発行されませんでした。"));
}

TEST_F(BingoCardsTest, WithoutPrinterTheCardsGoIntoANamedPdfOrNowhere) {
    printer.hasPrinter = false;
    issue(QStringLiteral("1"), printer); // the save dialog is cancelled
    EXPECT_EQ(dialogs.messages().at(0).prompt,
              QStringLiteral("プリンターが設定されていません。\r\nビンゴカードをPDFファイルに保存します。"));
    const FileDialogOptions& asked = dialogs.fileRequests().at(0);
    EXPECT_EQ(asked.filters.at(0).first + asked.filters.at(0).second, QStringLiteral("PDF(*.pdf)*.pdf"));
    EXPECT_EQ(asked.name, data.file(QStringLiteral("ビンゴカード.pdf")));
    EXPECT_TRUE(printer.lines.isEmpty());
    // A print server that did not answer is told as such; the cards go into a PDF the same way.
    printer.printSystemAnswers = false;
    issue(QStringLiteral("1"), printer);
    EXPECT_EQ(dialogs.messages().back().prompt,
              QStringLiteral("プリンターが応答しません。\r\nビンゴカードをPDFファイルに保存します。"));
    printer.printSystemAnswers = true;

    // The chosen name gets its extension; a failed job is reported, a cancelled one abandoned.
    printer.endSucceeds = false;
    dialogs.answerNextFile(data.file(QStringLiteral("cards")));
    issue(QStringLiteral("1"), printer);
    EXPECT_EQ(printer.lines.first(), QStringLiteral("output ") + data.file(QStringLiteral("cards.pdf")));
    EXPECT_EQ(dialogs.messages().back().prompt,
              QStringLiteral("ビンゴカードを印刷できませんでした。\r\nファイル名 = ") +
                  data.file(QStringLiteral("cards.pdf")) + QStringLiteral("\r\n処理を中止します。"));
    printer.lines.clear();
    printer.cancelAfterPages = 1;
    dialogs.answerNextFile(data.file(QStringLiteral("cards.pdf")));
    issue(QStringLiteral("3"), printer);
    EXPECT_EQ(printer.lines.count(QStringLiteral("page")), 1);
    EXPECT_EQ(printer.lines.back(), QStringLiteral("kill"));
}

// The real printer, as on a machine without one.
class PdfOnlyPrinter final : public QtPrinter {
public:
    bool hasDefaultPrinter() const override { return false; }
};

TEST_F(BingoCardsTest, RealPrinterWritesEachNumberInsideItsSquare) {
    PdfOnlyPrinter pdfPrinter;
    const QString pdf = data.file(QStringLiteral("cards.pdf"));
    dialogs.answerNextFile(pdf);
    issue(QStringLiteral("2"), pdfPrinter);
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files), QStringList{QStringLiteral("cards.pdf")});

    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(process.waitForFinished(30000)) << "pdftotext (poppler-utils) is needed";
    const QStringList pages =
        QString::fromUtf8(process.readAllStandardOutput()).split(QStringLiteral("<page "));
    ASSERT_EQ(pages.size(), 3); // what comes before the first page, then two pages
    static const QRegularExpression word(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)<)re"));
    for (const QString& page : pages.mid(1)) {
        std::set<QString> texts[2]; // per card: 24 numbers and the star
        for (const QRegularExpressionMatch& m : word.globalMatch(page)) {
            const double x = m.captured(1).toDouble() * 25.4 / 72, y = m.captured(2).toDouble() * 25.4 / 72;
            const int c = y < 145 ? 0 : 1;
            const long i = std::lround((x - 1) / 20), j = std::lround((y - 1 - 145 * c) / 20);
            EXPECT_NEAR(x, 20 * i + 1, 0.5);
            EXPECT_NEAR(y, 145 * c + 20 * j + 1, 0.5);
            EXPECT_EQ(m.captured(3) == QStringLiteral("☆"), i == 3 && j == 3);
            texts[c].insert(m.captured(3));
        }
        EXPECT_TRUE(texts[0].size() == 25 && texts[1].size() == 25);
    }
}

} // namespace
} // namespace halvora::test
