#include "dialogs/kav_help.h"

#include "platform/text_file.h"
#include "support/test_files.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using test::readBytes;
using test::writeBytes;

// The text shows every line with CR LF after it; a missing file is created empty; a file that can be
// neither created nor read shows nothing.
TEST(HelpText, LinesEndWithCrLfAndAMissingFileIsCreated) {
    test::ProgramFolder folder;
    const QString path = folder.file(QStringLiteral("操作説明.txt"));
    const QString threeLines = QStringLiteral("一行目\r\n二行目\r\n三行目\r\n");
    struct Case {
        const char* content; // null: no file
        QString expected;
    };
    const Case cases[] = {
        {"一行目\r\n二行目\r\n三行目\r\n", threeLines},
        {"一行目\r\n二行目\r\n三行目", threeLines},
        {nullptr, QString()},
    };
    for (const Case& c : cases) {
        QFile::remove(path);
        if (c.content)
            writeBytes(path, encodeAnsi(QString::fromUtf8(c.content)));
        EXPECT_EQ(ReadHelpText(path), c.expected) << c.content;
        EXPECT_TRUE(QFileInfo::exists(path));
        EXPECT_EQ(readBytes(path), c.content ? encodeAnsi(QString::fromUtf8(c.content)) : QByteArray());
    }
    // Data kept apart from the program: its own instructions first, else those shipped with it.
    test::ProgramFolder shipped;
    const QString name = QStringLiteral("操作説明.txt");
    EXPECT_EQ(InstructionsFolder(shipped.path(), QString(), name), shipped.path());
    EXPECT_EQ(InstructionsFolder(shipped.path(), folder.path(), name), folder.path());
    writeBytes(shipped.file(name), "own");
    EXPECT_EQ(InstructionsFolder(shipped.path(), folder.path(), name), shipped.path());
    // A folder that is a file cannot hold the instructions.
    EXPECT_EQ(ReadHelpText(path + QStringLiteral("/操作説明.txt")), QString());
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("/操作説明.txt")));
}

} // namespace
} // namespace halvora
