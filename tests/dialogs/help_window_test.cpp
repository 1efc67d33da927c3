#include "dialogs/help_window.h"

#include "platform/text_file.h"
#include "support/test_files.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

// Every line ends with CR LF, the last one too; a missing file is created empty; a file that can be
// neither created nor read shows nothing; instructions shipped apart from the data are found.
TEST(HelpText, LinesEndWithCrLfAndAMissingFileIsCreated) {
    test::ProgramFolder folder, shipped;
    const QString name = u"操作説明.txt"_s, path = folder.file(name);
    const QString three = u"一行目\r\n二行目\r\n三行目"_s;
    for (const QString& content : {three + u"\r\n"_s, three}) {
        test::writeBytes(path, encodeAnsi(content));
        EXPECT_EQ(readHelpText(path), three + u"\r\n"_s);
    }
    EXPECT_EQ(instructionsFolder(shipped.path(), folder.path(), name), folder.path());
    EXPECT_EQ(readHelpText(shipped.file(name)), QString());
    EXPECT_TRUE(QFileInfo(shipped.file(name)).size() == 0 && QFileInfo::exists(shipped.file(name)));
    EXPECT_EQ(instructionsFolder(shipped.path(), folder.path(), name), shipped.path());
    EXPECT_EQ(readHelpText(path + u"/"_s + name), QString()); // a "folder" that is a file
}

} // namespace
} // namespace halvora
