#include "platform/text_file.h"
#include "settings/condition_file.h"
#include "settings/environment_file.h"
#include "settings/file_commands.h"
#include "support/fake_dialogs.h"
#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringList>

#include <gtest/gtest.h>

namespace halvora::test {
namespace {

using namespace Qt::StringLiterals;

// The five option controls; every change made to them is noted in `changes`.
class FakeOptions final : public ConditionOptions {
public:
    QString participants = u"1"_s;
    bool avRandomChecked = true, pictureRandomChecked = true;
    int hitCountIndex = 3, drawTimeIndex = 0;
    QStringList changes;

    QString participantsText() const override { return participants; }
    void setParticipantsText(const QString& t) override { note(participants, t, "participants"); }
    bool avRandom() const override { return avRandomChecked; }
    void setAvRandom(bool c) override { note(avRandomChecked, c, "avRandom"); }
    bool pictureRandom() const override { return pictureRandomChecked; }
    void setPictureRandom(bool c) override { note(pictureRandomChecked, c, "pictureRandom"); }
    int selectedHitCountIndex() const override { return hitCountIndex; }
    void selectHitCountIndex(int i) override { note(hitCountIndex, i, "hitCount"); }
    int selectedDrawTimeIndex() const override { return drawTimeIndex; }
    void selectDrawTimeIndex(int i) override { note(drawTimeIndex, i, "drawTime"); }

private:
    template <typename T> void note(T& field, const T& value, const char* what) {
        field = value;
        changes << u"%1 %2"_s.arg(QLatin1String(what)).arg(value);
    }
};

// A program folder, the main window's condition records and the reader/writer working on them.
struct SettingsFixture {
    ProgramFolder folder;
    FakeDialogs dialogs;
    AvList av;
    PictureList pictures;
    IconList icons;
    ScreenColours colours;
    FakeOptions options;
    ConditionFile file{dialogs, nullptr, av, pictures, icons, colours, options};

    // Writes `text` ("\n" between lines) as a CP932 file with CR LF line ends.
    QString write(const QString& name, const QString& text) const {
        writeBytes(folder.file(name), ansi(text));
        return folder.file(name);
    }
    static QByteArray ansi(const QString& text) { return ansiLines(text.split(QLatin1Char('\n'))); }
    QStringList messageLines(std::size_t i) const { return dialogs.messages().at(i).prompt.split(u"\r\n"_s); }
    // Entries 1..count of a list; music and video entries as "path|start|play".
    template <typename List> static QStringList entries(const List& list) {
        return QStringList(list.files.begin() + 1, list.files.begin() + list.count + 1);
    }
    static QStringList entries(const AvList& list) {
        QStringList all;
        for (int i = 1; i <= list.count; ++i)
            all << u"%1|%2|%3"_s.arg(list.files[i]).arg(list.starts[i]).arg(list.playSeconds[i]);
        return all;
    }
};

struct ConditionFileTest : ::testing::Test, SettingsFixture {
    const QString path = folder.file(u"Show.env"_s);
    QString write(const QString& text) { return SettingsFixture::write(u"Show.env"_s, text); }
};

TEST_F(ConditionFileTest, ReadsListsBySectionRulesOptionsByPositionAndColoursFromEightOrTenLines) {
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

    // Options by their line in [Option].
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
}

TEST_F(ConditionFileTest, UnreadableFileStopsTheLoad) {
    QDir(folder.path()).mkdir(u"Show.env"_s);
    EXPECT_FALSE(file.readAtStartUp(path, folder.path()));
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
    colours.backColours = {"0", "1", "2", "3", "4"};
    colours.foreColours = {"-10", "-11", "-12", "-13", "-14"};
    ASSERT_TRUE(file.writeConditionFile(path));
    const QByteArray saved =
        ansi(QStringLiteral("[AV]\n/音楽/曲 1.mp3\t 0 \t 4 \n/m/v.avi\t-5 \t 12 \n[Picture]\n"
                            "/p/a.jpg\n[BMP]\n[Option]\n大勢\nTrue\nFalse\n 2 \n[COLOR]\n"
                            "0\n1\n2\n3\n4\n-10\n-11\n-12\n-13\n-14"));
    EXPECT_EQ(readBytes(path), saved);

    SettingsFixture back;
    back.icons.count = 9;
    ASSERT_TRUE(back.file.readAtStartUp(path, folder.path()));
    // The icons the reader held before are gone: the empty [BMP] section empties the list.
    EXPECT_EQ(entries(back.av) + entries(back.pictures) + entries(back.icons) + back.options.changes,
              QStringList({"/音楽/曲 1.mp3|0|4", "/m/v.avi|-5|12", "/p/a.jpg", "participants 0", "avRandom 1",
                           "pictureRandom 0", "hitCount 2", "drawTime 0"}));

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
}

// The current show "Halvora.env" (one music file) in the program folder, named by Halvora.ini.
struct FileCommandsFixture : SettingsFixture {
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
    const QString none;
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
        // Overwrite-save asks first.
        {&F::saveShow, "No", home, "", asked, 1},
        {&F::saveShow, "Yes", home, home, asked, 1},
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
        (f.commands.*c.command)();

        const QString written = QString::fromUtf8(c.written), now = QString::fromUtf8(c.show);
        // The show in force and in Halvora.ini, the entries in force, the first line of any message.
        const QString said = f.dialogs.messages().empty() ? none : f.messageLines(0).at(0);
        EXPECT_EQ(QStringList({f.folders.dataFolder + f.folders.conditionFileName, f.iniShow(),
                               QString::number(f.av.count), said}),
                  QStringList({f.folder.file(now), now, QString::number(c.avCount), c.message}));
        // What is written has the writer's form; what is not keeps every byte.
        EXPECT_TRUE(
            written.isEmpty() ||
            readBytes(f.folder.file(written)).startsWith("[AV]\r\n/m/old.mp3\t 0 \t 4 \r\n[Picture]"));
        EXPECT_TRUE(written == f.folders.conditionFileName || readBytes(f.show) == show);
        EXPECT_TRUE(!now.endsWith(u"Halvora.env") || readBytes(f.folder.file(kEnvironmentFileName)) == ini);
        // An overwrite is asked with いいえ as the default.
        EXPECT_TRUE(!save || f.dialogs.messages().at(0).kind == MessageKind::QuestionDefaultNo);
    }
}

// Every entry of a folder, hidden ones too, sorted by name.
QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Halvora.ini as written, with the default screen, card and phone settings.
QByteArray iniBytes(const QString& data, const QString& show, const QString& history) {
    return ansiLines({"[File]", "DataFilePath=" + data, "FileName=" + show, "HistoryFile=" + history,
                            "[Screen]", "AudienceScreen=", "AudienceWindow=1", "[Card]", "CardStyle=0", "[Phones]",
                            "PhoneAddress=", "PhonePort=8080", "PhoneCards=1"});
}

struct EnvironmentFileTest : ::testing::Test, SettingsFixture {
    EnvironmentFolders folders;
    ProgramFolder user;

    QString ini() const { return folders.appFolder + kEnvironmentFileName; }
    void start(const QString& programFolder, const QString& userDataFolder) {
        readEnvironmentFile(programFolder, userDataFolder, folders, dialogs, nullptr);
        ASSERT_TRUE(file.readAtStartUp(folders.dataFolder + folders.conditionFileName, folders.appFolder));
    }
    // The first start's files in appFolder: the environment file, and the default show, whose every
    // entry names a sample file that is really there.
    void expectFirstStartFiles() const {
        const QString app = folders.appFolder, sample = app + u"Sample/"_s;
        EXPECT_TRUE(dialogs.messages().empty());
        EXPECT_EQ(readBytes(ini()), iniBytes(app, u"Halvora.env"_s, app + u"History/"_s));
        EXPECT_EQ(
            readBytes(app + u"Halvora.env"_s),
            ansiLines({"[AV]", sample + "spm1.mp3\t0\t4", "[Picture]", sample + "SPG1.jpg",
                             sample + "SPG2.jpg", "[BMP]", sample + "スタート1.bmp", sample + "スタート2.bmp",
                             sample + "スタート3.bmp", sample + "スタート4.bmp"}));
        for (const QString& path : {av.files[1], pictures.files[2], icons.files[4]})
            EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
    }
};

TEST_F(EnvironmentFileTest, FirstStartLaysOutTheProgramFolder) {
    folder.addSampleMedia();
    // Beside the sample media: files the move into "Sample" treats each in its own way.
    QDir(folder.path()).mkpath(u"Sample/blocked.mp3"_s); // a folder where the copy should go
    for (const QString name :
         {"LOUD.MP3", "blocked.mp3", "clash.mp3", ".hidden.mp3", "same.mp3", "tune.mp3x"})
        writeBytes(folder.file(name), name.toUtf8());
    writeBytes(folder.file(u"Sample/same.mp3"_s), "same.mp3");
    writeBytes(folder.file(u"Sample/clash.mp3"_s), "another tune");

    start(folder.path(), user.path());
    expectFirstStartFiles();
    // Moved whatever the case of the extension; an identical copy already there lets the source go.
    // A failed copy and a name taken by other content keep both files; hidden files and other names
    // are not touched.
    QStringList sample =
        sampleMediaNames() + QStringList{"LOUD.MP3", "blocked.mp3", "clash.mp3", "same.mp3"};
    sample.sort();
    EXPECT_EQ(folderEntries(folder.file(u"Sample"_s)), sample);
    EXPECT_EQ(folderEntries(folder.path()),
              QStringList({".hidden.mp3", "Halvora.env", "Halvora.ini", "History", "Sample", "blocked.mp3",
                           "clash.mp3", "tune.mp3x"}));
    EXPECT_EQ(readBytes(folder.file(u"Sample/clash.mp3"_s)) + '|' + readBytes(folder.file(u"clash.mp3"_s)),
              "another tune|clash.mp3");
}

TEST_F(EnvironmentFileTest, UnusableProgramFolderKeepsTheDataInTheUserFolder) {
    const QString program = folder.file(u"josé/"_s), data = user.file(u"ハル data/"_s),
                  spare = user.file(u"spare/"_s);
    ASSERT_TRUE(QDir().mkpath(program));
    // A folder that cannot be written, or whose path CP932 cannot hold (the files could not name it).
    EXPECT_EQ(chooseAppFolder(u"/proc/"_s, data, spare), data);

    // The program's media are copied into the data folder's "Sample"; the originals stay. They are
    // found in the program's own "Sample" too, where its first start (still writable then) put them.
    folder.addSampleMedia();
    ASSERT_TRUE(QDir().mkpath(program + "Sample"));
    for (const QString& name : sampleMediaNames())
        QFile::rename(folder.file(name), program + (name.endsWith(".bmp") ? "Sample/" : "") + name);
    start(program, data);
    // The operator is told where the data go now, once.
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(
        messageLines(0),
        QStringList({"プログラムのフォルダーに書き込めないため、設定と履歴は次のフォルダーに保存します。",
                     data, "サンプルの音楽と画像もこのフォルダーにコピーしました。"}));
    dialogs.clear();
    expectFirstStartFiles();
    EXPECT_EQ(folderEntries(program).size() + folderEntries(program + "Sample").size(),
              sampleMediaNames().size() + 1);
    readEnvironmentFile(program, data, folders, dialogs, nullptr);
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(EnvironmentFileTest, ReadsKeysWithoutRegardToCaseAndKeepsValuesAsWritten) {
    EXPECT_EQ(programRootFolder(u"/opt/MyVBP"_s), u"/opt/MyVBP/"_s);

    // CR-only line ends; keys before [FILE] or behind a blank do not count; the last key wins and a
    // later section header does not end the section.
    writeBytes(
        folder.file(kEnvironmentFileName),
        encodeAnsi(QStringLiteral("FileName=Before.env\r[file]\r DataFilePath=/blank/\r"
                                  "datafilepath=/Show/ショー Data/\rFILENAME=First.env\r[Other]\r"
                                  "fileName=Second Show.ENV\rHistoryFile=/Logs/Hist\r[Screen]\rAudienceScreen=HDMI-1\r"
                                  "AudienceWindow=0\r[Card]\rCardStyle=1\r[Phones]\rPhoneAddress=192.168.1.5\r"
                                  "PhonePort=80\rPhoneCards=9")));
    readEnvironmentFile(folder.path() + "Vbp", user.path(), folders, dialogs, nullptr);
    EXPECT_EQ(QStringList({folders.appFolder, folders.dataFolder, folders.conditionFileName,
                           folders.historyFolder}),
              QStringList({folder.path(), "/Show/ショー Data/", "Second Show.ENV", "/Logs/Hist"}));
    // A port the system keeps for itself gives way to the default; at most three cards a phone.
    EXPECT_EQ(std::tuple(folders.audienceScreen, folders.audienceWindow, folders.cardStyle, folders.phoneAddress,
                         folders.phonePort, folders.phoneCards),
              std::tuple(u"HDMI-1"_s, false, 1, u"192.168.1.5"_s, 8080, 3));
    EXPECT_TRUE(dialogs.messages().empty());

    // A file that cannot be read is reported.
    const QString iniPath = ini();
    QFile::remove(iniPath);
    QDir(folder.path()).mkdir(kEnvironmentFileName);
    readEnvironmentFile(folder.path(), user.path(), folders, dialogs, nullptr);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(messageLines(0),
              QStringList({"動作環境ファイルが開けません。", iniPath, "エラー番号75", "処理を中止します。"}));
}

TEST_F(EnvironmentFileTest, FoldersNotAbsoluteHereAreReplacedByTheDefaultsOnce) {
    ProgramFolder work;
    const auto backHome = qScopeGuard([home = QDir::currentPath()] { QDir::setCurrent(home); });
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    const QString app = folder.path();
    folder.addSampleMedia();
    // Folders from another PC or relative ones, and a file name with a folder in it.
    write(kEnvironmentFileName,
            QStringLiteral("[File]\nDataFilePath=C:\\BINGO\\\nFileName=C:\\BINGO\\Show.env\n"
                           "HistoryFile=data/History/"));
    start(app, user.path());
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(messageLines(0), QStringList({"動作環境ファイルの指定が正しくありません。", ini(),
                                              "DataFilePath=C:\\BINGO\\", "FileName=C:\\BINGO\\Show.env",
                                              "HistoryFile=data/History/", "既定の値に置き換えます。"}));
    dialogs.clear();
    expectFirstStartFiles();
    // The next start has nothing to say.
    start(app, user.path());
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_TRUE(folderEntries(work.path()).isEmpty());
}

TEST_F(EnvironmentFileTest, WritesAtomicallyWithOneSeparatorAfterTheHistoryFolder) {
    folders.appFolder = folder.path();
    folders.dataFolder = "/Data/";
    folders.conditionFileName = "Show.env";
    folders.historyFolder = folder.file(u"Logs"_s);
    const QByteArray expected = iniBytes(u"/Data/"_s, u"Show.env"_s, folder.file("Logs/"));
    ASSERT_TRUE(writeEnvironmentFile(folders, dialogs, nullptr));
    EXPECT_EQ(readBytes(ini()), expected);

    // A value the code page cannot hold fails the write after the first lines: the old file stays whole.
    folders.conditionFileName = u"Show\U0001F600.env"_s;
    EXPECT_FALSE(writeEnvironmentFile(folders, dialogs, nullptr));
    EXPECT_EQ(readBytes(ini()), expected);
    // So does a folder where the file should be.
    QFile::remove(ini());
    QDir(folder.path()).mkdir(kEnvironmentFileName);
    EXPECT_FALSE(writeEnvironmentFile(folders, dialogs, nullptr));
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(messageLines(0), QStringList({ini() + "が開けません", "エラー番号=5",
                                              "プロシージャの呼び出し、または引数が不正です。"}));
    EXPECT_EQ(messageLines(1),
              QStringList({ini() + "が開けません", "エラー番号=75", "パス名が無効です。"}));
}

} // namespace
} // namespace halvora::test
