#include "game/game.h"

#include "support/scripted_random.h"
#include "support/test_files.h"
#include "support/virtual_time.h"

#include <gtest/gtest.h>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

struct GameTest : ::testing::Test {
    test::ProgramFolder folder;
    test::VirtualTime time;
    test::ScriptedRandom random;
    Game game{time, random};

    GameTest() { game.setHistoryFolder(folder.path()); }

    // A roulette that stops at `n`.
    int draw(int n) {
        random.pushPicks({n}, 75);
        game.startRoulette();
        EXPECT_EQ(game.showCandidate(), n);
        return game.fixDraw();
    }
    void take(const QString& counter, const QString& participants) {
        SavedGame kept = game.saved();
        kept.counter = counter;
        kept.participants = participants;
        game.restore(kept);
    }
};

TEST_F(GameTest, BookingCountsLogsAndEstimatesWinners) {
    // One participant: no line is possible before the fourth number.
    for (int n : {10, 20, 30}) {
        EXPECT_EQ(draw(n), n);
        EXPECT_EQ(game.expectedWinners(), u"0.00000000"_s);
    }
    draw(40);
    EXPECT_EQ(game.expectedWinners(), u"0.00000329"_s);
    EXPECT_TRUE(game.isDrawn(40) && game.isLatest(40) && !game.isDrawn(41));

    take(u"19"_s, u"100"_s);
    draw(5);
    EXPECT_EQ(game.counterText(), u"20"_s);
    EXPECT_EQ(game.expectedWinners(), u"2.28745000"_s);
    EXPECT_EQ(game.panel(), u"05"_s);

    // The operator marks the candidate shown just before the roulette stops: it is booked and logged
    // again, but no number or counter changes.
    random.pushPicks({6}, 75);
    game.startRoulette();
    EXPECT_EQ(game.showCandidate(), 6);
    game.markByHand(6);
    EXPECT_EQ(game.fixDraw(), 6);
    EXPECT_EQ(game.drawCount(), 6);
    EXPECT_EQ(game.counterText(), u"21"_s);
    EXPECT_FALSE(game.isLatest(6));
    EXPECT_EQ(QString::fromLatin1(test::readBytes(game.historyLogPath())).split(u"\r\n"_s).mid(5, 2),
              QStringList({"  5 :   5", "  6 :   6"}));

    // Counters taken out of the table by hand are held at its ends; participants without a number
    // count as none.
    const char* const held[][3] = {{"75", "100", "100.00000000"},
                                   {"300", "100", "100.00000000"},
                                   {"-9", "100", "0.00000000"},
                                   {"300", "多数", "0.00000000"}};
    for (const auto& [counter, participants, expected] : held) {
        take(QString::fromUtf8(counter), QString::fromUtf8(participants));
        game.fixDraw(); // the panel's 06 is drawn already: the counter stays
        EXPECT_EQ(game.expectedWinners(), QString::fromUtf8(expected)) << counter;
    }

    // Draws per turn: the 当たり数 choice; none chosen draws one.
    for (const auto& [index, perTurn] : {std::pair{0, 4}, {1, 3}, {2, 2}, {3, 1}, {-1, 1}}) {
        ASSERT_TRUE(game.startTurn(index));
        EXPECT_EQ(game.drawsLeftInTurn(), perTurn) << index;
    }
}

} // namespace
} // namespace halvora
