#include "platform/instance_lock.h"

#include "support/test_files.h"

#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>

#include <gtest/gtest.h>

namespace halvora::test {
namespace {

TEST(InstanceLock, OneHolderPerFolderWhichALaterStartBringsToTheFront) {
    ProgramFolder folder;
    InstanceLock first, second;
    ASSERT_TRUE(first.acquire(folder.path()));
    QSignalSpy front(&first, &InstanceLock::frontRequested);
    // A second start in the folder, by whatever path it reaches it, is refused and asks for the first.
    EXPECT_FALSE(second.acquire(folder.path() + QStringLiteral("./")));
    ASSERT_TRUE(front.wait(5000));
    // Once the first lets go, the folder is free again.
    first.release();
    EXPECT_TRUE(second.acquire(folder.path()));
}

TEST(InstanceLock, ALockNobodyHoldsAnyMoreHoldsNothing) {
    QProcess ended; // a process id that no longer runs, as after a crash or kill -9
    ended.start(QStringLiteral("true"), {});
    ASSERT_TRUE(ended.waitForStarted());
    const QByteArray endedPid = QByteArray::number(ended.processId());
    ASSERT_TRUE(ended.waitForFinished());
    const struct {
        const char* why;
        QByteArray lock;
    } cases[] = {
        {"its program ended", endedPid + "\nhalvora\n" + QSysInfo::machineHostName().toUtf8() + "\n"},
        {"it came along with a folder copied from another computer", "1\nhalvora\nanother-computer\n"},
        {"it is unreadable", "garbage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ProgramFolder folder;
        writeBytes(folder.file(QStringLiteral(".halvora.lock")), c.lock);
        InstanceLock lock, second;
        EXPECT_TRUE(lock.acquire(folder.path()));
        EXPECT_FALSE(second.acquire(folder.path()));
    }
}

} // namespace
} // namespace halvora::test
