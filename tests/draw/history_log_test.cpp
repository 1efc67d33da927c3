#include "draw/history_log.h"
#include "draw/game_state.h"

#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QDir>

#include <gtest/gtest.h>

namespace halvora {
namespace {

class HistoryLog : public ::testing::Test {
protected:
    HistoryLog() { state.folders.HistoryFolder = folder.path(); }

    void draw(GameState& game, std::int32_t drawCount, std::int16_t n) {
        game.DrawCount = drawCount;
        AppendHistory(n, game, time);
    }

    test::ProgramFolder folder;
    test::VirtualTime time{QDateTime(QDate(2011, 9, 26), QTime(14, 3, 22))};
    GameState state;
};

TEST_F(HistoryLog, FirstDrawNamesTheLogAndLaterDrawsAppend) {
    draw(state, 1, 23);
    EXPECT_EQ(state.HistoryLogPath, folder.file(QStringLiteral("111403.log")));
    EXPECT_EQ(test::readBytes(state.HistoryLogPath), "09-26-2011 14:03:22\r\n  1 :  23\r\n");

    // The name stays that of the first draw's minute.
    time.advance(5 * 60 * 1000);
    draw(state, 2, 75);
    draw(state, 12, 5);
    // A number drawn again after a correction is logged again; the 1000th count is blank.
    draw(state, 13, 5);
    draw(state, 1000, 7);
    EXPECT_EQ(test::readBytes(folder.file(QStringLiteral("111403.log"))),
              "09-26-2011 14:03:22\r\n  1 :  23\r\n  2 :  75\r\n 12 :   5\r\n 13 :   5\r\n    :   7\r\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(HistoryLog, LaterRunInTheSameMinuteKeepsTheEarlierRunsLines) {
    draw(state, 1, 10);
    draw(state, 2, 20);
    // Next day, same hour and minute: same file name.
    time.advance(24 * 3600 * 1000 + 15 * 1000);
    GameState second;
    second.folders.HistoryFolder = folder.path();
    draw(second, 1, 30);
    EXPECT_EQ(second.HistoryLogPath, state.HistoryLogPath);
    EXPECT_EQ(test::readBytes(state.HistoryLogPath),
              "09-26-2011 14:03:22\r\n  1 :  10\r\n  2 :  20\r\n09-27-2011 14:03:37\r\n  1 :  30\r\n");
}

TEST_F(HistoryLog, FailuresLoseTheLineOnly) {
    // A history folder that is missing: nothing is written, nothing is thrown.
    state.folders.HistoryFolder = folder.file(QStringLiteral("History/"));
    draw(state, 1, 1);
    draw(state, 2, 2);
    EXPECT_EQ(state.HistoryLogPath, folder.file(QStringLiteral("History/111403.log")));
    EXPECT_FALSE(QFile::exists(state.HistoryLogPath));
    // Once the folder is there, later draws of the run reach the same log.
    ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("History"))));
    draw(state, 3, 3);
    EXPECT_EQ(test::readBytes(state.HistoryLogPath), "  3 :   3\r\n");

    // A path under a regular file.
    GameState blocked;
    blocked.folders.HistoryFolder = state.HistoryLogPath + QLatin1Char('/');
    draw(blocked, 1, 4);
    EXPECT_EQ(test::readBytes(state.HistoryLogPath), "  3 :   3\r\n");
}

} // namespace
} // namespace halvora
