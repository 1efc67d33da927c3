#include "settings/condition_file.h"

#include "settings_fixture.h"

#include <QDir>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;
using test::readBytes;

struct ConditionFileTest : ::testing::Test, test::SettingsFixture {
    const QString path = folder.file(u"Show.env"_s);
    QString write(const QString& text) { return SettingsFixture::write(u"Show.env"_s, text); }
};

TEST_F(ConditionFileTest, ReadsTheListsBySectionRules) {
    write(QStringLiteral(
        "/before/header.mp3\n[Av]\n/音楽/曲 1.mp3\t1,000\t 30 \n/m/only path\n\n"
        " /m/big.AVI \t3000000000\t-2.5\n/m/wide\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\n"
        "[PICTURE] \n/p/not a picture.jpg\n[picture]\n/写真/一.jpg\n\n/p/two.jpg\n"
        "[bmp]\n/i/a.bmp\n\n   \n /i/b.bmp\n[Unknown]\n/i/not an icon.bmp\n[AV]\n/m/second.mp3"));
    ASSERT_TRUE(file.readAfterOpen(path, folder.path()));
    EXPECT_TRUE(dialogs.messages().empty());
    // Every [AV] line is an entry; numbers clamp to 32 bits, halves round to even, extra fields are dropped.
    EXPECT_EQ(entries(av), QStringList({"/音楽/曲 1.mp3|1000|30", "/m/only path|0|0", "|0|0",
                                        " /m/big.AVI |2147483647|-2", "/m/wide|1|2"}));
    // A header with a trailing blank is no header but ends the section before it; blank icons are skipped.
    EXPECT_EQ(entries(pictures), QStringList({"/写真/一.jpg", "", "/p/two.jpg"}));
    EXPECT_EQ(entries(icons), QStringList({"/i/a.bmp", " /i/b.bmp"}));

    // Each list stops at 200 entries.
    QString big;
    for (const char* header : {"[AV]", "[PICTURE]", "[BMP]"}) {
        big += QString::fromLatin1(header) + u'\n';
        for (int i = 1; i <= 250; ++i)
            big += u"/f/%1\t%1\n"_s.arg(i);
    }
    ASSERT_TRUE(file.readAfterOpen(write(big), folder.path()));
    EXPECT_EQ((std::array{av.count, pictures.count, icons.count}),
              (std::array<std::int16_t, 3>{200, 200, 200}));
    EXPECT_EQ(entries(av).last(), u"/f/200|200|0"_s);
}

TEST_F(ConditionFileTest, OptionsAreReadByPositionAndColoursOnlyFromEightOrTenLines) {
    auto changes = [this](const QString& text) {
        options.changes.clear();
        file.readOptionSection(write(text));
        return options.changes;
    };
    // Out-of-range indexes (also beyond 16 bits) select the last button; "True" is case-sensitive.
    EXPECT_EQ(
        changes(u"[OPTION]\n1,200\ntrue\nTrue\n7\n-1\nTrue"_s),
        QStringList({"participants 1200", "avRandom 0", "pictureRandom 1", "hitCount 3", "drawTime 3"}));
    EXPECT_EQ(changes(u"[option]\nthirty\nTrue\nFalse\n1e9\n 2.5 "_s),
              QStringList({"participants 0", "avRandom 1", "pictureRandom 0", "hitCount 3", "drawTime 2"}));
    // Lines or a whole section the file lacks take a new show's options, not the last show's.
    const QStringList fresh{"participants 1", "avRandom 1", "pictureRandom 1", "hitCount 3", "drawTime 0"};
    EXPECT_EQ(changes(u"[Option]\n25\n[COLOR]\n1"_s), QStringList({"participants 25"}) + fresh.mid(1));
    EXPECT_EQ(changes(u"[AV]\n/m/a.mp3\n[COLOR]\n1"_s), fresh);

    // Colour rows: the five backgrounds, then the five text colours.
    auto coloursAfter = [this](int lines) {
        QString text = u"[AV]\n[color]"_s;
        for (int i = 1; i <= lines; ++i)
            text += u"\n%1"_s.arg(lines * 100 + i);
        file.readColourSection(write(text));
        return (QStringList(colours.backColours.begin(), colours.backColours.end()) +
                QStringList(colours.foreColours.begin(), colours.foreColours.end()))
            .join(u' ');
    };
    colours.backColours.fill(u"-1"_s);
    colours.foreColours.fill(u"-2"_s);
    for (int lines : {9, 60, 0})
        EXPECT_EQ(coloursAfter(lines), u"-1 -1 -1 -1 -1 -2 -2 -2 -2 -2"_s) << lines;
    EXPECT_EQ(coloursAfter(8), u"801 802 803 804 -1 805 806 807 808 -2"_s);
    EXPECT_EQ(coloursAfter(10), u"1001 1002 1003 1004 1005 1006 1007 1008 1009 1010"_s);
}

TEST_F(ConditionFileTest, UnreadableFileStopsTheLoad) {
    QDir(folder.path()).mkdir(u"Show.env"_s);
    pictures.count = 5;
    av.count = 3;
    EXPECT_FALSE(file.readAtStartUp(path, folder.path()));
    EXPECT_EQ(av.count, 0);
    EXPECT_EQ(pictures.count, 5);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(messageLines(0),
              QStringList({"各種設定ファイルが開けません。", path, "エラー内容 パス名が無効です。",
                           "Halvora.ini を削除してから再立ち上げしてください。", "処理は中止されます。"}));

    // A missing file whose default cannot be made (no such folder) is reported as a write failure.
    const QString nowhere = folder.file(u"gone/Show.env"_s);
    EXPECT_FALSE(file.readAtStartUp(nowhere, folder.path()));
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(messageLines(1),
              QStringList({"各種設定ファイルが開けません。", "ファイル名 = " + nowhere, "",
                           "Halvora.ini を削除してから再立ち上げしてください。", "処理は中止されます。"}));
}

TEST_F(ConditionFileTest, SavesTheStateAndReadsItBack) {
    av.count = 2;
    av.files[1] = u"  /音楽/曲 1.mp3 "_s;
    av.playSeconds[1] = 4;
    av.files[2] = u"/m/v.avi"_s;
    av.starts[2] = -5;
    av.playSeconds[2] = 12;
    pictures.count = 1;
    pictures.files[1] = u" /p/a.jpg"_s;
    options.participants = u"大勢"_s;
    options.pictureRandomChecked = false;
    options.hitCountIndex = 2;
    options.drawTimeIndex = -1; // none selected: no line
    for (int row = 0; row < 5; ++row) {
        colours.backColours[row] = QString::number(row);
        colours.foreColours[row] = QString::number(-row - 10);
    }
    ASSERT_TRUE(file.writeConditionFile(path));
    const QByteArray saved =
        ansi(QStringLiteral("[AV]\n/音楽/曲 1.mp3\t 0 \t 4 \n/m/v.avi\t-5 \t 12 \n[Picture]\n"
                            "/p/a.jpg\n[BMP]\n[Option]\n大勢\nTrue\nFalse\n 2 \n[COLOR]\n"
                            "0\n1\n2\n3\n4\n-10\n-11\n-12\n-13\n-14"));
    EXPECT_EQ(readBytes(path), saved);

    test::SettingsFixture back;
    back.icons.count = 9;
    ASSERT_TRUE(back.file.readAtStartUp(path, folder.path()));
    EXPECT_EQ(entries(back.av), QStringList({"/音楽/曲 1.mp3|0|4", "/m/v.avi|-5|12"}));
    EXPECT_EQ(entries(back.pictures), QStringList({"/p/a.jpg"}));
    EXPECT_EQ(back.icons.count, 0);
    EXPECT_EQ(back.options.changes,
              QStringList({"participants 0", "avRandom 1", "pictureRandom 0", "hitCount 2", "drawTime 0"}));
    EXPECT_EQ(back.colours.backColours, colours.backColours);
    EXPECT_EQ(back.colours.foreColours, colours.foreColours);

    // A failed save (a text the code page cannot hold, or a folder in the way) says why and keeps the
    // old file whole.
    pictures.files[1] = u"/p/\U0001F600.jpg"_s;
    EXPECT_FALSE(file.writeConditionFile(path));
    EXPECT_EQ(readBytes(path), saved);
    const QString blocked = folder.file(u"Blocked.env"_s);
    QDir(folder.path()).mkdir(u"Blocked.env"_s);
    EXPECT_FALSE(file.writeConditionFile(blocked));
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(messageLines(0).mid(1, 2),
              QStringList({"ファイル名 = " + path, "保存できない文字があります: /p/\U0001F600.jpg"}));
    EXPECT_EQ(messageLines(1).mid(1), QStringList({"ファイル名 = " + blocked, "エラー番号=75 パス名が無効です。",
                                                   "処理は中止されます。"})); // deleting Halvora.ini would not help

    // A show another editor saved in UTF-8 reads as written, and is saved back in CP932.
    test::writeBytes(path, u"[AV]\r\n/音楽/曲 1.mp3\t0\t4\r\n[Picture]\r\n/写真/桜.jpg\r\n"_s.toUtf8());
    ASSERT_TRUE(back.file.readAtStartUp(path, folder.path()));
    EXPECT_EQ(entries(back.pictures), QStringList({"/写真/桜.jpg"}));
    ASSERT_TRUE(back.file.writeConditionFile(path));
    EXPECT_TRUE(
        readBytes(path).startsWith(ansi(u"[AV]\n/音楽/曲 1.mp3\t 0 \t 4 \n[Picture]\n/写真/桜.jpg"_s)));
}

} // namespace
} // namespace halvora
