#include "game/history_log.h"

#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QDir>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

struct HistoryLogTest : ::testing::Test {
    test::ProgramFolder folder;
    test::VirtualTime time{QDateTime(QDate(2011, 9, 26), QTime(14, 3, 22))};
};

// The first draw names the log after its minute; a number drawn again after a correction is logged
// again; the 1000th count is blank. A later run with the same name (next day, same hour and minute)
// adds its own header and lines after the earlier run's.
TEST_F(HistoryLogTest, FirstDrawNamesTheLogAndLaterDrawsAndRunsAppend) {
    const QString logs = folder.file(u"履歴 josé 한/"_s); // only the lines need CP932
    QDir().mkpath(logs);
    HistoryLog log{logs, time};
    EXPECT_TRUE(log.path().isEmpty());
    log.append(1, 23);
    EXPECT_EQ(log.path(), logs + u"111403.log"_s);
    time.advance(5 * 60 * 1000);
    for (const auto& [count, n] : {std::pair{2, 75}, {12, 5}, {13, 5}, {1000, 7}})
        log.append(count, std::int16_t(n));
    time.advance(24 * 3600 * 1000 + 15 * 1000 - 5 * 60 * 1000);
    HistoryLog second(logs, time);
    second.append(1, 30);
    EXPECT_EQ(second.path(), log.path());
    EXPECT_EQ(test::readBytes(log.path()), "09-26-2011 14:03:22\r\n  1 :  23\r\n  2 :  75\r\n 12 :   5\r\n"
                                           " 13 :   5\r\n    :   7\r\n09-27-2011 14:03:37\r\n  1 :  30\r\n");
    EXPECT_EQ(QDir(logs).entryList(QDir::Files).size(), 1);
}

TEST_F(HistoryLogTest, FailuresLoseTheLineOnly) {
    // A history folder that is missing: nothing is written, nothing is thrown.
    HistoryLog missing(folder.file(u"History/"_s), time);
    missing.append(1, 1);
    missing.append(2, 2);
    EXPECT_EQ(missing.path(), folder.file(u"History/111403.log"_s));
    EXPECT_FALSE(QFile::exists(missing.path()));
    // Once the folder is there, later draws of the run reach the same log.
    ASSERT_TRUE(QDir().mkpath(folder.file(u"History"_s)));
    missing.append(3, 3);
    // A path under a regular file.
    HistoryLog blocked(missing.path() + QLatin1Char('/'), time);
    blocked.append(1, 4);
    EXPECT_EQ(test::readBytes(missing.path()), "  3 :   3\r\n");
}

} // namespace
} // namespace halvora
