#include "platform/qt_printer.h"

#include "platform/printer_lookup.h"

#include "support/test_files.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace halvora::test {
namespace {

// A print server that takes the connection and never says a word, as a stopped one does.
class SilentPrintServer {
public:
    explicit SilentPrintServer(const QString& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::memcpy(address.sun_path, name.constData(),
                    std::min<std::size_t>(name.size(), sizeof address.sun_path - 1));
        listening_ =
            ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd_, 8) == 0;
    }
    ~SilentPrintServer() { ::close(fd_); }
    bool listening() const { return listening_; }

private:
    int fd_;
    bool listening_ = false;
};

TEST(PrinterLookup, APrintServerThatDoesNotAnswerCountsAsNoneAndTheShowGoesOn) {
    ProgramFolder folder;
    const QString socket = folder.file(QStringLiteral("cups.sock"));
    SilentPrintServer server(socket);
    ASSERT_TRUE(server.listening());
    qputenv("CUPS_SERVER", QFile::encodeName(socket));
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    int ticks = 0;
    QTimer turn; // the roulette's timer, as a turn runs it
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
}

// A PDF job that does not end well leaves the folder as it was.
TEST(QtPrinterTest, AbandonedOrFailedPdfLeavesNoFile) {
    ProgramFolder folder;
    const QString pdf = folder.file(QStringLiteral("cards.pdf"));
    writeBytes(pdf, "earlier cards");
    auto onlyThePdf = [&] { return QDir(folder.path()).entryList(QDir::Files) == QStringList{"cards.pdf"}; };

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
    EXPECT_TRUE(onlyThePdf());
    EXPECT_EQ(readBytes(pdf), QByteArray("earlier cards"));

    // A folder that does not exist fails the job; the next job starts afresh.
    printer.setOutputFile(folder.file(QStringLiteral("missing/cards.pdf")));
    printer.drawBox(20, 20, 20, 20);
    EXPECT_FALSE(printer.endDoc());
    printer.setOutputFile(pdf);
    printer.drawBox(20, 20, 20, 20);
    EXPECT_TRUE(printer.endDoc());
    EXPECT_TRUE(onlyThePdf() && readBytes(pdf).startsWith("%PDF"));
}

// An image of a window goes into the PDF as a picture.
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
    QProcess info; // the job's name is the document's title
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished());
    const QString said = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(said.contains(
        QRegularExpression(QStringLiteral("^Title: +画面$"), QRegularExpression::MultilineOption)))
        << said.toStdString();
    EXPECT_TRUE(said.contains(QRegularExpression(QStringLiteral("^Page size: +842 x 595 pts"),
                                                 QRegularExpression::MultilineOption)))
        << said.toStdString(); // A4 landscape
}

} // namespace
} // namespace halvora::test
