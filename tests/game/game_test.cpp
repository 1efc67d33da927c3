#include "game/game.h"

#include "support/scripted_random.h"
#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace halvora {
namespace {

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
    QStringList logLines() const {
        return QString::fromLatin1(test::readBytes(game.historyLogPath())).split(QStringLiteral("\r\n"));
    }
};

TEST_F(GameTest, BookingCountsLogsAndEstimatesWinners) {
    QSignalSpy changes(&game, &Game::changed);
    // One participant: no line is possible before the fourth number.
    for (int n : {10, 20, 30}) {
        EXPECT_EQ(draw(n), n);
        EXPECT_EQ(game.expectedWinners(), QStringLiteral("0.00000000"));
    }
    draw(40);
    EXPECT_EQ(game.expectedWinners(), QStringLiteral("0.00000329"));
    EXPECT_EQ(changes.count(), 4);
    EXPECT_TRUE(game.isDrawn(40) && game.isLatest(40) && !game.isDrawn(41));

    take(QStringLiteral("19"), QStringLiteral("100"));
    draw(5);
    EXPECT_EQ(game.counterText(), QStringLiteral("20"));
    EXPECT_EQ(game.expectedWinners(), QStringLiteral("2.28745000"));
    EXPECT_EQ(game.panel(), QStringLiteral("05"));

    // The operator marks the candidate shown just before the roulette stops: it is booked and logged
    // again, but no number or counter changes.
    random.pushPicks({6}, 75);
    game.startRoulette();
    EXPECT_EQ(game.showCandidate(), 6);
    game.markByHand(6);
    EXPECT_EQ(game.fixDraw(), 6);
    EXPECT_EQ(game.drawCount(), 6);
    EXPECT_EQ(game.counterText(), QStringLiteral("21"));
    EXPECT_FALSE(game.isLatest(6));
    EXPECT_EQ(logLines().mid(5, 2), QStringList({"  5 :   5", "  6 :   6"}));

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
}

TEST_F(GameTest, HandMarkingTurnsAndTheEndOfTheNumbers) {
    QSignalSpy numbers(&game, &Game::numberChanged);
    EXPECT_TRUE(game.markByHand(7));
    EXPECT_FALSE(game.markByHand(7));
    EXPECT_FALSE(game.markByHand(0) || game.markByHand(76) || game.clearByHand(8));
    EXPECT_EQ(game.counterText(), QStringLiteral("1"));
    EXPECT_TRUE(game.clearByHand(7));
    EXPECT_EQ(game.counterText(), QStringLiteral("0"));
    EXPECT_EQ(numbers.count(), 2);

    // Draws per turn: the 当たり数 choice, never more than are left; none chosen draws one.
    for (const auto& [index, perTurn] : {std::pair{0, 4}, {1, 3}, {2, 2}, {3, 1}, {-1, 1}}) {
        ASSERT_TRUE(game.startTurn(index));
        EXPECT_EQ(game.drawsLeftInTurn(), perTurn) << index;
    }
    for (int n = 1; n <= 73; ++n)
        game.markByHand(n);
    ASSERT_TRUE(game.startTurn(0));
    EXPECT_EQ(game.drawsLeftInTurn(), 2);
    // The roulette finds the last ones even when the random picks keep meeting drawn numbers.
    random.setCounting();
    game.startRoulette();
    EXPECT_GE(game.showCandidate(), 74);
    game.fixDraw();
    game.countDrawDone();
    EXPECT_EQ(game.drawsLeftInTurn(), 1);
    game.markByHand(game.isDrawn(74) ? 75 : 74);
    EXPECT_EQ(game.showCandidate(), 0); // marked away during the roulette: the turn ends unbooked
    EXPECT_EQ(game.drawsLeftInTurn(), 0);
    EXPECT_FALSE(game.startTurn(0));
}

TEST_F(GameTest, MediaPicksAndTheKeptGame) {
    // In list order the entry follows the number of draws so far; random picks take the random pick.
    EXPECT_EQ(game.pickEntry(0, false), 0);
    EXPECT_EQ(game.pickEntry(3, false), 1);
    draw(9);
    draw(19);
    EXPECT_EQ(game.pickEntry(3, false), 3);
    EXPECT_EQ(game.pickEntry(2, false), 1);
    random.pushPicks({2}, 5);
    EXPECT_EQ(game.pickEntry(5, true), 2);

    game.setParticipants(QStringLiteral("120人"));
    const SavedGame kept = game.saved();
    EXPECT_EQ(kept.drawCount, 2);
    EXPECT_TRUE(kept.drawn[9] && kept.latest[19] && kept.latest[9]);
    EXPECT_EQ(kept.historyLog, game.historyLogPath());

    // Another game takes it up, and its next draw goes on in the same log.
    Game again{time, random};
    again.setHistoryFolder(folder.path());
    QSignalSpy restored(&again, &Game::restored);
    again.restore(kept);
    EXPECT_EQ(restored.count(), 1);
    EXPECT_EQ(again.saved(), kept);
    random.pushPicks({30}, 75);
    again.startRoulette();
    again.showCandidate();
    again.fixDraw();
    EXPECT_EQ(again.historyLogPath(), kept.historyLog);
    EXPECT_EQ(logLines().at(3), QStringLiteral("  3 :  30"));
}

} // namespace
} // namespace halvora
