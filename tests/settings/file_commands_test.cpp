#include "settings/file_commands.h"

#include "settings_fixture.h"

#include <QDir>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

using test::readBytes;

// The current show "Halvora.env" (one music file) in the program folder, named by Halvora.ini.
struct FileCommandsFixture : test::SettingsFixture {
    EnvironmentFolders folders;
    FileCommands commands{dialogs, nullptr, folders, av, file};
    const QString show = write(u"Halvora.env"_s, u"[AV]\n/m/old.mp3\t0\t4"_s);

    FileCommandsFixture() {
        folders.appFolder = folders.dataFolder = folder.path();
        folders.conditionFileName = u"Halvora.env"_s;
        folders.historyFolder = folder.file(u"History/"_s);
        for (const char* name : {"日本語の フォルダ", "folder.env", "🎵"})
            QDir().mkpath(folder.file(QString::fromUtf8(name)));
        write(u"日本語の フォルダ/SHOW.ENV"_s, u"[AV]\n/m/a.mp3\n/m/b.mp3"_s);
        write(u"notes.txt"_s, u"[AV]"_s);
        write(u"photo.env"_s, u"JFIF"_s);
        writeEnvironmentFile(folders, dialogs, nullptr);
        file.readAvSection(show, folder.path());
    }
    // The show Halvora.ini names, relative to the program folder.
    QString iniShow() const {
        const QStringList lines = decodeAnsi(readBytes(folder.file(kEnvironmentFileName))).split("\r\n");
        return (lines.value(1).mid(13) + lines.value(2).mid(9)).mid(folder.path().size());
    }
};

TEST(FileCommands, ChosenFilesBecomeTheShowOrAreRefusedLeavingEverythingAsItWas) {
    using F = FileCommands;
    const QString none, open = "ビンゴ設定情報を読み込み", saveAs = "ビンゴ設定情報　名前を付けて保存";
    struct Case {
        void (F::*command)();
        const char* answer;  // path chosen in the dialog, relative to the program folder (empty: cancel);
                             // for a save, the answer to its question
        const char* show;    // the current show afterwards (also what Halvora.ini names)
        const char* written; // the file written, if any
        const char* message; // first line of the first message shown, if any
        int avCount;
    };
    const char *refused = "正しいファイル名を指定して下さい。",
               *unreadable = "各種設定ファイルが開けません。", *asked = "ビンゴ設定情報を保存しますか？",
               *home = "Halvora.env";
    const Case cases[] = {
        // An open of a file named in capitals, in a folder with a Japanese name; cancel changes nothing.
        {&F::openShow, "日本語の フォルダ/SHOW.ENV", "日本語の フォルダ/SHOW.ENV", "", "", 2},
        {&F::openShow, "", home, "", "", 1},
        // Other extensions, files holding no show and files that cannot be read keep the show whole.
        {&F::openShow, "notes.txt", home, "", refused, 1},
        {&F::openShow, "photo.env", home, "", "ビンゴ設定情報のファイルではありません。", 1},
        {&F::openShow, "folder.env", home, "", unreadable, 1},
        // Save-as adds ".env" to a name without a dot.
        {&F::saveShowAs, "日本語の フォルダ/新しい", "日本語の フォルダ/新しい.env",
         "日本語の フォルダ/新しい.env", "", 1},
        {&F::saveShowAs, "", home, "", "", 1},
        {&F::saveShowAs, "show.txt", home, "", refused, 1},
        // Halvora.ini could not keep a folder CP932 cannot name; it never names a file that was not written.
        {&F::saveShowAs, "🎵/a.env", home, "", "この場所のファイルは使えません。", 1},
        {&F::saveShowAs, "none/a.env", home, "", unreadable, 1},
        // Overwrite-save asks first; a save that fails half-way leaves the earlier file whole.
        {&F::saveShow, "No", home, "", asked, 1},
        {&F::saveShow, "Yes", home, home, asked, 1},
        {&F::saveShow, "Yes, with a name CP932 cannot hold", home, "", asked, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        FileCommandsFixture f;
        const QByteArray show = readBytes(f.show), ini = readBytes(f.folder.file(kEnvironmentFileName));
        const bool save = c.command == &F::saveShow;
        const QString answer = QString::fromUtf8(c.answer);
        if (!save)
            f.dialogs.answerNextFile(answer.isEmpty() ? none : f.folder.file(answer));
        f.dialogs.answerNextMessage(answer.startsWith(u"Yes") ? Answer::Yes : Answer::No);
        if (answer.endsWith(u"hold"))
            f.av.files[1] = u"/m/🎵.mp3"_s;
        (f.commands.*c.command)();

        const QString written = QString::fromUtf8(c.written), now = QString::fromUtf8(c.show);
        EXPECT_EQ(f.folders.dataFolder + f.folders.conditionFileName, f.folder.file(now));
        EXPECT_EQ(f.iniShow(), now);
        EXPECT_EQ(f.av.count, c.avCount);
        // What is written has the writer's form; what is not keeps every byte.
        EXPECT_TRUE(
            written.isEmpty() ||
            readBytes(f.folder.file(written)).startsWith("[AV]\r\n/m/old.mp3\t 0 \t 4 \r\n[Picture]"));
        EXPECT_TRUE(written == f.folders.conditionFileName || readBytes(f.show) == show);
        EXPECT_TRUE(!now.endsWith(u"Halvora.env") || readBytes(f.folder.file(kEnvironmentFileName)) == ini);
        EXPECT_EQ(f.dialogs.messages().empty() ? none : f.messageLines(0).at(0),
                  QString::fromUtf8(c.message));
        // What was asked: the question's style and title, or the dialog's start folder, name and title.
        const auto& m = f.dialogs.messages();
        const auto& r = f.dialogs.fileRequests();
        EXPECT_EQ(save ? QString::number(int(m.at(0).kind == MessageKind::QuestionDefaultNo)) + m.at(0).title
                       : r.at(0).folder + r.at(0).name + r.at(0).title,
                  save ? u"1操作確認"_s : f.show + (c.command == &F::openShow ? open : saveAs));
    }
}

} // namespace
} // namespace halvora
