#include "platform/qt_printer.h"

#include "support/test_files.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>

#include <gtest/gtest.h>

namespace halvora::test {
namespace {

QProgressDialog* progressDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(widget))
            return progress;
    return nullptr;
}

// A PDF job that does not end well leaves the folder as it was.
TEST(QtPrinterTest, AbandonedOrFailedPdfLeavesNoFile) {
    ProgramFolder folder;
    const QString pdf = folder.file(QStringLiteral("cards.pdf"));
    writeBytes(pdf, "earlier cards");

    // Cancel on the progress of a long job, then the job is killed.
    QtPrinter printer;
    printer.setOutputFile(pdf);
    printer.setPageCount(3);
    printer.drawBox(20, 20, 20, 20, 0);
    printer.newPage();
    EXPECT_FALSE(printer.cancelled());
    ASSERT_NE(progressDialog(), nullptr);
    progressDialog()->cancel();
    EXPECT_TRUE(printer.cancelled());
    printer.killDoc();
    EXPECT_EQ(progressDialog(), nullptr);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("cards.pdf")});
    EXPECT_EQ(readBytes(pdf), QByteArray("earlier cards"));

    // A folder that does not exist: the job fails and the next one starts afresh.
    printer.setOutputFile(folder.file(QStringLiteral("missing/cards.pdf")));
    printer.drawBox(20, 20, 20, 20, 0);
    EXPECT_FALSE(printer.endDoc());
    printer.setOutputFile(pdf);
    printer.drawBox(20, 20, 20, 20, 0);
    EXPECT_TRUE(printer.endDoc());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("cards.pdf")});
    EXPECT_TRUE(readBytes(pdf).startsWith("%PDF"));
}

} // namespace
} // namespace halvora::test
