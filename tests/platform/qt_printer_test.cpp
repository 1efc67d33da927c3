#include "platform/qt_printer.h"

#include "platform/printer_lookup.h"

#include "support/test_files.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace halvora::test {
namespace {

// The print system's lookup runs beside the show: a print server that takes the connection and never
// says a word, as a stopped one does, counts as none, and the roulette's timer keeps turning meanwhile.
TEST(PrinterLookup, APrintServerThatDoesNotAnswerCountsAsNoneAndTheShowGoesOn) {
    ProgramFolder folder;
    const QByteArray socketPath = QFile::encodeName(folder.file(QStringLiteral("cups.sock")));
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), static_cast<qsizetype>(sizeof address.sun_path));
    std::memcpy(address.sun_path, socketPath.constData(), static_cast<std::size_t>(socketPath.size()));
    ASSERT_TRUE(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                ::listen(server, 8) == 0);
    qputenv("CUPS_SERVER", socketPath);
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    int ticks = 0;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&ticks] { ++ticks; });
    turn.start(20);
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(lookUpDefaultPrinter(500), std::nullopt);
    EXPECT_LT(waited.elapsed(), 2000);
    EXPECT_GE(ticks, 10);
    // The job then goes into a PDF without asking the silent print system again.
    QtPrinter printer;
    printer.setOutputFile(folder.file(QStringLiteral("cards.pdf")));
    printer.printText(QStringLiteral("ビンゴカード"));
    waited.restart();
    EXPECT_TRUE(printer.endDoc());
    EXPECT_LT(waited.elapsed(), 2000);
    // No print server at all answers at once: no printer.
    qputenv("CUPS_SERVER", QFile::encodeName(folder.file(QStringLiteral("none.sock"))));
    waited.restart();
    EXPECT_EQ(lookUpDefaultPrinter(5000), std::optional<QString>(QString()));
    EXPECT_LT(waited.elapsed(), 4000);
    qunsetenv("CUPS_SERVER");
    ::close(server);
}

// A PDF job that does not end well leaves the folder as it was; the next job starts afresh.
TEST(QtPrinterTest, AbandonedOrFailedPdfLeavesNoFile) {
    ProgramFolder folder;
    const QString pdf = folder.file(QStringLiteral("cards.pdf"));
    writeBytes(pdf, "earlier cards");
    // Cancel on the progress of a long job (shown after a second), then the job is killed.
    QtPrinter printer;
    printer.setOutputFile(pdf);
    printer.setPageCount(3);
    printer.drawBox(20, 20, 20, 20);
    EXPECT_FALSE(printer.cancelled());
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(widget))
            progress->cancel();
    EXPECT_TRUE(printer.cancelled());
    printer.killDoc();
    EXPECT_EQ(readBytes(pdf), QByteArray("earlier cards"));
    // A folder that does not exist fails the job.
    printer.setOutputFile(folder.file(QStringLiteral("missing/cards.pdf")));
    printer.drawBox(20, 20, 20, 20);
    EXPECT_FALSE(printer.endDoc());
    printer.setOutputFile(pdf);
    printer.drawBox(20, 20, 20, 20);
    EXPECT_TRUE(printer.endDoc());
    EXPECT_TRUE(readBytes(pdf).startsWith("%PDF"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"cards.pdf"});
}

// A picture of a window goes into the PDF as an image, on A4 landscape, titled by the document name.
TEST(QtPrinterTest, ImageGoesIntoThePdf) {
    ProgramFolder folder;
    const QString pdf = folder.file(QStringLiteral("画面.pdf"));
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    QtPrinter printer;
    printer.setOutputFile(pdf);
    printer.setOrientation(2);
    printer.setDocumentName(QStringLiteral("画面"));
    printer.drawImage(10, 10, 277, 138.5, image);
    ASSERT_TRUE(printer.endDoc());
    EXPECT_TRUE(readBytes(pdf).contains("/Subtype /Image"));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished());
    const QString said = QString::fromUtf8(info.readAllStandardOutput()).simplified();
    EXPECT_TRUE(said.contains(QStringLiteral("Title: 画面 ")) &&
                said.contains(QStringLiteral("Page size: 842 x 595 pts")))
        << said.toStdString();
}

} // namespace
} // namespace halvora::test
