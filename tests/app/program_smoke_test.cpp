#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

// The built program, copied into a fresh program folder beside our sample media as a user installs it,
// started from another folder; it closes its window as soon as it is idle. The first start lays out the
// folder beside the program, not the one it was started from; a later start reads the files and writes
// nothing.
TEST(Program, StartsInItsOwnFolderAndClosesFromTheIdleWindow) {
    test::ProgramFolder folder, work;
    ASSERT_TRUE(QFile::copy(QStringLiteral(HALVORA_EXECUTABLE), folder.file(u"halvora"_s)));
    folder.addSampleMedia();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    env.insert(u"HALVORA_QUIT_WHEN_IDLE"_s, u"1"_s);
    auto files = [&folder] {
        return test::readBytes(folder.file(u"Halvora.ini"_s)) + '|' +
               test::readBytes(folder.file(u"Halvora.env"_s));
    };
    QByteArray first;
    for (int start = 1; start <= 2; ++start) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(work.path());
        process.start(folder.file(u"halvora"_s), {});
        ASSERT_TRUE(process.waitForStarted(30000) && process.waitForFinished(60000))
            << "the program did not end: " << process.errorString().toStdString();
        EXPECT_EQ(process.readAllStandardOutput(), QByteArray());
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        if (start == 1)
            first = files();
        EXPECT_TRUE(first.startsWith("[File]\r\n") && first.contains("|[AV]\r\n"));
        EXPECT_EQ(files(), first);
        EXPECT_TRUE(QDir(work.path()).isEmpty());
    }
}

} // namespace
} // namespace halvora
