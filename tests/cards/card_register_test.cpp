#include "cards/bingo_cards.h"
#include "cards/card_register.h"
#include "platform/random.h"
#include "support/fake_dialogs.h"
#include "support/printer_recorder.h"
#include "support/test_files.h"

#include <QDir>

#include <gtest/gtest.h>

#include <csignal>

namespace halvora::test {
namespace {

using namespace Qt::StringLiterals;

struct CardRegisterTest : ::testing::Test {
    ProgramFolder folder;
    QString path = folder.file(u"Halvora.cards"_s);
    MersenneRandom random;
    FakeDialogs dialogs;

    std::vector<Card> deal(int count) {
        std::vector<Card> cards;
        for (int k = 0; k < count; ++k)
            cards.push_back(dealCard(k % 2 ? CardStyle::Bingo : CardStyle::Classic, random));
        return cards;
    }
};

// Serials follow on across jobs and restarts; a cancelled job keeps its serials, void.
TEST_F(CardRegisterTest, JobsReadBackWholeWithSerialsNeverGivenTwice) {
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
    Card back;
    EXPECT_EQ(cards.find(2, back), CardRegister::Found::Issued);
    EXPECT_EQ(back, first[1]);
    EXPECT_EQ(cards.find(5, back), CardRegister::Found::Void);
    EXPECT_EQ(cards.find(7, back), CardRegister::Found::Unknown);
    std::vector<Card> issued = cards.issuedCards();
    EXPECT_EQ(issued, (std::vector{first[0], first[1], first[2], third[0]}));

    // The program's own sheet gains only the serials, small, under each grid.
    PrinterRecorder printer;
    std::vector<Card> printed;
    printBingoCards({printer, random, dialogs, nullptr, folder.path()}, u"1"_s,
                    {&cards, CardStyle::Classic, [&](const std::vector<Card>& c) { printed = c; }});
    const QString lines = printer.lines.join(u'|');
    EXPECT_TRUE(lines.contains(u"x 20|y 121.5|size 10|text No. 0007|"_s)) << lines.toStdString();
    EXPECT_TRUE(lines.contains(u"x 20|y 266.5|size 10|text No. 0008|page"_s));
    EXPECT_EQ(printed.size(), 2u);
}

// A sheet never goes out with a serial the register does not hold: the program killed mid-job leaves
// the whole job registered, void.
TEST_F(CardRegisterTest, AProgramKilledWhilePrintingLeavesItsWholeJobVoid) {
    EXPECT_EXIT(
        {
            CardRegister cards(path);
            cards.open();
            PrinterRecorder printer;
            printer.pageDone = [] { std::raise(SIGKILL); };
            printBingoCards({printer, random, dialogs, nullptr, folder.path()}, u"3"_s, {&cards, CardStyle::Classic, {}});
        },
        ::testing::KilledBySignal(SIGKILL), "");
    CardRegister cards(path);
    ASSERT_EQ(cards.open(), CardRegister::Opened::Ready);
    Card card;
    for (int serial = 1; serial <= 6; ++serial)
        EXPECT_EQ(cards.find(serial, card), CardRegister::Found::Void) << serial;
    EXPECT_EQ(cards.find(7, card), CardRegister::Found::Unknown);
    EXPECT_TRUE(cards.issuedCards().empty());
}

// A damaged register is renamed, byte for byte, and a new one begun; one that cannot be made is told.
TEST_F(CardRegisterTest, ADamagedRegisterIsSetAsideAndPrintingGoesOn) {
    const QByteArray garbage("this is not a card register\n", 28);
    writeBytes(path, garbage);
    CardRegister cards(path);
    ASSERT_EQ(cards.open(), CardRegister::Opened::SetAside);
    EXPECT_TRUE(cards.setAsidePath().startsWith(path + u".damaged-"_s));
    EXPECT_EQ(readBytes(cards.setAsidePath()), garbage);
    std::vector<Card> job = deal(1);
    EXPECT_NE(cards.registerJob(job), 0);

    // A folder where nothing can be made: cards print without serials, and the operator is told.
    CardRegister nowhere(folder.file(u"missing/folder/Halvora.cards"_s));
    EXPECT_EQ(nowhere.open(), CardRegister::Opened::Unusable);
    PrinterRecorder printer;
    printBingoCards({printer, random, dialogs, nullptr, folder.path()}, u"1"_s, {&nowhere, CardStyle::Classic, {}});
    EXPECT_EQ(printer.lines.count(u"page"_s), 1);
    EXPECT_FALSE(printer.lines.join(u'\n').contains(u"No."_s));
    EXPECT_EQ(dialogs.messages().back().prompt,
              u"カード台帳に登録できないため、カード番号なしで印刷します。\r\nこのカードは「カード確認」で確認できません。"_s);
}

} // namespace
} // namespace halvora::test
