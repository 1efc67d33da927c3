#include "settings/environment_file.h"

#include "platform/text_file.h"
#include "settings_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using test::readBytes;

// `text` matches `pattern`, with `literal` escaped in place of "%1".
::testing::AssertionResult matches(const QString& pattern, const QString& literal, const QString& text) {
    if (QRegularExpression(pattern.arg(QRegularExpression::escape(literal))).match(text).hasMatch())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << text.toStdString();
}

// The default show the first start leads to, for a data folder.
QString defaultShow(const QString& appFolder) {
    return QStringLiteral(
               "[AV]\n%1spm1.mp3\t0\t4\n[Picture]\n%1SPG1.jpg\n%1SPG2.jpg\n[BMP]\n%1スタート1.bmp\n"
               "%1スタート2.bmp\n%1スタート3.bmp\n%1スタート4.bmp")
        .arg(appFolder + QStringLiteral("Sample/"));
}

struct Start : test::SettingsFixture {
    EnvironmentFolders folders;
    test::ProgramFolder user;

    QString ini() const { return folders.AppFolder + kEnvironmentFileName; }
    void start(const QString& programFolder, const QString& userDataFolder) {
        ReadEnvironmentFile(programFolder, userDataFolder, folders, dialogs, nullptr);
        ASSERT_TRUE(file.readAtStartUp(folders.DataFolder + folders.ConditionFileName, folders.AppFolder));
    }
    // The default lists are read, and every entry names a sample file that is really there.
    void expectDefaultShow() const {
        EXPECT_TRUE(dialogs.messages().empty());
        EXPECT_EQ(readBytes(folders.AppFolder + QStringLiteral("Halvora.env")),
                  test::ansiLines(defaultShow(folders.AppFolder).split(QLatin1Char('\n'))));
        ASSERT_EQ(av.AvCount, 1);
        EXPECT_EQ(av.AvPlaySeconds[1], 4);
        ASSERT_EQ(pictures.PictureCount, 2);
        ASSERT_EQ(icons.IconCount, 4);
        for (const QString& path : {av.AvFile[1], pictures.PictureFile[2], icons.IconFile[4]})
            EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
        EXPECT_TRUE(options.changes.isEmpty());
    }
};

TEST(EnvironmentFile, FirstStartLaysOutTheProgramFolder) {
    Start s;
    s.folder.addSampleMedia();
    s.start(s.folder.path(), s.user.path());
    EXPECT_EQ(s.folders.AppFolder, s.folder.path());
    EXPECT_TRUE(QFileInfo(s.folder.file(QStringLiteral("History"))).isDir());
    for (const QString& name : test::sampleMediaNames()) {
        EXPECT_FALSE(QFileInfo::exists(s.folder.file(name))) << name.toStdString();
        EXPECT_TRUE(QFileInfo::exists(s.folder.file(QStringLiteral("Sample/") + name))) << name.toStdString();
    }
    EXPECT_EQ(readBytes(s.ini()),
              test::ansiLines({"[File]", "DataFilePath=" + s.folder.path(), "FileName=Halvora.env",
                               "HistoryFile=" + s.folder.path() + "History/"}));
    s.expectDefaultShow();
    EXPECT_TRUE(QDir(s.user.path()).isEmpty());
}

TEST(EnvironmentFile, ProgramFolderThatCannotBeWrittenKeepsTheDataInTheUserFolder) {
    EXPECT_FALSE(isWritableFolder(QStringLiteral("/proc/")));
    Start s;
    const QString data = s.user.file(QStringLiteral("ハル data"));
    s.start(QStringLiteral("/proc"), data);
    EXPECT_EQ(s.folders.AppFolder, data + "/");
    EXPECT_EQ(s.folders.HistoryFolder, data + "/History/");
    EXPECT_TRUE(QFileInfo(s.ini()).isFile() && QFileInfo(data + "/Sample").isDir());

    // The media of an installed program are copied into the data folder's "Sample"; the originals stay.
    Start t;
    t.user.addSampleMedia();
    t.folders = {t.folder.path(), t.folder.path(), QStringLiteral("Halvora.env"), t.folder.file("History/"),
                 t.user.path()};
    ASSERT_TRUE(WriteEnvironmentFile(t.folders, t.dialogs, nullptr));
    for (const QString& name : test::sampleMediaNames())
        EXPECT_EQ(readBytes(t.folder.file("Sample/" + name)), readBytes(t.user.file(name)))
            << name.toStdString();
    ASSERT_TRUE(t.file.readAtStartUp(t.folder.file(QStringLiteral("Halvora.env")), t.folder.path()));
    t.expectDefaultShow();
}

TEST(EnvironmentFile, ReadsKeysWithoutRegardToCaseAndKeepsValuesAsWritten) {
    EXPECT_EQ(programRootFolder(QStringLiteral("/opt/Show Room/vBp")), QStringLiteral("/opt/Show Room/"));
    EXPECT_EQ(programRootFolder(QStringLiteral("/opt/Show/VBP/")), QStringLiteral("/opt/Show/"));
    EXPECT_EQ(programRootFolder(QStringLiteral("/opt/MyVBP")), QStringLiteral("/opt/MyVBP/"));

    Start s;
    // CR-only line ends; keys before [FILE] or behind a blank do not count; the last key wins and a
    // later section header does not end the section.
    test::writeBytes(
        s.folder.file(kEnvironmentFileName),
        encodeAnsi(QStringLiteral("FileName=Before.env\r[file]\r DataFilePath=/blank/\r"
                                  "datafilepath=/Show/ショー Data/\rFILENAME=First.env\r[Other]\r"
                                  "fileName=Second Show.ENV\rHistoryFile=/Logs/Hist")));
    ReadEnvironmentFile(s.folder.path() + "Vbp", s.user.path(), s.folders, s.dialogs, nullptr);
    EXPECT_EQ(s.folders.AppFolder, s.folder.path());
    EXPECT_EQ(s.folders.DataFolder, QStringLiteral("/Show/ショー Data/"));
    EXPECT_EQ(s.folders.ConditionFileName, QStringLiteral("Second Show.ENV"));
    EXPECT_EQ(s.folders.HistoryFolder, QStringLiteral("/Logs/Hist"));

    // A missing key leaves its text as it was; reading does not rewrite the file.
    const QString ini = s.write(kEnvironmentFileName, QStringLiteral("[FILE]\nDATAFILEPATH=/d/"));
    s.folders.ConditionFileName = QStringLiteral("kept.env");
    ReadEnvironmentFile(s.folder.path(), s.user.path(), s.folders, s.dialogs, nullptr);
    EXPECT_EQ(s.folders.DataFolder, QStringLiteral("/d/"));
    EXPECT_EQ(s.folders.ConditionFileName, QStringLiteral("kept.env"));
    EXPECT_EQ(readBytes(ini), test::ansiLines({"[FILE]", "DATAFILEPATH=/d/"}));
    EXPECT_TRUE(s.dialogs.messages().empty());

    // A file that cannot be read is reported and empties the folders.
    QFile::remove(ini);
    QDir(s.folder.path()).mkdir(kEnvironmentFileName);
    ReadEnvironmentFile(s.folder.path(), s.user.path(), s.folders, s.dialogs, nullptr);
    ASSERT_EQ(s.dialogs.messages().size(), 1u);
    EXPECT_TRUE(
        matches(QStringLiteral(
                    "^動作環境ファイルが開けません。\r\n%1\r\nエラー番号[1-9][0-9]*\r\n処理を中止します。$"),
                ini, s.dialogs.messages()[0].prompt));
    EXPECT_TRUE(s.folders.DataFolder.isEmpty() && s.folders.ConditionFileName.isEmpty() &&
                s.folders.HistoryFolder.isEmpty());
}

TEST(EnvironmentFile, WritesAtomicallyWithOneSeparatorAfterTheHistoryFolder) {
    Start s;
    s.folders = {s.folder.path(), "/Data/", "Show.env", s.folder.file("Logs//"), QString()};
    const QByteArray expected = test::ansiLines(
        {"[File]", "DataFilePath=/Data/", "FileName=Show.env", "HistoryFile=" + s.folder.file("Logs/")});
    ASSERT_TRUE(WriteEnvironmentFile(s.folders, s.dialogs, nullptr));
    EXPECT_EQ(readBytes(s.ini()), expected);
    s.folders.HistoryFolder = s.folder.file(QStringLiteral("Logs"));
    ASSERT_TRUE(WriteEnvironmentFile(s.folders, s.dialogs, nullptr));
    EXPECT_EQ(readBytes(s.ini()), expected);

    // A value the code page cannot hold fails the write after the first lines: the old file stays whole.
    s.folders.ConditionFileName = QStringLiteral("Show\U0001F600.env");
    EXPECT_FALSE(WriteEnvironmentFile(s.folders, s.dialogs, nullptr));
    EXPECT_EQ(readBytes(s.ini()), expected);
    // So does a folder where the file should be.
    QFile::remove(s.ini());
    QDir(s.folder.path()).mkdir(kEnvironmentFileName);
    EXPECT_FALSE(WriteEnvironmentFile(s.folders, s.dialogs, nullptr));
    ASSERT_EQ(s.dialogs.messages().size(), 2u);
    for (const auto& message : s.dialogs.messages())
        EXPECT_TRUE(
            matches(QStringLiteral("^%1が開けません\r\nエラー番号=[1-9][0-9]*$"), s.ini(), message.prompt));
}

TEST(EnvironmentFile, ProgramFolderCp932CannotHoldKeepsTheDataInTheUserFolder) {
    Start s;
    s.folder.addSampleMedia();
    const QString program = s.folder.file(QStringLiteral("josé/"));
    QDir().mkpath(program);
    for (const QString& name : test::sampleMediaNames())
        QFile::rename(s.folder.file(name), program + name);
    s.start(program, s.user.path());
    EXPECT_EQ(s.folders.AppFolder, s.user.path());
    s.expectDefaultShow();
    EXPECT_EQ(QDir(program).count(), test::sampleMediaNames().size() + 2);
    EnvironmentFolders back;
    ReadEnvironmentFile(program, s.user.path(), back, s.dialogs, nullptr);
    EXPECT_EQ(back.DataFolder + back.ConditionFileName + back.HistoryFolder,
              s.folders.DataFolder + s.folders.ConditionFileName + s.folders.HistoryFolder);
    EXPECT_TRUE(s.dialogs.messages().empty());
}

TEST(EnvironmentFile, FoldersNotAbsoluteHereAreReplacedByTheDefaultsOnce) {
    test::ProgramFolder work;
    struct BackHome {
        QString folder = QDir::currentPath();
        ~BackHome() { QDir::setCurrent(folder); }
    } home;
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    Start s;
    const QString app = s.folder.path();
    s.write(kEnvironmentFileName, QStringLiteral("[File]\nDataFilePath=C:\\BINGO\\\nFileName=Show.env\n"
                                                 "HistoryFile=data/History/"));
    s.start(app, s.user.path());
    ASSERT_EQ(s.dialogs.messages().size(), 1u);
    EXPECT_EQ(s.messageLines(0), QStringList({"動作環境ファイルの指定が正しくありません。", s.ini(),
                                              "DataFilePath=C:\\BINGO\\", "HistoryFile=data/History/",
                                              "既定の値に置き換えます。"}));
    EXPECT_EQ(readBytes(s.ini()), test::ansiLines({"[File]", "DataFilePath=" + app, "FileName=Show.env",
                                                   "HistoryFile=" + app + "History/"}));
    EXPECT_TRUE(QFileInfo(app + "Show.env").isFile() && QFileInfo(app + "History").isDir());
    // A file name with a folder in it is no name; the next start has nothing to say.
    s.write(kEnvironmentFileName, "[File]\nDataFilePath=" + app + "\nFileName=C:\\BINGO\\Show.env");
    s.start(app, s.user.path());
    ASSERT_EQ(s.dialogs.messages().size(), 2u);
    EXPECT_EQ(s.messageLines(1)[2], QStringLiteral("FileName=C:\\BINGO\\Show.env"));
    EXPECT_EQ(s.folders.ConditionFileName, QStringLiteral("Halvora.env"));
    s.start(app, s.user.path());
    EXPECT_EQ(s.dialogs.messages().size(), 2u);
    EXPECT_EQ(QDir(work.path()).count(), 2u);
}

} // namespace
} // namespace halvora
