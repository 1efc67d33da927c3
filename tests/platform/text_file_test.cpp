#include "platform/file_replace.h"
#include "platform/text_file.h"

#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace halvora {
namespace {

using M = TextFile::Mode;
using test::readBytes;
using test::writeBytes;

// Every line, checking that reading past the last one fails as the show's messages report it.
QStringList readAll(const QString& path) {
    TextFile file;
    EXPECT_TRUE(file.open(path, M::Input)) << file.error().description.toStdString();
    QStringList lines;
    QString line;
    while (!file.atEnd() && file.readLine(line))
        lines << line;
    EXPECT_FALSE(file.readLine(line));
    EXPECT_EQ(file.error().number, FileErrors::InputPastEnd);
    return lines;
}

TEST(TextFile, WritesCp932AndAppendsAndReadsEveryLineEndAndUtf8FromOtherEditors) {
    test::ProgramFolder folder;
    const QString path = folder.file(QStringLiteral("スタート.env"));
    writeBytes(path, "a much longer old content\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0); // a replaced file keeps them
    {
        TextFile file;
        ASSERT_TRUE(file.open(path, M::Output));
        EXPECT_TRUE(file.print(QStringLiteral("スタート1.bmp")) && file.print(QStringLiteral("ﾎﾟ"), false) &&
                    file.print(QStringLiteral("①髙")));
        EXPECT_EQ(readBytes(path), "a much longer old content\r\n"); // replaced only when committed
    }                                                                // the destructor commits
    EXPECT_EQ(readBytes(path), "\x83\x58\x83\x5E\x81\x5B\x83\x67"
                               "1.bmp\r\n\xCE\xDF\x87\x40\xFB\xFC\r\n");
    EXPECT_EQ(QFileInfo(path).permissions() & 0x0777,
              QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup);
    TextFile file;
    EXPECT_TRUE(file.open(path, M::Append) && file.print(QStringLiteral("end")) && file.close());
    EXPECT_EQ(readAll(path), (QStringList{QStringLiteral("スタート1.bmp"), QStringLiteral("ﾎﾟ①髙"), "end"}));

    // Reading takes every kind of line end, and UTF-8 that another editor saved.
    const QByteArray utf8 = QStringLiteral("[Picture]\r\n/写真/桜.jpg").toUtf8();
    const struct {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        // CR LF, LF and a lone CR each end a line; a last line without an end is still a line.
        {"a\r\nb\nc\rde", {"a", "b", "c", "de"}},
        // A final CR LF adds no empty line; LF followed by CR is two line ends.
        {"x\r\n\r\ny\n\rz\r\n", {"x", "", "y", "", "z"}},
        {"", {}},
        {utf8, {"[Picture]", "/写真/桜.jpg"}},
        {"\xEF\xBB\xBF" + utf8, {"[Picture]", "/写真/桜.jpg"}},
    };
    const QString lines = folder.file(QStringLiteral("lines.env"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        writeBytes(lines, c.bytes);
        EXPECT_EQ(readAll(lines), c.lines);
    }
}

// Only a regular file is read, replaced or appended to, never a link to another file; a file far too
// large is not read at all.
TEST(TextFile, RefusesAtOnceWhatIsNoRegularFile) {
    test::ProgramFolder folder;
    const QString theirs = folder.file(QStringLiteral("elsewhere.txt"));
    const QString link = folder.file(QStringLiteral("link.game"));
    const QString fifo = folder.file(QStringLiteral("fifo.game"));
    const QString huge = folder.file(QStringLiteral("huge.env"));
    writeBytes(theirs, "theirs");
    writeBytes(folder.file(QStringLiteral("plain")), "x");
    ASSERT_TRUE(QFile::link(theirs, link));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile sparse(huge);
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(2LL * 1024 * 1024 * 1024));
    sparse.close();
    using namespace FileErrors;
    const struct {
        QString path;
        int input, output; // the error number opening for input, for output and append; 0: it works
    } cases[] = {
        {folder.file(QStringLiteral("none.env")), FileNotFound, 0},
        {folder.file(QStringLiteral("nodir/a.env")), PathNotFound, PathNotFound},
        {folder.file(QStringLiteral("plain/a.env")), PathNotFound, PathNotFound},
        {folder.path(), PathFileAccess, PathFileAccess},
        {fifo, PathFileAccess, PathFileAccess},
        {link, 0, PathFileAccess},
        {huge, OutOfMemory, 0},
    };
    for (const auto& c : cases) {
        for (M mode : {M::Input, M::Output, M::Append}) {
            SCOPED_TRACE(c.path.toStdString() + " mode " + std::to_string(static_cast<int>(mode)));
            TextFile file;
            const bool done = file.open(c.path, mode) &&
                              (mode == M::Input || (file.print(QStringLiteral("x")) && file.close()));
            EXPECT_EQ(done ? 0 : file.error().number, mode == M::Input ? c.input : c.output);
        }
    }
    // Nor through a link put in place while the new file was being written.
    const QString game = folder.file(QStringLiteral("Halvora.game"));
    TextFile file;
    ASSERT_TRUE(file.open(game, M::Output) && file.print(QStringLiteral("new")));
    ASSERT_TRUE(QFile::link(theirs, game));
    EXPECT_FALSE(file.close());
    EXPECT_EQ(readBytes(theirs), "theirs");
}

int injectedError = 0;
// A system call failing as the system fails it.
template <typename R, typename... Args> R failing(Args...) {
    errno = injectedError;
    return -1;
}

TEST(FileReplacement, EveryFailedStepKeepsTheOldBytesAndSaysWhy) {
    const struct {
        const char* step;
        void (*fail)(FileSystemCalls&);
        int osError;
        int number;
    } cases[] = {
        {"write", [](FileSystemCalls& c) { c.write = failing; }, ENOSPC, FileErrors::DiskFull},
        {"write", [](FileSystemCalls& c) { c.write = failing; }, EIO, FileErrors::DeviceIo},
        {"sync", [](FileSystemCalls& c) { c.fdatasync = failing; }, ENOSPC, FileErrors::DiskFull},
        // The descriptor is closed all the same, as the system does.
        {"close",
         [](FileSystemCalls& c) { c.close = [](int fd) { return ::close(fd) == 0 ? failing<int>() : -1; }; },
         EDQUOT, FileErrors::DiskFull},
        {"rename", [](FileSystemCalls& c) { c.rename = failing; }, EROFS, FileErrors::PermissionDenied},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.step) + " " + std::strerror(c.osError));
        test::ProgramFolder folder;
        const QString path = folder.file(QStringLiteral("Halvora.game"));
        writeBytes(path, "old bytes\r\n");
        const FileSystemCalls real = fileSystemCalls();
        injectedError = c.osError;
        c.fail(fileSystemCalls());
        TextFile file;
        EXPECT_FALSE(file.open(path, M::Output) && file.print(QStringLiteral("new")) && file.close());
        fileSystemCalls() = real;
        EXPECT_EQ(file.error().number, c.number);
        EXPECT_EQ(readBytes(path), "old bytes\r\n");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
                  QStringList{QStringLiteral("Halvora.game")});
    }
}

} // namespace
} // namespace halvora
