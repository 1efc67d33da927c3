#include "game/game_file.h"

#include "support/test_files.h"

#include <gtest/gtest.h>

namespace halvora {
namespace {

using test::ProgramFolder;

struct GameFileTest : ::testing::Test {
    ProgramFolder folder;
    QString path = folder.file(QStringLiteral("Halvora.game"));
    QString logs = folder.path() + QStringLiteral("History/");

    GameFileRead read(SavedGame& game) const { return readGameFile(path, logs, game); }
};

TEST_F(GameFileTest, AWrittenGameReadsBackAsItWas) {
    SavedGame game;
    game.drawCount = 3;
    game.drawn[1] = game.drawn[42] = game.drawn[75] = game.latest[75] = true;
    game.counter = QStringLiteral("3");
    // In CP932 these bytes also happen to be valid UTF-8: the program's own file is never taken for it.
    game.participants = QStringLiteral("120ﾒ預");
    game.expectedWinners = QStringLiteral("0.00012345");
    game.panel = QStringLiteral("75");
    game.historyLog = logs + QStringLiteral("261207.log");
    game.hitCountIndex = 2;
    FileError error;
    ASSERT_TRUE(writeGameFile(path, game, error));
    SavedGame back;
    ASSERT_EQ(read(back), GameFileRead::Read);
    EXPECT_EQ(back, game);

    // A character the file cannot hold comes back as "?"; the rest of the game is kept.
    game.participants = QStringLiteral("12🎉");
    ASSERT_TRUE(writeGameFile(path, game, error));
    ASSERT_EQ(read(back), GameFileRead::Read);
    EXPECT_EQ(back.participants, QStringLiteral("12?"));
}

TEST_F(GameFileTest, ADamagedFileIsToldApartAndChangesNothing) {
    const QStringList good = {"[GAME]", "DrawCount=2", "Drawn=5,60", "Latest=60", "Counter=2", "Participants=1",
                              "ExpectedWinners=0", "Panel=60", "HistoryLog=" + logs + "261207.log", "[END]"};
    auto with = [&](int line, const QString& text) {
        QStringList lines = good;
        lines[line] = text;
        return test::ansiLines(lines);
    };
    const QByteArray utf16(reinterpret_cast<const char*>(good.join(QStringLiteral("\r\n")).utf16()),
                           good.join(QStringLiteral("\r\n")).size() * 2);
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"cut off", test::ansiLines(good.mid(0, 5))},
        {"garbage", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"UTF-16", utf16},
        {"number out of range", with(2, QStringLiteral("Drawn=5,76"))},
        {"number twice", with(2, QStringLiteral("Drawn=5,5"))},
        {"not a number", with(2, QStringLiteral("Drawn=5,x"))},
        {"latest not drawn", with(3, QStringLiteral("Latest=7"))},
        {"negative count", with(1, QStringLiteral("DrawCount=-1"))},
        {"count too large", with(1, QStringLiteral("DrawCount=99999999999"))},
        {"key missing", with(4, QStringLiteral("Drawn=5"))},
        {"unknown key", with(4, QStringLiteral("Colour=red"))},
        {"log of another folder", with(8, QStringLiteral("HistoryLog=/etc/passwd"))},
        {"log that is not a log", with(8, "HistoryLog=" + logs + "../x.log")},
        {"draws without a log", with(8, QStringLiteral("HistoryLog="))},
        {"text over 64 characters", with(5, "Participants=" + QString(65, u'1'))},
        {"text in another encoding",
         test::ansiLines(good).replace("Participants=1", "Participants=\x81\x20\xff")},
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
    // A game kept before the hit count was is still a game.
    test::writeBytes(path, test::ansiLines(good));
    SavedGame older;
    EXPECT_EQ(read(older), GameFileRead::Read);
    EXPECT_EQ(older.hitCountIndex, -1);
    QFile::remove(path);
    SavedGame game;
    EXPECT_EQ(read(game), GameFileRead::Missing);
}

} // namespace
} // namespace halvora
