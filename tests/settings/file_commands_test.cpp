#include "settings/file_commands.h"

#include "settings_fixture.h"

#include <QDir>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using test::readBytes;

enum class Command { Open, Save, SaveAs };

// The current show "Halvora.env" (one music file) in the program folder, which Halvora.ini points at.
struct FileCommandsFixture : test::SettingsFixture {
    EnvironmentFolders folders{folder.path(),
                               folder.path(),
                               QStringLiteral("Halvora.env"),
                               folder.file(QStringLiteral("History/")),
                               {}};
    FileCommands commands{dialogs, nullptr, folders, av, file};
    const QString show = write(QStringLiteral("Halvora.env"), QStringLiteral("[AV]\n/m/old.mp3\t0\t4"));

    FileCommandsFixture() {
        QDir().mkpath(folder.file(QStringLiteral("日本語の フォルダ")));
        write(QStringLiteral("日本語の フォルダ/SHOW.ENV"),
              QStringLiteral("[AV]\n/m/a.mp3\n/m/b.mp3\n[Option]\n20\nFalse\nFalse\n1\n2"));
        write(QStringLiteral("notes.txt"), QStringLiteral("[AV]"));
        write(QStringLiteral("photo.env"), QStringLiteral("JFIF"));
        QDir().mkpath(folder.file(QStringLiteral("folder.env")));
        QDir().mkpath(folder.file(QStringLiteral("🎵")));
        WriteEnvironmentFile(folders, dialogs, nullptr);
        file.ReadAvSection(show, folder.path());
    }
    void run(Command command) {
        if (command == Command::Open)
            commands.Menu開く_Click();
        else if (command == Command::Save)
            commands.Menu上書き保存_Click();
        else
            commands.Menu名前を付けて保存_Click();
    }
    // The show Halvora.ini names, relative to the program folder.
    QString iniShow() const {
        const QStringList lines = decodeAnsi(readBytes(folder.file(kEnvironmentFileName))).split("\r\n");
        return (lines.value(1).mid(13) + lines.value(2).mid(9)).mid(folder.path().size());
    }
};

TEST(FileCommands, ChosenFilesBecomeTheShowOrAreRefusedLeavingEverythingAsItWas) {
    struct Case {
        Command command;
        const char* answer;  // path chosen in the dialog, relative to the program folder; empty: cancel
        int yesNo;           // answer to the overwrite question
        const char* show;    // the current show afterwards (also what Halvora.ini names)
        const char* written; // the file written, if any
        const char* message; // first line of the message shown, if any
        int avCount;
    };
    const Case cases[] = {
        // An open of a file named in capitals, in a folder with a Japanese name; cancel changes nothing.
        {Command::Open, "日本語の フォルダ/SHOW.ENV", 0, "日本語の フォルダ/SHOW.ENV", "", "", 2},
        {Command::Open, "", 0, "Halvora.env", "", "", 1},
        // Other extensions, files that hold no show and files that cannot be read keep the show.
        {Command::Open, "notes.txt", 0, "Halvora.env", "", "正しいファイル名を指定して下さい。", 1},
        {Command::Open, "photo.env", 0, "Halvora.env", "", "ビンゴ設定情報のファイルではありません。", 1},
        {Command::Open, "folder.env", 0, "Halvora.env", "", "各種設定ファイルが開けません。", 1},
        // Save-as adds ".env" to a name without a dot.
        {Command::SaveAs, "日本語の フォルダ/新しい", 0, "日本語の フォルダ/新しい.env",
         "日本語の フォルダ/新しい.env", "", 1},
        {Command::SaveAs, "", 0, "Halvora.env", "", "", 1},
        {Command::SaveAs, "show.txt", 0, "Halvora.env", "", "正しいファイル名を指定して下さい。", 1},
        // A folder CP932 cannot name could not be kept in Halvora.ini; one that is missing cannot be written.
        {Command::SaveAs, "🎵/a.env", 0, "Halvora.env", "", "この場所のファイルは使えません。", 1},
        {Command::SaveAs, "none/a.env", 0, "Halvora.env", "", "各種設定ファイルが開けません。", 1},
        {Command::Save, "", MsgBox::No, "Halvora.env", "", "ビンゴ設定情報を保存しますか？", 1},
        {Command::Save, "", MsgBox::Yes, "Halvora.env", "Halvora.env", "ビンゴ設定情報を保存しますか？", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        FileCommandsFixture f;
        const QByteArray show = readBytes(f.show), ini = readBytes(f.folder.file(kEnvironmentFileName));
        if (c.command != Command::Save)
            f.dialogs.answerNextFile(*c.answer ? f.folder.file(QString::fromUtf8(c.answer)) : QString());
        f.dialogs.answerNextMessage(c.yesNo);
        f.run(c.command);

        EXPECT_EQ(f.folders.DataFolder + f.folders.ConditionFileName,
                  f.folder.file(QString::fromUtf8(c.show)));
        EXPECT_EQ(f.iniShow(), QString::fromUtf8(c.show));
        EXPECT_EQ(f.av.AvCount, c.avCount);
        // The show is written in the writer's form; files not written keep every byte.
        const QString written = QString::fromUtf8(c.written);
        EXPECT_TRUE(
            written.isEmpty() ||
            readBytes(f.folder.file(written)).startsWith("[AV]\r\n/m/old.mp3\t 0 \t 4 \r\n[Picture]"));
        EXPECT_TRUE(written == QStringLiteral("Halvora.env") || readBytes(f.show) == show);
        EXPECT_TRUE(f.iniShow() != QStringLiteral("Halvora.env") ||
                    readBytes(f.folder.file(kEnvironmentFileName)) == ini);
        EXPECT_EQ(f.dialogs.messages().empty() ? QString() : f.messageLines(0).at(0),
                  QString::fromUtf8(c.message));
        if (c.command == Command::Save) {
            EXPECT_EQ(f.dialogs.messages().at(0).style, 292);
            EXPECT_EQ(f.dialogs.messages().at(0).title, QStringLiteral("操作確認"));
        } else {
            const FileNameRequest& asked = f.dialogs.fileRequests().at(0);
            EXPECT_EQ(asked.title, c.command == Command::Open
                                       ? QStringLiteral("ビンゴ設定情報を読み込み")
                                       : QStringLiteral("ビンゴ設定情報　名前を付けて保存"));
            EXPECT_EQ(asked.initialDir + asked.file, f.show);
        }
    }
}

// A save that fails half-way (a name CP932 cannot hold) is told and leaves every earlier file whole.
TEST(FileCommands, AFailedSaveLeavesTheEarlierFilesWhole) {
    FileCommandsFixture f;
    const QString other = f.folder.file(QStringLiteral("日本語の フォルダ/SHOW.ENV"));
    const QByteArray show = readBytes(f.show), ini = readBytes(f.folder.file(kEnvironmentFileName)),
                     otherBytes = readBytes(other);
    f.av.AvFile[1] = QStringLiteral("/m/🎵.mp3");
    f.dialogs.answerNextMessage(MsgBox::Yes);
    f.commands.Menu上書き保存_Click();
    f.dialogs.answerNextFile(other);
    f.commands.Menu名前を付けて保存_Click();
    EXPECT_EQ(readBytes(f.show), show);
    EXPECT_EQ(readBytes(other), otherBytes);
    EXPECT_EQ(readBytes(f.folder.file(kEnvironmentFileName)), ini);
    ASSERT_EQ(f.dialogs.messages().size(), 3u);
    EXPECT_EQ(f.messageLines(1).at(1), QStringLiteral("ファイル名 = ") + f.show);
    EXPECT_EQ(f.messageLines(2).at(1), QStringLiteral("ファイル名 = ") + other);
}

} // namespace
} // namespace halvora
