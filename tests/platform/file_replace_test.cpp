#include "platform/file_replace.h"

#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvora {
namespace {

using M = TextFile::Mode;
using test::readBytes;
using test::writeBytes;

// One step of a replacement fails as the system would fail it.
class FailingStep {
public:
    enum Step { Write, Sync, Close, Rename };
    FailingStep(Step step, int osError) : saved_(fileSystemCalls()) {
        error_ = osError;
        FileSystemCalls& calls = fileSystemCalls();
        switch (step) {
        case Write:
            calls.write = [](int, const void*, size_t) -> ssize_t { return failed(); };
            break;
        case Sync:
            calls.fdatasync = [](int) { return static_cast<int>(failed()); };
            break;
        case Close: // the descriptor is closed all the same, as the system does
            calls.close = [](int fd) { return ::close(fd) == 0 ? static_cast<int>(failed()) : -1; };
            break;
        case Rename:
            calls.rename = [](const char*, const char*) { return static_cast<int>(failed()); };
            break;
        }
    }
    ~FailingStep() { fileSystemCalls() = saved_; }

private:
    static ssize_t failed() {
        errno = error_;
        return -1;
    }
    static inline int error_ = 0;
    FileSystemCalls saved_;
};

bool save(const QString& path, const QString& text, FileError& error) {
    TextFile file;
    const bool saved = file.open(path, M::Output) && file.print(text) && file.close();
    error = file.error();
    return saved;
}

QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(FileReplacement, EveryFailedStepKeepsTheOldBytesAndSaysWhy) {
    struct Case {
        FailingStep::Step step;
        int osError;
        int number;
    };
    const Case cases[] = {
        {FailingStep::Write, ENOSPC, FileErrors::DiskFull},
        {FailingStep::Write, EIO, FileErrors::DeviceIo},
        {FailingStep::Sync, ENOSPC, FileErrors::DiskFull},
        {FailingStep::Sync, EIO, FileErrors::DeviceIo},
        {FailingStep::Close, ENOSPC, FileErrors::DiskFull},
        {FailingStep::Close, EDQUOT, FileErrors::DiskFull},
        {FailingStep::Rename, EROFS, FileErrors::PermissionDenied},
    };
    for (const Case& c : cases) {
        test::ProgramFolder folder;
        const QString path = folder.file(QStringLiteral("Halvora.game"));
        writeBytes(path, "old bytes\r\n");
        FileError error;
        {
            FailingStep failing(c.step, c.osError);
            EXPECT_FALSE(save(path, QStringLiteral("new"), error)) << c.step;
        }
        EXPECT_EQ(error.number, c.number) << c.step << " " << c.osError;
        EXPECT_EQ(readBytes(path), "old bytes\r\n");
        EXPECT_EQ(leftovers(folder.path()), QStringList{QStringLiteral("Halvora.game")});
    }
}

TEST(FileReplacement, OnlyARegularFileIsReplacedOrAppendedTo) {
    test::ProgramFolder folder;
    const QString target = folder.file(QStringLiteral("elsewhere.txt"));
    writeBytes(target, "theirs");
    const QString link = folder.file(QStringLiteral("link.game"));
    const QString fifo = folder.file(QStringLiteral("fifo.game"));
    const QString dir = folder.file(QStringLiteral("dir.game"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(dir));
    for (const QString& path : {link, fifo, dir, QStringLiteral("/dev/null")}) {
        for (M mode : {M::Output, M::Append}) {
            FileError error;
            TextFile file;
            EXPECT_FALSE(file.open(path, mode) && file.print(QStringLiteral("x")) && file.close())
                << path.toStdString();
            EXPECT_EQ(file.error().number, FileErrors::PathFileAccess) << path.toStdString();
        }
    }
    EXPECT_EQ(readBytes(target), "theirs");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    // A link put in place while the new file was being written is not written through either.
    const QString game = folder.file(QStringLiteral("Halvora.game"));
    TextFile file;
    ASSERT_TRUE(file.open(game, M::Output) && file.print(QStringLiteral("new")));
    ASSERT_TRUE(QFile::link(target, game));
    EXPECT_FALSE(file.close());
    EXPECT_EQ(readBytes(target), "theirs");
    // A replaced file keeps its permissions.
    const QString shared = folder.file(QStringLiteral("shared.env"));
    writeBytes(shared, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0640), 0);
    FileError error;
    ASSERT_TRUE(save(shared, QStringLiteral("new"), error));
    EXPECT_EQ(QFileInfo(shared).permissions() & 0x0777,
              QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup);
}

TEST(FileReplacement, ReadersRefuseWhatIsNoTextFileAtOnce) {
    test::ProgramFolder folder;
    const QString fifo = folder.file(QStringLiteral("Halvora.game"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString huge = folder.file(QStringLiteral("huge.env"));
    QFile sparse(huge);
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(2LL * 1024 * 1024 * 1024));
    sparse.close();
    const struct {
        QString path;
        int number;
    } cases[] = {{fifo, FileErrors::PathFileAccess},
                 {QStringLiteral("/dev/zero"), FileErrors::PathFileAccess},
                 {folder.path(), FileErrors::PathFileAccess},
                 {huge, FileErrors::OutOfMemory}};
    for (const auto& c : cases) {
        TextFile file;
        EXPECT_FALSE(file.open(c.path, M::Input)) << c.path.toStdString();
        EXPECT_EQ(file.error().number, c.number) << c.path.toStdString();
    }
    // A file another editor saved in UTF-8, with or without its mark, reads as written.
    const QString utf8 = folder.file(QStringLiteral("utf8.env"));
    for (const QByteArray& mark : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
        writeBytes(utf8, mark + QStringLiteral("[Picture]\r\n/写真/桜.jpg\r\n").toUtf8());
        TextFile file;
        QString first, second;
        ASSERT_TRUE(file.open(utf8, M::Input) && file.readLine(first) && file.readLine(second));
        EXPECT_TRUE(file.readAsUtf8());
        EXPECT_EQ(first + second, QStringLiteral("[Picture]/写真/桜.jpg"));
    }
}

// A small file system really filled: where the system lets a test mount one.
TEST(FileReplacement, AFullDiskKeepsTheOldFile) {
    QTemporaryDir mountPoint;
    const QByteArray where = QFile::encodeName(mountPoint.path());
    if (::geteuid() != 0 || ::mount("tmpfs", where.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const QString path = mountPoint.path() + QStringLiteral("/Halvora.env");
    writeBytes(path, "[AV]\r\nold.mp3\r\n");
    QFile filler(mountPoint.path() + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    FileError error;
    EXPECT_FALSE(save(path, QString(16 * 1024, QLatin1Char('a')), error));
    EXPECT_EQ(error.number, FileErrors::DiskFull);
    EXPECT_EQ(readBytes(path), "[AV]\r\nold.mp3\r\n");
    ::umount(where.constData());
}

} // namespace
} // namespace halvora
