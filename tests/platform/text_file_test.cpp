#include "platform/text_file.h"

#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using M = TextFile::Mode;
using test::readBytes;
using test::writeBytes;

QStringList readAll(const QString& path) {
    TextFile file;
    EXPECT_TRUE(file.open(path, M::Input)) << file.error().description.toStdString();
    QStringList lines;
    QString line;
    while (!file.atEnd() && file.readLine(line))
        lines << line;
    return lines;
}

int openError(const QString& path, M mode) {
    TextFile file;
    EXPECT_FALSE(file.open(path, mode)) << path.toStdString();
    return file.error().number;
}

TEST(TextFile, WritesCp932AndAppends) {
    test::ProgramFolder folder;
    const QString path = folder.file(QStringLiteral("スタート.env"));
    writeBytes(path, "a much longer old content\r\n");
    {
        TextFile file;
        ASSERT_TRUE(file.open(path, M::Output));
        EXPECT_TRUE(file.print(QStringLiteral("スタート1.bmp")));
        EXPECT_TRUE(file.print(QStringLiteral("ﾎﾟ"), false));
        EXPECT_TRUE(file.print(QStringLiteral("①髙")));
        EXPECT_EQ(readBytes(path), "a much longer old content\r\n"); // replaced only when committed
    }                                                                // the destructor commits
    EXPECT_EQ(readBytes(path), "\x83\x58\x83\x5E\x81\x5B\x83\x67"
                               "1.bmp\r\n\xCE\xDF\x87\x40\xFB\xFC\r\n");
    TextFile file;
    ASSERT_TRUE(file.open(path, M::Append));
    EXPECT_TRUE(file.print(QStringLiteral("end")));
    EXPECT_TRUE(file.close());
    EXPECT_EQ(readAll(path), (QStringList{QStringLiteral("スタート1.bmp"), QStringLiteral("ﾎﾟ①髙"), "end"}));
}

TEST(TextFile, LineEnds) {
    test::ProgramFolder folder;
    const QString path = folder.file(QStringLiteral("lines.txt"));
    // CR LF, LF and a lone CR each end a line; a last line without an end is still a line.
    writeBytes(path, "a\r\nb\nc\rde");
    EXPECT_EQ(readAll(path), (QStringList{"a", "b", "c", "de"}));
    // A final CR LF adds no empty line; LF followed by CR is two line ends.
    writeBytes(path, "x\r\n\r\ny\n\rz\r\n");
    EXPECT_EQ(readAll(path), (QStringList{"x", "", "y", "", "z"}));
    // An empty file has no line; reading past the end fails with 62.
    writeBytes(path, "");
    TextFile file;
    ASSERT_TRUE(file.open(path, M::Input));
    QString line;
    EXPECT_TRUE(file.atEnd());
    EXPECT_FALSE(file.readLine(line));
    EXPECT_EQ(file.error().number, FileErrors::InputPastEnd);
}

TEST(TextFile, FailedSaveKeepsOldFile) {
    test::ProgramFolder folder;
    const QString path = folder.file(QStringLiteral("Halvora.env"));
    writeBytes(path, "old\r\n");
    // Text CP932 cannot hold is refused, and the save is dropped by close and by the destructor.
    for (bool explicitClose : {true, false}) {
        TextFile file;
        ASSERT_TRUE(file.open(path, M::Output));
        EXPECT_TRUE(file.print(QStringLiteral("new")));
        EXPECT_FALSE(file.print(QStringLiteral("한국")));
        EXPECT_EQ(file.error().number, FileErrors::InvalidArgument);
        EXPECT_TRUE(!explicitClose || !file.close());
    }
    EXPECT_EQ(readBytes(path), "old\r\n");
    // The folder vanishes before the save is committed.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));
    TextFile file;
    ASSERT_TRUE(file.open(folder.file(QStringLiteral("sub/a.env")), M::Output));
    ASSERT_TRUE(QDir(folder.file(QStringLiteral("sub"))).removeRecursively());
    EXPECT_FALSE(file.close());
    EXPECT_EQ(file.error().number, FileErrors::PathNotFound);
}

TEST(TextFile, OpenErrors) {
    test::ProgramFolder folder;
    writeBytes(folder.file(QStringLiteral("plain")), "x");
    EXPECT_EQ(openError(folder.file(QStringLiteral("none.env")), M::Input), FileErrors::FileNotFound);
    for (M mode : {M::Input, M::Output, M::Append}) {
        // A missing folder, a path through a regular file, a folder where a file is expected.
        EXPECT_EQ(openError(folder.file(QStringLiteral("nodir/a.env")), mode), FileErrors::PathNotFound);
        EXPECT_EQ(openError(folder.file(QStringLiteral("plain/a.env")), mode), FileErrors::PathNotFound);
        EXPECT_EQ(openError(folder.path(), mode), FileErrors::PathFileAccess);
    }
    // Only the texts need CP932, not the path the file is opened by.
    const QString foreign = folder.file(QStringLiteral("한 josé.log"));
    for (M mode : {M::Output, M::Append}) {
        TextFile file;
        EXPECT_TRUE(file.open(foreign, mode) && file.print(QStringLiteral("行")) && file.close());
    }
    EXPECT_EQ(readAll(foreign), QStringList({"行", "行"}));
    EXPECT_EQ(fileError(FileErrors::FileNotFound).description, QStringLiteral("ファイルが見つかりません。"));
}

} // namespace
} // namespace halvora
