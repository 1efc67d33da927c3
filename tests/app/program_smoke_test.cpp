#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace halvora {
namespace {

// The built program, copied into a fresh program folder beside our sample media, as a user installs it.
struct InstalledProgram {
    test::ProgramFolder folder;
    test::ProgramFolder work; // the folder it is started from

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
        process.setWorkingDirectory(work.path());
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
};

TEST(Program, StartsInItsOwnFolderAndClosesFromTheIdleWindow) {
    InstalledProgram p;
    ASSERT_TRUE(p.runUntilIdle());

    // The first start lays out the folder beside the program, not the folder it was started from.
    auto read = [&p](const char* name) { return test::readBytes(p.folder.file(QString::fromLatin1(name))); };
    const QByteArray ini = read("Halvora.ini"), show = read("Halvora.env");
    EXPECT_TRUE(ini.startsWith("[File]\r\n") && show.startsWith("[AV]\r\n"));
    EXPECT_TRUE(QDir(p.work.path()).isEmpty());

    // A later start reads the files and writes nothing.
    ASSERT_TRUE(p.runUntilIdle());
    EXPECT_EQ(read("Halvora.ini"), ini);
    EXPECT_EQ(read("Halvora.env"), show);
}

} // namespace
} // namespace halvora
