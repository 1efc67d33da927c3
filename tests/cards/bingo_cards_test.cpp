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
#include <map>
#include <set>

namespace halvora::test {
namespace {

class BingoCardsTest : public ::testing::Test {
protected:
    void issue(const QString& reply) {
        dialogs.answerNextInput(reply);
        ビンゴカード発行_Click(with);
    }
    int count(const QString& line) const { return static_cast<int>(printer.lines.count(line)); }

    ProgramFolder data;
    PrinterRecorder printer;
    MersenneRandom random;
    FakeDialogs dialogs;
    CardPrinting with{printer, random, dialogs, nullptr, data.path()};
};

TEST_F(BingoCardsTest, SheetsGoOutGridFirstWithTwoCardsOfDistinctNumbers) {
    issue(QStringLiteral("2枚"));
    ASSERT_EQ(dialogs.inputs().size(), 1u);
    EXPECT_EQ(dialogs.inputs()[0].first, QStringLiteral("発行枚数(B5に２カード)を指定してください(0は未発行)"));
    EXPECT_EQ(dialogs.inputs()[0].second, QStringLiteral("1"));

    // Set-up once, then per sheet 50 squares, 50 texts (x, y, size, text) and a new page; then the end.
    const QStringList setUp{"pages 2", "font ＭＳ 明朝", "scale mm", "paper 9", "orientation 1", "bold 0"};
    constexpr int kSheetLines = 50 + 50 * 4 + 1;
    ASSERT_EQ(printer.lines.size(), setUp.size() + 2 * kSheetLines + 1);
    EXPECT_EQ(printer.lines.mid(0, setUp.size()), setUp);
    EXPECT_EQ(printer.lines.back(), QStringLiteral("end"));
    for (int sheet = 0; sheet < 2; ++sheet) {
        const QStringList lines = printer.lines.mid(setUp.size() + sheet * kSheetLines, kSheetLines);
        EXPECT_EQ(lines.back(), QStringLiteral("page"));
        for (int c = 0, box = 0, text = 50; c <= 1; ++c) {
            std::set<int> numbers;
            for (int i = 1; i <= 5; ++i)
                for (int j = 1; j <= 5; ++j, ++box, text += 4) {
                    const int top = 145 * c + 20 * j;
                    EXPECT_EQ(lines[box], QStringLiteral("box %1 %2 20 20 0").arg(20 * i).arg(top));
                    EXPECT_EQ(lines.mid(text, 2), QStringList({QStringLiteral("x %1").arg(20 * i + 1),
                                                               QStringLiteral("y %1").arg(top + 1)}));
                    const bool centre = i == 3 && j == 3;
                    EXPECT_EQ(lines[text + 2], centre ? QStringLiteral("size 51") : QStringLiteral("size 50"));
                    const QString shown = lines[text + 3].mid(5);
                    if (centre) {
                        EXPECT_EQ(shown, QStringLiteral("☆"));
                        continue;
                    }
                    EXPECT_EQ(shown.size(), 2) << shown.toStdString();
                    const int n = shown.toInt();
                    EXPECT_TRUE(n >= 1 && n <= 75) << n;
                    numbers.insert(n);
                }
            EXPECT_EQ(numbers.size(), 24u) << "sheet " << sheet << " card " << c;
        }
    }
}

TEST_F(BingoCardsTest, RepliesGiveTheirLeadingNumberOfSheetsOrNothing) {
    struct Case {
        const char* reply;
        int sheets;
        bool told;
    };
    // An empty reply is also what a cancelled box gives.
    const Case cases[] = {{"1", 1, false},  {"2枚", 2, false},   {"2.5", 2, false}, {"0", 0, false},
                          {"", 0, false},   {"0.4", 0, false},   {"abc", 0, false}, {"40000", 0, true},
                          {"-5", 0, true},  {"32767.5", 0, true}};
    for (const Case& test : cases) {
        printer.lines.clear();
        dialogs.clear();
        issue(QString::fromUtf8(test.reply));
        EXPECT_EQ(count(QStringLiteral("page")), test.sheets) << test.reply;
        if (test.sheets == 0) {
            EXPECT_TRUE(printer.lines.isEmpty()) << test.reply;
        }
        ASSERT_EQ(dialogs.messages().size(), test.told ? 1u : 0u) << test.reply;
        if (test.told) {
            EXPECT_TRUE(dialogs.messages()[0].prompt.startsWith(QStringLiteral("発行枚数は 0 から 32767 まで")));
        }
    }
}

TEST_F(BingoCardsTest, WithoutPrinterTheCardsGoIntoANamedPdf) {
    printer.hasPrinter = false;
    // Cancelled save dialog: told once, nothing printed.
    issue(QStringLiteral("1"));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].prompt,
              QStringLiteral("プリンターが設定されていません。\r\nビンゴカードをPDFファイルに保存します。"));
    ASSERT_EQ(dialogs.saveRequests().size(), 1u);
    const FileNameRequest& asked = dialogs.saveRequests()[0];
    EXPECT_EQ(asked.filter[0], QStringLiteral("PDF(*.pdf)"));
    EXPECT_EQ(asked.filter[1], QStringLiteral("*.pdf"));
    EXPECT_EQ(asked.file, data.file(QStringLiteral("ビンゴカード.pdf")));
    EXPECT_TRUE(printer.lines.isEmpty());

    // A chosen name gets the extension; a job that fails is reported with it.
    printer.endSucceeds = false;
    dialogs.answerNextSaveFile(data.file(QStringLiteral("cards")));
    issue(QStringLiteral("1"));
    EXPECT_EQ(printer.lines.first(), QStringLiteral("output ") + data.file(QStringLiteral("cards.pdf")));
    EXPECT_EQ(printer.lines.back(), QStringLiteral("end"));
    ASSERT_EQ(dialogs.messages().size(), 3u);
    EXPECT_EQ(dialogs.messages()[2].prompt, QStringLiteral("ビンゴカードを印刷できませんでした。\r\nファイル名 = ") +
                                                data.file(QStringLiteral("cards.pdf")) +
                                                QStringLiteral("\r\n処理を中止します。"));
}

TEST_F(BingoCardsTest, CancelAbandonsTheJobAfterTheSheetInHand) {
    printer.cancelAfterPages = 1;
    issue(QStringLiteral("3"));
    EXPECT_EQ(count(QStringLiteral("page")), 1);
    EXPECT_EQ(printer.lines.back(), QStringLiteral("kill"));
    EXPECT_EQ(count(QStringLiteral("end")), 0);
}

// The real printer, as on a machine without one: the cards go into the PDF the operator names.
class PdfOnlyPrinter final : public QtPrinter {
public:
    bool hasDefaultPrinter() const override { return false; }
};

struct Word {
    double x, y; // millimetres from the page's top-left
    QString text;
};

std::vector<std::vector<Word>> pdfPages(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(process.waitForFinished(30000)) << "pdftotext (poppler-utils) is needed";
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
    std::vector<std::vector<Word>> pages;
    for (const QRegularExpressionMatch& m : word.globalMatch(html)) {
        if (m.captured(0) == QStringLiteral("<page ")) {
            pages.emplace_back();
            continue;
        }
        constexpr double kMillimetresPerPoint = 25.4 / 72;
        pages.back().push_back(
            {m.captured(1).toDouble() * kMillimetresPerPoint, m.captured(2).toDouble() * kMillimetresPerPoint,
             m.captured(3)});
    }
    return pages;
}

TEST_F(BingoCardsTest, RealPrinterWritesEachNumberInsideItsSquare) {
    PdfOnlyPrinter pdfPrinter;
    CardPrinting real{pdfPrinter, random, dialogs, nullptr, data.path()};
    dialogs.answerNextInput(QStringLiteral("2"));
    dialogs.answerNextSaveFile(data.file(QStringLiteral("cards.pdf")));
    ビンゴカード発行_Click(real);
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files), QStringList{QStringLiteral("cards.pdf")});

    const auto pages = pdfPages(data.file(QStringLiteral("cards.pdf")));
    ASSERT_EQ(pages.size(), 2u);
    for (const std::vector<Word>& page : pages) {
        std::map<int, std::set<QString>> numbers; // per card
        std::set<std::pair<int, int>> squares;
        for (const Word& w : page) {
            const int c = w.y < 145 ? 0 : 1;
            const int i = static_cast<int>(std::lround((w.x - 1) / 20));
            const int j = static_cast<int>(std::lround((w.y - 1 - 145 * c) / 20));
            EXPECT_NEAR(w.x, 20 * i + 1, 0.5) << w.text.toStdString();
            EXPECT_NEAR(w.y, 145 * c + 20 * j + 1, 0.5) << w.text.toStdString();
            squares.insert({c * 100 + i, j});
            if (i == 3 && j == 3) {
                EXPECT_EQ(w.text, QStringLiteral("☆"));
            } else {
                numbers[c].insert(w.text);
            }
        }
        EXPECT_EQ(squares.size(), 50u);
        EXPECT_EQ(numbers[0].size(), 24u);
        EXPECT_EQ(numbers[1].size(), 24u);
    }
}

} // namespace
} // namespace halvora::test
