#include "game/game.h"
#include "game/game_file.h"
#include "game/history_log.h"

#include "support/scripted_random.h"
#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QDir>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;
using test::ansiLines;
using test::readBytes;
using test::writeBytes;

struct GameTest : ::testing::Test {
    test::ProgramFolder folder;
    test::VirtualTime time;
    test::ScriptedRandom random;
    Game game{time, random};
    QString path = folder.file(u"Halvora.game"_s), logs = folder.path() + u"History/"_s;

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
    GameFileRead read(SavedGame& saved) const { return readGameFile(path, logs, saved); }
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
    EXPECT_EQ(std::tuple(game.counterText(), game.expectedWinners(), game.panel()),
              std::tuple(u"20"_s, u"2.28745000"_s, u"05"_s));

    // The operator marks the candidate shown just before the roulette stops: it is booked and logged
    // again, but no number or counter changes.
    random.pushPicks({6}, 75);
    game.startRoulette();
    EXPECT_EQ(game.showCandidate(), 6);
    game.markByHand(6);
    EXPECT_EQ(game.fixDraw(), 6);
    EXPECT_EQ(std::tuple(game.drawCount(), game.counterText(), game.isLatest(6)),
              std::tuple(6, u"21"_s, false));
    EXPECT_EQ(QString::fromLatin1(readBytes(game.historyLogPath())).split(u"\r\n"_s).mid(5, 2),
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

TEST_F(GameTest, AWrittenGameReadsBackAndADamagedFileIsToldApartChangingNothing) {
    SavedGame saved;
    saved.drawCount = 3;
    saved.drawn[1] = saved.drawn[42] = saved.drawn[75] = saved.latest[75] = true;
    saved.counter = u"3"_s;
    // In CP932 these bytes also happen to be valid UTF-8: the program's own file is never taken for it.
    saved.participants = u"120ﾒ預"_s;
    saved.expectedWinners = u"0.00012345"_s;
    saved.panel = u"75"_s;
    saved.historyLog = logs + u"261207.log"_s;
    saved.hitCountIndex = 2;
    saved.order = {75, 1, 42};
    FileError error;
    ASSERT_TRUE(writeGameFile(path, saved, error));
    SavedGame back;
    ASSERT_EQ(read(back), GameFileRead::Read);
    EXPECT_EQ(back, saved);

    // A character the file cannot hold comes back as "?"; the rest of the game is kept.
    saved.participants = u"12🎉"_s;
    ASSERT_TRUE(writeGameFile(path, saved, error));
    ASSERT_EQ(read(back), GameFileRead::Read);
    EXPECT_EQ(back.participants, u"12?"_s);

    const QStringList good = QStringList({"[GAME]", "DrawCount=2", "Drawn=5,60", "Latest=60", "Counter=2",
                                          "Participants=1", "ExpectedWinners=0", "Panel=60"}) +
                             QStringList({"HistoryLog=" + logs + "261207.log", "[END]"});
    auto with = [&](int line, const QString& text) {
        QStringList lines = good;
        lines[line] = text;
        return ansiLines(lines);
    };
    const auto ending = [&](const QStringList& lines) {
        return ansiLines(good.mid(0, 9) + lines << u"[END]"_s);
    };
    const QString joined = good.join(u"\r\n"_s);
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"garbage", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"UTF-16", QByteArray(reinterpret_cast<const char*>(joined.utf16()), joined.size() * 2)},
        {"number out of range", with(2, u"Drawn=5,76"_s)},
        {"number twice", with(2, u"Drawn=5,5"_s)},
        {"not a number", with(2, u"Drawn=5,x"_s)},
        {"latest not drawn", with(3, u"Latest=7"_s)},
        {"negative count", with(1, u"DrawCount=-1"_s)},
        {"count too large", with(1, u"DrawCount=99999999999"_s)},
        {"key missing", with(4, u"Drawn=5"_s)},
        {"unknown key", with(4, u"Colour=red"_s)},
        {"log of another folder", with(8, u"HistoryLog=/etc/passwd"_s)},
        {"log that is not a log", with(8, "HistoryLog=" + logs + "../x.log")},
        {"draws without a log", with(8, u"HistoryLog="_s)},
        {"text over 64 characters", with(5, "Participants=" + QString(65, u'1'))},
        {"text in another encoding", ansiLines(good).replace("Participants=1", "Participants=\x81 \xff")},
        {"lines after the end", ansiLines(good) + "DrawCount=3\r\n"},
        {"hit count out of range", ending({u"HitCount=4"_s})},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        writeBytes(path, bytes);
        SavedGame saved;
        saved.drawCount = 9;
        EXPECT_EQ(read(saved), GameFileRead::Damaged);
        EXPECT_EQ(saved.drawCount, 9);
    }

    // The hit count and the order of the draws came later: a game kept without them is still a game,
    // and when the order is missing or does not fit, board order serves.
    const std::tuple<QStringList, std::vector<int>, int> later[] = {{{}, {5, 60}, -1},
                                                                    {{"HitCount=1"}, {5, 60}, 1},
                                                                    {{"Order=60,5"}, {60, 5}, -1},
                                                                    {{"Order=60,7"}, {5, 60}, -1}};
    for (const auto& [lines, order, hitCount] : later) {
        SCOPED_TRACE(lines.join(u' ').toStdString());
        writeBytes(path, ending(lines));
        SavedGame saved;
        ASSERT_EQ(read(saved), GameFileRead::Read);
        EXPECT_EQ(std::pair(saved.order, saved.hitCountIndex), std::pair(order, hitCount));
    }
    QFile::remove(path);
    SavedGame none;
    EXPECT_EQ(read(none), GameFileRead::Missing);
}

// The first draw names the log after its minute; a number drawn again after a correction is logged
// again; the 1000th count is blank. A later run with the same name (next day, same hour and minute)
// adds its own header and lines after the earlier run's. A log that cannot be written loses the line only.
TEST(HistoryLog, FirstDrawNamesTheLogLaterDrawsAndRunsAppendAndFailuresLoseTheLineOnly) {
    test::ProgramFolder folder;
    test::VirtualTime time{QDateTime(QDate(2011, 9, 26), QTime(14, 3, 22))};
    const QString logs = folder.file(u"履歴 josé 한/"_s); // only the lines need CP932
    QDir().mkpath(logs);
    HistoryLog log{logs, time};
    log.append(1, 23);
    EXPECT_EQ(log.path(), logs + u"111403.log"_s);
    time.advance(5 * 60 * 1000);
    for (const auto& [count, n] : {std::pair{2, 75}, {12, 5}, {13, 5}, {1000, 7}})
        log.append(count, std::int16_t(n));
    time.advance(24 * 3600 * 1000 + 15 * 1000 - 5 * 60 * 1000);
    HistoryLog second(logs, time);
    second.append(1, 30);
    EXPECT_EQ(second.path(), log.path());
    EXPECT_EQ(readBytes(log.path()), "09-26-2011 14:03:22\r\n  1 :  23\r\n  2 :  75\r\n 12 :   5\r\n"
                                     " 13 :   5\r\n    :   7\r\n09-27-2011 14:03:37\r\n  1 :  30\r\n");

    // A history folder that is missing: nothing is written, nothing is thrown.
    HistoryLog missing(folder.file(u"History/"_s), time);
    missing.append(1, 1);
    missing.append(2, 2);
    EXPECT_EQ(missing.path(), folder.file(u"History/111403.log"_s));
    EXPECT_FALSE(QFile::exists(missing.path()));
    // Once the folder is there, later draws of the run reach the same log.
    ASSERT_TRUE(QDir().mkpath(folder.file(u"History"_s)));
    missing.append(3, 3);
    EXPECT_EQ(readBytes(missing.path()), "  3 :   3\r\n");
}

} // namespace
} // namespace halvora
