#include "platform/clock.h"
#include "platform/descriptors.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/instance_lock.h"
#include "platform/printer_lookup.h"
#include "platform/qt_printer.h"
#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace halvora {
namespace {

using test::ProgramFolder;
using test::readBytes;
using test::writeBytes;

// Acts on the first visible top-level dialog of type T once the modal loop runs.
template <typename T> void whenShown(std::function<void(T&)> act) {
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible())
                return act(*dialog);
        ADD_FAILURE() << "no dialog was shown";
    });
}

TEST(QtDialogs, MessageBoxesAndFileDialogsAskAndAnswerAsConfigured) {
    using B = QMessageBox;
    using K = MessageKind;
    const QString yesNo = QStringLiteral("いいえ(&N)|はい(&Y)"), ok = QStringLiteral("OK");
    const Qt::Key enter = Qt::Key_Return, esc = Qt::Key_Escape;
    const struct {
        const char *prompt, *title;
        MessageKind kind;
        Qt::Key key;
        Answer result;
        B::Icon icon;
        QString buttons;
    } cases[] = {
        // The exit question has いいえ as default, so Enter answers No; applying colours has はい.
        {"終了しますか。", "操作確認", K::QuestionDefaultNo, enter, Answer::No, B::Question, yesNo},
        {"指定条件を適用しますか？", "操作確認", K::Question, enter, Answer::Yes, B::Question, yesNo},
        {"q", nullptr, K::Question, esc, Answer::No, B::Question, yesNo},
        // A failure message: OK only, no icon, program title, CR LF shown as line breaks.
        {"一行目\r\n二行目", nullptr, K::Plain, esc, Answer::Ok, B::NoIcon, ok},
        {"e", nullptr, K::Critical, enter, Answer::Ok, B::Critical, ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prompt);
        const QString prompt = QString::fromUtf8(c.prompt), title = QString::fromUtf8(c.title);
        QStringList seen; // title, text, icon, buttons (sorted)
        whenShown<QMessageBox>([&](QMessageBox& box) {
            QStringList buttons;
            for (QAbstractButton* button : box.buttons())
                buttons << button->text();
            buttons.sort();
            seen = {box.windowTitle(), box.text(), QString::number(box.icon()), buttons.join(u'|')};
            QTest::keyClick(&box, c.key);
        });
        EXPECT_EQ(QtDialogs().messageBox(nullptr, prompt, c.kind, title), c.result);
        EXPECT_EQ(seen, QStringList({c.title ? title : kProgramTitle, QString(prompt).replace("\r\n", "\n"),
                                     QString::number(c.icon), c.buttons}));
    }

    // The save dialog opens in the given folder with the given name, shows the filter as the program
    // words it, and adds the extension to the name chosen. The open dialog lets several files be chosen.
    ProgramFolder root;
    const QString folder = root.file(QStringLiteral("ビンゴ 資料/"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const FileDialogOptions save{.title = QStringLiteral("名前を付けて保存"), .folder = folder,
                                 .name = QStringLiteral("新しい"),
                                 .filters = {{"bingo条件設定ファイル(*.ENV)", "*.env"}, {"すべてのファイル(*.*)", "*.*"}},
                                 .confirmReplace = true, .defaultExtension = QStringLiteral("env")};
    QStringList seen;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* type = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_TRUE(name && type);
        seen = {dialog.windowTitle(), dialog.directory().path() + u'/', name->text(), type->currentText()};
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_EQ(QtDialogs().saveFile(save), folder + QStringLiteral("新しい.env"));
    EXPECT_EQ(seen, QStringList({save.title, folder, "新しい", "bingo条件設定ファイル(*.ENV)"}));

    FileDialogOptions open;
    open.folder = folder;
    open.mustExist = open.severalFiles = true;
    whenShown<QFileDialog>([](QFileDialog& dialog) {
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
        dialog.reject();
    });
    EXPECT_TRUE(QtDialogs().openFiles(open).isEmpty());
}

// Started with standard input closed, the program's first opened file would otherwise get descriptor 0.
TEST(Process, ClosedStandardInputIsReopenedOnTheNullDevice) {
    const int saved = dup(0);
    ASSERT_GE(saved, 0);
    close(0);
    keepStandardDescriptorsOpen();
    struct stat input {
    }, null{};
    const bool open = fstat(0, &input) == 0;
    dup2(saved, 0);
    close(saved);
    ASSERT_TRUE(open && stat("/dev/null", &null) == 0);
    EXPECT_EQ(input.st_rdev, null.st_rdev);
}

// The application quits during a long wait, inside its main loop: that wait ends then, and every
// wait after it ends at once, so closing the window during a turn never hangs the program.
TEST(QtEventPump, WaitsEndWhenTheApplicationQuits) {
    SystemClock clock;
    QtEventPump pump(clock);
    qint64 quitWaitMs = -1, laterWaitsMs = -1;
    QTimer::singleShot(0, qApp, [&] {
        QTimer::singleShot(50, qApp, [] { QCoreApplication::exit(0); });
        QTimer::singleShot(15000, qApp, [] {}); // so a wait that never ends cannot hang the test
        QElapsedTimer elapsed;
        elapsed.start();
        pump.waitUntil(clock.now().addSecs(10));
        quitWaitMs = elapsed.restart();
        pump.waitForEvents();
        pump.waitUntil(clock.now().addSecs(10));
        waitSeconds(10, clock, pump);
        laterWaitsMs = elapsed.elapsed();
    });
    QApplication::exec();
    EXPECT_TRUE(pump.quitting());
    EXPECT_GE(quitWaitMs, 40); // the wait blocked, running events, until the quit
    EXPECT_LT(quitWaitMs, 1000);
    EXPECT_LT(laterWaitsMs, 1000);
}

// A wait of whole seconds ends at a change of the second: the first change counts however soon it
// comes, and midnight is a change like any other.
TEST(waitSeconds, EndsAtAChangeOfTheSecond) {
    const auto at = [](const char* time) {
        return QDateTime::fromString(QStringLiteral("2011-09-") + QLatin1String(time), Qt::ISODateWithMs);
    };
    for (const auto& [start, end] :
         {std::pair("26T10:00:00.999", "26T10:00:03.000"), std::pair("26T23:59:59.500", "27T00:00:02.000")}) {
        test::VirtualTime time(at(start));
        waitSeconds(2, time, time);
        EXPECT_EQ(time.now(), at(end)) << start;
    }
}

TEST(InstanceLock, OneHolderPerFolderWhichALaterStartBringsToTheFrontAndAStaleLockHoldsNothing) {
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

    // A lock no running program answers for holds nothing, whatever it says (a crashed program's, one
    // that came along with a folder copied from another computer, an unreadable one): the start that
    // finds it holds the folder then.
    for (const QByteArray& lock : {QByteArray("1\nhalvora\nanother-computer\n"), QByteArray("garbage")}) {
        ProgramFolder folder;
        writeBytes(folder.file(QStringLiteral(".halvora.lock")), lock);
        InstanceLock stale, second;
        EXPECT_TRUE(stale.acquire(folder.path())) << lock.constData();
        EXPECT_FALSE(second.acquire(folder.path()));
    }
}

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
    // No print server at all: no printer.
    qputenv("CUPS_SERVER", QFile::encodeName(folder.file(QStringLiteral("none.sock"))));
    EXPECT_EQ(lookUpDefaultPrinter(5000), std::optional<QString>(QString()));
    qunsetenv("CUPS_SERVER");
    ::close(server);
}

// A PDF job that does not end well leaves the folder as it was; the next job starts afresh.
TEST(QtPrinterTest, AbandonedOrFailedPdfLeavesNoFileAndAnImageGoesIntoThePdf) {
    ProgramFolder folder;
    const QString pdf = folder.file(QStringLiteral("cards.pdf"));
    writeBytes(pdf, "earlier cards");
    // Cancel on the progress of a long job (shown after a second), then the job is killed.
    QtPrinter printer;
    printer.setOutputFile(pdf);
    printer.setPageCount(3);
    printer.drawBox(20, 20, 20, 20);
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(widget))
            progress->cancel();
    EXPECT_TRUE(printer.cancelled());
    printer.killDoc();
    EXPECT_EQ(readBytes(pdf), QByteArray("earlier cards"));
    printer.setOutputFile(folder.file(QStringLiteral("missing/cards.pdf")));
    printer.drawBox(20, 20, 20, 20);
    EXPECT_FALSE(printer.endDoc());
    printer.setOutputFile(pdf);
    printer.drawBox(20, 20, 20, 20);
    EXPECT_TRUE(printer.endDoc());
    EXPECT_TRUE(readBytes(pdf).startsWith("%PDF"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"cards.pdf"});

    // A picture of a window goes into the PDF as an image, on A4 landscape.
    const QString shot = folder.file(QStringLiteral("画面.pdf"));
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    QtPrinter landscape;
    landscape.setOutputFile(shot);
    landscape.setOrientation(2);
    landscape.drawImage(10, 10, 277, 138.5, image);
    ASSERT_TRUE(landscape.endDoc());
    EXPECT_TRUE(readBytes(shot).contains("/Subtype /Image"));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {shot});
    ASSERT_TRUE(info.waitForFinished());
    const QString said = QString::fromUtf8(info.readAllStandardOutput()).simplified();
    EXPECT_TRUE(said.contains(QStringLiteral("Page size: 842 x 595 pts"))) << said.toStdString();
}

} // namespace
} // namespace halvora
