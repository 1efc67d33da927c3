#include "settings/environment_file.h"

#include "platform/text_file.h"
#include "settings_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

using test::readBytes;

// Every entry of a folder, hidden ones too, sorted.
QStringList entries(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// Halvora.ini as written, with the default screen, card and phone settings.
QByteArray iniBytes(const QString& data, const QString& show, const QString& history) {
    return test::ansiLines({"[File]", "DataFilePath=" + data, "FileName=" + show, "HistoryFile=" + history,
                            "[Screen]", "AudienceScreen=", "AudienceWindow=1", "[Card]", "CardStyle=0", "[Phones]",
                            "PhoneAddress=", "PhonePort=8080", "PhoneCards=1"});
}

struct Start : test::SettingsFixture {
    EnvironmentFolders folders;
    test::ProgramFolder user;

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
        EXPECT_TRUE(QFileInfo(app + u"History"_s).isDir());
        EXPECT_EQ(
            readBytes(app + u"Halvora.env"_s),
            test::ansiLines({"[AV]", sample + "spm1.mp3\t0\t4", "[Picture]", sample + "SPG1.jpg",
                             sample + "SPG2.jpg", "[BMP]", sample + "スタート1.bmp", sample + "スタート2.bmp",
                             sample + "スタート3.bmp", sample + "スタート4.bmp"}));
        ASSERT_EQ((std::array{av.count, pictures.count, icons.count}),
                  (std::array<std::int16_t, 3>{1, 2, 4}));
        for (const QString& path : {av.files[1], pictures.files[2], icons.files[4]})
            EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
        EXPECT_EQ(options.changes, QStringList({"participants 1", "avRandom 1", "pictureRandom 1", "hitCount 3",
                                                "drawTime 0"})); // a new show's options
    }
};

TEST(EnvironmentFile, FirstStartLaysOutTheProgramFolder) {
    Start s;
    s.folder.addSampleMedia();
    // Beside the sample media: files the move into "Sample" treats each in its own way.
    QDir(s.folder.path()).mkpath(u"Sample/blocked.mp3"_s); // a folder where the copy should go
    QDir(s.folder.path()).mkdir(u"folder.mp3"_s);
    for (const QString name :
         {"LOUD.MP3", "blocked.mp3", "clash.mp3", ".hidden.mp3", "same.mp3", "tune.mp3x"})
        test::writeBytes(s.folder.file(name), name.toUtf8());
    test::writeBytes(s.folder.file(u"Sample/same.mp3"_s), "same.mp3");
    test::writeBytes(s.folder.file(u"Sample/clash.mp3"_s), "another tune");

    s.start(s.folder.path(), s.user.path());
    EXPECT_EQ(s.folders.appFolder, s.folder.path());
    s.expectFirstStartFiles();
    // Moved whatever the case of the extension; an identical copy already there lets the source go.
    // A failed copy and a name taken by other content keep both files; hidden files, folders and
    // other names are not touched.
    QStringList sample =
        test::sampleMediaNames() + QStringList{"LOUD.MP3", "blocked.mp3", "clash.mp3", "same.mp3"};
    sample.sort();
    EXPECT_EQ(entries(s.folder.file(u"Sample"_s)), sample);
    EXPECT_EQ(entries(s.folder.path()),
              QStringList({".hidden.mp3", "Halvora.env", "Halvora.ini", "History", "Sample", "blocked.mp3",
                           "clash.mp3", "folder.mp3", "tune.mp3x"}));
    EXPECT_EQ(readBytes(s.folder.file(u"Sample/clash.mp3"_s)), "another tune");
    EXPECT_EQ(readBytes(s.folder.file(u"clash.mp3"_s)), "clash.mp3");
}

TEST(EnvironmentFile, UnusableProgramFolderKeepsTheDataInTheUserFolder) {
    Start s;
    const QString program = s.folder.file(u"josé/"_s), user = s.user.file(u"ハル data/"_s),
                  spare = s.user.file(u"spare/"_s);
    ASSERT_TRUE(QDir().mkpath(program));
    // A folder that cannot be written, or whose path CP932 cannot hold (the files could not name it).
    EXPECT_EQ(chooseAppFolder(u"/proc/"_s, user, spare), user);
    EXPECT_EQ(chooseAppFolder(program, program + "data", spare), spare);

    // The program's media are copied into the data folder's "Sample"; the originals stay. They are
    // found in the program's own "Sample" too, where its first start (still writable then) put them.
    s.folder.addSampleMedia();
    ASSERT_TRUE(QDir().mkpath(program + "Sample"));
    for (const QString& name : test::sampleMediaNames())
        QFile::rename(s.folder.file(name), program + (name.endsWith(".bmp") ? "Sample/" : "") + name);
    s.start(program, user);
    EXPECT_EQ(s.folders.appFolder, user);
    // The operator is told where the data go now, once.
    ASSERT_EQ(s.dialogs.messages().size(), 1u);
    EXPECT_EQ(
        s.messageLines(0),
        QStringList({"プログラムのフォルダーに書き込めないため、設定と履歴は次のフォルダーに保存します。",
                     user, "サンプルの音楽と画像もこのフォルダーにコピーしました。"}));
    s.dialogs.clear();
    s.expectFirstStartFiles();
    EXPECT_EQ(entries(program).size() + entries(program + "Sample").size(),
              test::sampleMediaNames().size() + 1);
    readEnvironmentFile(program, user, s.folders, s.dialogs, nullptr);
    EXPECT_TRUE(s.dialogs.messages().empty());
}

TEST(EnvironmentFile, ReadsKeysWithoutRegardToCaseAndKeepsValuesAsWritten) {
    EXPECT_EQ(programRootFolder(u"/opt/Show Room/vBp"_s), u"/opt/Show Room/"_s);
    EXPECT_EQ(programRootFolder(u"/opt/Show/VBP/"_s), u"/opt/Show/"_s);
    EXPECT_EQ(programRootFolder(u"/opt/MyVBP"_s), u"/opt/MyVBP/"_s);

    Start s;
    // CR-only line ends; keys before [FILE] or behind a blank do not count; the last key wins and a
    // later section header does not end the section.
    test::writeBytes(
        s.folder.file(kEnvironmentFileName),
        encodeAnsi(QStringLiteral("FileName=Before.env\r[file]\r DataFilePath=/blank/\r"
                                  "datafilepath=/Show/ショー Data/\rFILENAME=First.env\r[Other]\r"
                                  "fileName=Second Show.ENV\rHistoryFile=/Logs/Hist\r[Screen]\rAudienceScreen=HDMI-1\r"
                                  "AudienceWindow=0\r[Card]\rCardStyle=1")));
    readEnvironmentFile(s.folder.path() + "Vbp", s.user.path(), s.folders, s.dialogs, nullptr);
    EXPECT_EQ(QStringList({s.folders.appFolder, s.folders.dataFolder, s.folders.conditionFileName,
                           s.folders.historyFolder}),
              QStringList({s.folder.path(), "/Show/ショー Data/", "Second Show.ENV", "/Logs/Hist"}));
    EXPECT_EQ(s.folders.audienceScreen, u"HDMI-1"_s);
    EXPECT_FALSE(s.folders.audienceWindow);
    EXPECT_EQ(s.folders.cardStyle, 1);
    EXPECT_TRUE(s.dialogs.messages().empty());

    // A file that cannot be read is reported and empties the folders.
    const QString ini = s.ini();
    QFile::remove(ini);
    QDir(s.folder.path()).mkdir(kEnvironmentFileName);
    readEnvironmentFile(s.folder.path(), s.user.path(), s.folders, s.dialogs, nullptr);
    ASSERT_EQ(s.dialogs.messages().size(), 1u);
    EXPECT_EQ(s.messageLines(0),
              QStringList({"動作環境ファイルが開けません。", ini, "エラー番号75", "処理を中止します。"}));
    EXPECT_TRUE(s.folders.dataFolder.isEmpty() && s.folders.conditionFileName.isEmpty() &&
                s.folders.historyFolder.isEmpty());
}

TEST(EnvironmentFile, FoldersNotAbsoluteHereAreReplacedByTheDefaultsOnce) {
    test::ProgramFolder work;
    const auto backHome = qScopeGuard([home = QDir::currentPath()] { QDir::setCurrent(home); });
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    Start s;
    const QString app = s.folder.path();
    s.folder.addSampleMedia();
    // Folders from another PC or relative ones, and a file name with a folder in it.
    s.write(kEnvironmentFileName,
            QStringLiteral("[File]\nDataFilePath=C:\\BINGO\\\nFileName=C:\\BINGO\\Show.env\n"
                           "HistoryFile=data/History/"));
    s.start(app, s.user.path());
    ASSERT_EQ(s.dialogs.messages().size(), 1u);
    EXPECT_EQ(s.messageLines(0), QStringList({"動作環境ファイルの指定が正しくありません。", s.ini(),
                                              "DataFilePath=C:\\BINGO\\", "FileName=C:\\BINGO\\Show.env",
                                              "HistoryFile=data/History/", "既定の値に置き換えます。"}));
    s.dialogs.clear();
    s.expectFirstStartFiles();
    // The next start has nothing to say.
    s.start(app, s.user.path());
    EXPECT_TRUE(s.dialogs.messages().empty());
    EXPECT_TRUE(entries(work.path()).isEmpty());
}

TEST(EnvironmentFile, WritesAtomicallyWithOneSeparatorAfterTheHistoryFolder) {
    Start s;
    s.folders.appFolder = s.folder.path();
    s.folders.dataFolder = "/Data/";
    s.folders.conditionFileName = "Show.env";
    s.folders.historyFolder = s.folder.file("Logs//");
    const QByteArray expected = iniBytes(u"/Data/"_s, u"Show.env"_s, s.folder.file("Logs/"));
    ASSERT_TRUE(writeEnvironmentFile(s.folders, s.dialogs, nullptr));
    EXPECT_EQ(readBytes(s.ini()), expected);
    s.folders.historyFolder = s.folder.file(u"Logs"_s);
    ASSERT_TRUE(writeEnvironmentFile(s.folders, s.dialogs, nullptr));
    EXPECT_EQ(readBytes(s.ini()), expected);

    // A value the code page cannot hold fails the write after the first lines: the old file stays whole.
    s.folders.conditionFileName = u"Show\U0001F600.env"_s;
    EXPECT_FALSE(writeEnvironmentFile(s.folders, s.dialogs, nullptr));
    EXPECT_EQ(readBytes(s.ini()), expected);
    // So does a folder where the file should be.
    QFile::remove(s.ini());
    QDir(s.folder.path()).mkdir(kEnvironmentFileName);
    EXPECT_FALSE(writeEnvironmentFile(s.folders, s.dialogs, nullptr));
    ASSERT_EQ(s.dialogs.messages().size(), 2u);
    EXPECT_EQ(s.messageLines(0), QStringList({s.ini() + "が開けません", "エラー番号=5",
                                              "プロシージャの呼び出し、または引数が不正です。"}));
    EXPECT_EQ(s.messageLines(1),
              QStringList({s.ini() + "が開けません", "エラー番号=75", "パス名が無効です。"}));
}

} // namespace
} // namespace halvora
