#include "settings/condition_file.h"

#include "settings_fixture.h"

#include <QDir>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using test::readBytes;

struct ConditionFileTest : ::testing::Test, test::SettingsFixture {
    const QString path = folder.file(QStringLiteral("Show.env"));
    QString write(const QString& text) { return SettingsFixture::write(QStringLiteral("Show.env"), text); }
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
    ASSERT_EQ(av.count, 5);
    const QStringList avFiles{"/音楽/曲 1.mp3", "/m/only path", "", " /m/big.AVI ", "/m/wide"};
    const int starts[] = {1000, 0, 0, 2147483647, 1}, plays[] = {30, 0, 0, -2, 2};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(av.files[i], avFiles[i - 1]);
        EXPECT_EQ(av.starts[i], starts[i - 1]) << i;
        EXPECT_EQ(av.playSeconds[i], plays[i - 1]) << i;
    }
    // A header with a trailing blank is no header but ends the section before it; blank icons are skipped.
    EXPECT_EQ(QStringList(pictures.files.begin() + 1,
                          pictures.files.begin() + pictures.count + 1),
              QStringList({"/写真/一.jpg", "", "/p/two.jpg"}));
    EXPECT_EQ(QStringList(icons.files.begin() + 1, icons.files.begin() + icons.count + 1),
              QStringList({"/i/a.bmp", " /i/b.bmp"}));

    // Each list stops at 200 entries.
    QString big;
    for (const char* header : {"[AV]", "[PICTURE]", "[BMP]"}) {
        big += QString::fromLatin1(header);
        for (int i = 1; i <= 250; ++i)
            big += QStringLiteral("\n/f/%1\t%1").arg(i);
        big += QLatin1Char('\n');
    }
    ASSERT_TRUE(file.readAfterOpen(write(big), folder.path()));
    EXPECT_EQ(av.count, 200);
    EXPECT_EQ(av.starts[200], 200);
    EXPECT_EQ(pictures.count, 200);
    EXPECT_EQ(icons.count, 200);
}

TEST_F(ConditionFileTest, OptionsAreReadByPosition) {
    auto changes = [this](const QString& text) {
        options.changes.clear();
        file.readOptionSection(write(text));
        return options.changes;
    };
    // Out-of-range indexes (also beyond 16 bits) select the last button; "True" is case-sensitive.
    EXPECT_EQ(
        changes(QStringLiteral("[OPTION]\n1,200\ntrue\nTrue\n7\n-1\nTrue")),
        QStringList({"participants 1200", "avRandom 0", "pictureRandom 1", "hitCount 3", "drawTime 3"}));
    EXPECT_EQ(changes(QStringLiteral("[option]\nthirty\nTrue\nFalse\n1e9\n 2.5 ")),
              QStringList({"participants 0", "avRandom 1", "pictureRandom 0", "hitCount 3", "drawTime 2"}));
    // Fewer lines leave the other controls alone.
    EXPECT_EQ(changes(QStringLiteral("[Option]\n25\n[COLOR]\n1")), QStringList({"participants 25"}));
}

TEST_F(ConditionFileTest, ColoursChangeOnlyForEightOrTenLines) {
    using Row = std::array<QString, 5>;
    auto colourFile = [this](int count) {
        QString text = QStringLiteral("[AV]\n[color]");
        for (int i = 1; i <= count; ++i)
            text += QStringLiteral("\n%1").arg(count * 100 + i);
        return write(text);
    };
    colours.backColours.fill(QStringLiteral("-1"));
    colours.foreColours.fill(QStringLiteral("-2"));
    for (int count : {9, 60, 0})
        file.readColourSection(colourFile(count));
    // Opening a file from the menu never changes the colours.
    ASSERT_TRUE(file.readAfterOpen(colourFile(10), folder.path()));
    EXPECT_EQ(colours.backColours, (Row{"-1", "-1", "-1", "-1", "-1"}));
    EXPECT_EQ(colours.foreColours, (Row{"-2", "-2", "-2", "-2", "-2"}));

    file.readColourSection(colourFile(8));
    EXPECT_EQ(colours.backColours, (Row{"801", "802", "803", "804", "-1"}));
    EXPECT_EQ(colours.foreColours, (Row{"805", "806", "807", "808", "-2"}));
    ASSERT_TRUE(file.readAtStartUp(colourFile(10), folder.path()));
    EXPECT_EQ(colours.backColours, (Row{"1001", "1002", "1003", "1004", "1005"}));
    EXPECT_EQ(colours.foreColours, (Row{"1006", "1007", "1008", "1009", "1010"}));
}

TEST_F(ConditionFileTest, UnreadableFileStopsTheLoad) {
    QDir(folder.path()).mkdir(QStringLiteral("Show.env"));
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
    const QString nowhere = folder.file(QStringLiteral("gone/Show.env"));
    EXPECT_FALSE(file.readAtStartUp(nowhere, folder.path()));
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(messageLines(1),
              QStringList({"各種設定ファイルが開けません。", "ファイル名 = " + nowhere, "",
                           "Halvora.ini を削除してから再立ち上げしてください。", "処理は中止されます。"}));
}

TEST_F(ConditionFileTest, SavesTheStateAndReadsItBack) {
    av.count = 2;
    av.files[1] = QStringLiteral("  /音楽/曲 1.mp3 ");
    av.playSeconds[1] = 4;
    av.files[2] = QStringLiteral("/m/v.avi");
    av.starts[2] = -5;
    av.playSeconds[2] = 12;
    pictures.count = 1;
    pictures.files[1] = QStringLiteral(" /p/a.jpg");
    options.participants = QStringLiteral("大勢");
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
    ASSERT_EQ(back.av.count, 2);
    EXPECT_EQ(back.av.files[1], QStringLiteral("/音楽/曲 1.mp3"));
    EXPECT_EQ(back.av.starts[2], -5);
    EXPECT_EQ(back.icons.count, 0);
    EXPECT_EQ(back.options.changes,
              QStringList({"participants 0", "avRandom 1", "pictureRandom 0", "hitCount 2"}));
    EXPECT_EQ(back.colours.backColours, colours.backColours);
    EXPECT_EQ(back.colours.foreColours, colours.foreColours);

    // A failed save (a text the code page cannot hold, or a folder in the way) keeps the old file whole.
    pictures.files[1] = QStringLiteral("/p/\U0001F600.jpg");
    EXPECT_FALSE(file.writeConditionFile(path));
    EXPECT_EQ(readBytes(path), saved);
    const QString blocked = folder.file(QStringLiteral("Blocked.env"));
    QDir(folder.path()).mkdir(QStringLiteral("Blocked.env"));
    EXPECT_FALSE(file.writeConditionFile(blocked));
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(messageLines(0)[1], "ファイル名 = " + path);
    EXPECT_EQ(messageLines(0)[2], QStringLiteral("保存できない文字があります: /p/\U0001F600.jpg"));
    EXPECT_EQ(messageLines(1)[1], "ファイル名 = " + blocked);
    EXPECT_EQ(messageLines(1)[2], QStringLiteral("エラー番号=75 パス名が無効です。"));

    // A show another editor saved in UTF-8 reads as written, and is saved back in CP932.
    test::writeBytes(
        path, QStringLiteral("[AV]\r\n/音楽/曲 1.mp3\t0\t4\r\n[Picture]\r\n/写真/桜.jpg\r\n").toUtf8());
    ASSERT_TRUE(back.file.readAtStartUp(path, folder.path()));
    EXPECT_EQ(back.av.files[1], QStringLiteral("/音楽/曲 1.mp3"));
    EXPECT_EQ(back.pictures.files[1], QStringLiteral("/写真/桜.jpg"));
    ASSERT_TRUE(back.file.writeConditionFile(path));
    EXPECT_TRUE(readBytes(path).startsWith(
        ansi(QStringLiteral("[AV]\n/音楽/曲 1.mp3\t 0 \t 4 \n[Picture]\n/写真/桜.jpg"))));
}

} // namespace
} // namespace halvora
