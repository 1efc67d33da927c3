#include "dialogs/help_window.h"

#include "platform/text_file.h"
#include "support/test_files.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace halvora {
namespace {

// Every line ends with CR LF, the last one too; a missing file is created empty; a file that can be
// neither created nor read shows nothing; instructions shipped apart from the data are found.
TEST(HelpText, LinesEndWithCrLfAndAMissingFileIsCreated) {
    test::ProgramFolder folder, shipped;
    const QString name = QStringLiteral("操作説明.txt"), path = folder.file(name);
    const QString three = QStringLiteral("一行目\r\n二行目\r\n三行目");
    for (const QString& content : {three + QStringLiteral("\r\n"), three}) {
        test::writeBytes(path, encodeAnsi(content));
        EXPECT_EQ(readHelpText(path), three + QStringLiteral("\r\n"));
    }
    EXPECT_EQ(instructionsFolder(shipped.path(), folder.path(), name), folder.path());
    EXPECT_EQ(readHelpText(shipped.file(name)), QString());
    EXPECT_TRUE(QFileInfo(shipped.file(name)).size() == 0 && QFileInfo::exists(shipped.file(name)));
    EXPECT_EQ(instructionsFolder(shipped.path(), folder.path(), name), shipped.path());
    EXPECT_EQ(readHelpText(path + QStringLiteral("/") + name), QString()); // a "folder" that is a file
}

} // namespace
} // namespace halvora
