#include "game/game_file.h"

#include "support/test_files.h"

#include <gtest/gtest.h>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

using test::ProgramFolder;

struct GameFileTest : ::testing::Test {
    ProgramFolder folder;
    QString path = folder.file(u"Halvora.game"_s);
    QString logs = folder.path() + u"History/"_s;

    GameFileRead read(SavedGame& game) const { return readGameFile(path, logs, game); }
};

TEST_F(GameFileTest, AWrittenGameReadsBackAsItWas) {
    SavedGame game;
    game.drawCount = 3;
    game.drawn[1] = game.drawn[42] = game.drawn[75] = game.latest[75] = true;
    game.counter = u"3"_s;
    // In CP932 these bytes also happen to be valid UTF-8: the program's own file is never taken for it.
    game.participants = u"120ﾒ預"_s;
    game.expectedWinners = u"0.00012345"_s;
    game.panel = u"75"_s;
    game.historyLog = logs + u"261207.log"_s;
    game.hitCountIndex = 2;
    game.order = {75, 1, 42};
    FileError error;
    ASSERT_TRUE(writeGameFile(path, game, error));
    SavedGame back;
    ASSERT_EQ(read(back), GameFileRead::Read);
    EXPECT_EQ(back, game);

    // A character the file cannot hold comes back as "?"; the rest of the game is kept.
    game.participants = u"12🎉"_s;
    ASSERT_TRUE(writeGameFile(path, game, error));
    ASSERT_EQ(read(back), GameFileRead::Read);
    EXPECT_EQ(back.participants, u"12?"_s);
}

TEST_F(GameFileTest, ADamagedFileIsToldApartAndChangesNothing) {
    const QStringList good = QStringList({"[GAME]", "DrawCount=2", "Drawn=5,60", "Latest=60", "Counter=2",
                                          "Participants=1", "ExpectedWinners=0", "Panel=60"}) +
                             QStringList({"HistoryLog=" + logs + "261207.log", "[END]"});
    auto with = [&](int line, const QString& text) {
        QStringList lines = good;
        lines[line] = text;
        return test::ansiLines(lines);
    };
    const QString joined = good.join(u"\r\n"_s);
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"cut off", test::ansiLines(good.mid(0, 5))},
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
        {"text in another encoding",
         test::ansiLines(good).replace("Participants=1", "Participants=\x81 \xff")},
        {"lines after the end", test::ansiLines(good) + "DrawCount=3\r\n"},
        {"hit count out of range", test::ansiLines(good.mid(0, 9) + QStringList{"HitCount=4", "[END]"})},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        test::writeBytes(path, bytes);
        SavedGame game;
        game.drawCount = 9;
        EXPECT_EQ(read(game), GameFileRead::Damaged);
        EXPECT_EQ(game.drawCount, 9);
    }

    // The order of the draws came later: without it, or when it does not fit, board order serves.
    const std::pair<QString, std::vector<int>> orders[] = {
        {u"HitCount=1"_s, {5, 60}}, {u"Order=60,5"_s, {60, 5}}, {u"Order=60,7"_s, {5, 60}}, {u"Order=60"_s, {5, 60}}};
    for (const auto& [line, order] : orders) {
        test::writeBytes(path, test::ansiLines(good.mid(0, 9) + QStringList{line, "[END]"}));
        SavedGame game;
        ASSERT_EQ(read(game), GameFileRead::Read) << line.toStdString();
        EXPECT_EQ(game.order, order) << line.toStdString();
    }
    // A game kept before the hit count was is still a game.
    test::writeBytes(path, test::ansiLines(good));
    SavedGame older;
    EXPECT_EQ(read(older), GameFileRead::Read);
    EXPECT_EQ(older.hitCountIndex, -1);
    QFile::remove(path);
    EXPECT_EQ(read(older), GameFileRead::Missing);
}

} // namespace
} // namespace halvora
