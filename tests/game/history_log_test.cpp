#include "game/history_log.h"

#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QDir>

#include <gtest/gtest.h>

namespace halvora {
namespace {

struct HistoryLogTest : ::testing::Test {
    test::ProgramFolder folder;
    // The log's path needs no CP932: only its lines are CP932.
    const QString logs = folder.file(QStringLiteral("履歴 josé 한/"));
    test::VirtualTime time{QDateTime(QDate(2011, 9, 26), QTime(14, 3, 22))};
    HistoryLog log{logs, time};
    HistoryLogTest() { QDir().mkpath(logs); }
};

TEST_F(HistoryLogTest, FirstDrawNamesTheLogAndLaterDrawsAppend) {
    EXPECT_TRUE(log.path().isEmpty());
    log.append(1, 23);
    EXPECT_EQ(log.path(), logs + QStringLiteral("111403.log"));
    EXPECT_EQ(test::readBytes(log.path()), "09-26-2011 14:03:22\r\n  1 :  23\r\n");

    // The name stays that of the first draw's minute.
    time.advance(5 * 60 * 1000);
    log.append(2, 75);
    log.append(12, 5);
    // A number drawn again after a correction is logged again; the 1000th count is blank.
    log.append(13, 5);
    log.append(1000, 7);
    EXPECT_EQ(test::readBytes(logs + QStringLiteral("111403.log")),
              "09-26-2011 14:03:22\r\n  1 :  23\r\n  2 :  75\r\n 12 :   5\r\n 13 :   5\r\n    :   7\r\n");
    EXPECT_EQ(QDir(logs).entryList(QDir::Files).size(), 1);
}

TEST_F(HistoryLogTest, LaterRunInTheSameMinuteKeepsTheEarlierRunsLines) {
    log.append(1, 10);
    log.append(2, 20);
    // Next day, same hour and minute: same file name.
    time.advance(24 * 3600 * 1000 + 15 * 1000);
    HistoryLog second(logs, time);
    second.append(1, 30);
    EXPECT_EQ(second.path(), log.path());
    EXPECT_EQ(test::readBytes(log.path()),
              "09-26-2011 14:03:22\r\n  1 :  10\r\n  2 :  20\r\n09-27-2011 14:03:37\r\n  1 :  30\r\n");
}

TEST_F(HistoryLogTest, FailuresLoseTheLineOnly) {
    // A history folder that is missing: nothing is written, nothing is thrown.
    HistoryLog missing(folder.file(QStringLiteral("History/")), time);
    missing.append(1, 1);
    missing.append(2, 2);
    EXPECT_EQ(missing.path(), folder.file(QStringLiteral("History/111403.log")));
    EXPECT_FALSE(QFile::exists(missing.path()));
    // Once the folder is there, later draws of the run reach the same log.
    ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("History"))));
    missing.append(3, 3);
    EXPECT_EQ(test::readBytes(missing.path()), "  3 :   3\r\n");

    // A path under a regular file.
    HistoryLog blocked(missing.path() + QLatin1Char('/'), time);
    blocked.append(1, 4);
    EXPECT_EQ(test::readBytes(missing.path()), "  3 :   3\r\n");
}

} // namespace
} // namespace halvora
