#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace halvora {
namespace {

// The built program, copied into a fresh program folder beside our sample media, as a user installs it.
struct InstalledProgram {
    test::ProgramFolder folder;

    InstalledProgram() {
        EXPECT_TRUE(QFile::copy(QStringLiteral(HALVORA_EXECUTABLE), program()));
        folder.addSampleMedia();
    }
    QString program() const { return folder.file(QStringLiteral("halvora")); }

    // Starts the program, which closes its window as soon as it is idle; true when it ended well.
    bool runUntilIdle() const {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HALVORA_QUIT_WHEN_IDLE"), QStringLiteral("1"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QDir::tempPath());
        process.start(program(), {});
        if (!process.waitForStarted(30000) || !process.waitForFinished(60000)) {
            ADD_FAILURE() << "the program did not end: " << process.errorString().toStdString();
            process.kill();
            process.waitForFinished();
            return false;
        }
        EXPECT_EQ(process.readAllStandardOutput(), QByteArray());
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    QStringList entries(const QString& sub = {}) const {
        return QDir(folder.file(sub)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
};

TEST(Program, StartsInItsOwnFolderAndClosesFromTheIdleWindow) {
    InstalledProgram p;
    ASSERT_TRUE(p.runUntilIdle());

    // The first start lays out the folder beside the program, not the folder it was started from.
    EXPECT_EQ(p.entries(), (QStringList{"Halvora.env", "Halvora.ini", "History", "Sample", "halvora"}));
    QStringList media = test::sampleMediaNames();
    media.sort();
    EXPECT_EQ(p.entries(QStringLiteral("Sample")), media);
    EXPECT_TRUE(p.entries(QStringLiteral("History")).isEmpty());
    const QString app = p.folder.path();
    const QByteArray ini = test::readBytes(p.folder.file(QStringLiteral("Halvora.ini")));
    EXPECT_EQ(ini, test::ansiLines({"[File]", "DataFilePath=" + app, "FileName=Halvora.env",
                                    "HistoryFile=" + app + "History/"}));
    const QByteArray show = test::readBytes(p.folder.file(QStringLiteral("Halvora.env")));
    EXPECT_TRUE(show.startsWith("[AV]\r\n" + QFile::encodeName(app) + "Sample/spm1.mp3\t0\t4\r\n"));

    // A later start reads the files and writes nothing.
    ASSERT_TRUE(p.runUntilIdle());
    EXPECT_EQ(test::readBytes(p.folder.file(QStringLiteral("Halvora.ini"))), ini);
    EXPECT_EQ(test::readBytes(p.folder.file(QStringLiteral("Halvora.env"))), show);
    EXPECT_EQ(p.entries().size(), 5);
}

} // namespace
} // namespace halvora
