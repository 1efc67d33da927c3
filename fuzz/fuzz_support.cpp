#include "fuzz_support.h"

#include "platform/colours.h"
#include "settings/condition_file.h"
#include "settings/environment_file.h"
#include "game/game_file.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace halvora::fuzz {

namespace {

// The fuzzer's own folder; plain storage so that it outlives every static object.
char fuzzRoot[PATH_MAX] = {};

QString rootFolder() {
    return QFile::decodeName(fuzzRoot);
}

bool insideRoot(const char* path) {
    if (fuzzRoot[0] == '\0')
        return true; // the application starting up, before any input
    const QString root = rootFolder();
    const QString clean = QDir::cleanPath(QDir::current().absoluteFilePath(QFile::decodeName(path)));
    return clean == root || clean.startsWith(root + QLatin1Char('/'));
}

// The files the program writes itself: a default and a full condition file, and Halvora.ini.
void writeSeeds(const QString& seeds) {
    const QString app = rootFolder() + QStringLiteral("/app/");
    QDir().mkpath(app);
    writeDefaultConditionFile(seeds + QStringLiteral("/default.env"), app);

    AnswerAtOnce dialogs;
    Options options;
    options.participants = QStringLiteral("30");
    options.av = true;
    options.hitCount = 1;
    options.drawTime = 2;
    AvList av;
    av.count = 2;
    av.files[1] = app + QStringLiteral("Sample/spm1.mp3");
    av.playSeconds[1] = 4;
    av.files[2] = app + QStringLiteral("音楽/曲 2.mp3");
    av.starts[2] = 1500;
    av.playSeconds[2] = -1;
    PictureList pictures;
    pictures.count = 1;
    pictures.files[1] = app + QStringLiteral("Sample/SPG1.jpg");
    IconList icons;
    icons.count = 1;
    icons.files[1] = app + QStringLiteral("Sample/スタート1.bmp");
    ScreenColours colours;
    for (int row = 0; row < 5; ++row) {
        colours.backColours[static_cast<std::size_t>(row)] = colourText(64 * row, 255 - row, 128);
        colours.foreColours[static_cast<std::size_t>(row)] = QString::number(-2147483648LL + 8 + row);
    }
    ConditionFile(dialogs, nullptr, av, pictures, icons, colours, options)
        .writeConditionFile(seeds + QStringLiteral("/show.env"));

    SavedGame game;
    game.drawCount = 2;
    game.drawn[7] = game.drawn[64] = game.latest[64] = true;
    game.counter = game.expectedWinners = QStringLiteral("2");
    game.participants = QStringLiteral("１２０");
    game.panel = QStringLiteral("64");
    game.historyLog = kGameHistoryFolder + QStringLiteral("261207.log");
    FileError error;
    writeGameFile(seeds + QStringLiteral("/") + kGameFileName, game, error);

    EnvironmentFolders folders;
    folders.appFolder = folders.dataFolder = app;
    folders.conditionFileName = QStringLiteral("show.env");
    folders.historyFolder = app + QStringLiteral("History/");
    folders.audienceScreen = QStringLiteral("HDMI-1");
    folders.cardStyle = 1;
    writeEnvironmentFile(folders, dialogs, nullptr);
    QFile::copy(app + kEnvironmentFileName, seeds + QLatin1Char('/') + kEnvironmentFileName);
}

// Qt's warnings about odd file names are expected here and would only slow the fuzzer down.
void keepSevereMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

Answer AnswerAtOnce::messageBox(QWidget*, const QString&, MessageKind kind, const QString&) {
    return kind == MessageKind::Question            ? Answer::Yes
           : kind == MessageKind::QuestionDefaultNo ? Answer::No
                                                    : Answer::Ok;
}

Sandbox::Sandbox() : dir_(rootFolder() + QStringLiteral("/input-XXXXXX")) {
    if (!dir_.isValid())
        std::abort(); // the fuzzer itself cannot work
}

QString Sandbox::folder() const {
    return dir_.path() + QLatin1Char('/');
}

QString Sandbox::write(const QString& name, const std::uint8_t* data, std::size_t size) const {
    const QString path = folder() + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
        std::abort();
    return path;
}

} // namespace halvora::fuzz

// An input may name any folder, and the readers create the folders they are given: outside the
// fuzzer's own folder that is refused, as a folder without permission would be.
extern "C" int mkdir(const char* path, mode_t mode) noexcept {
    if (!halvora::fuzz::insideRoot(path)) {
        errno = EACCES;
        return -1;
    }
    return ::mkdirat(AT_FDCWD, path, mode);
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    using namespace halvora::fuzz;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "halvora-fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    Q_UNUSED(application);
    qInstallMessageHandler(keepSevereMessages);
    std::setlocale(LC_NUMERIC, "C");

    // Memory rather than disk where there is one: each input creates and removes a folder.
    const QString parent = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                              : QDir::tempPath();
    static QTemporaryDir root(parent + QStringLiteral("/halvora-fuzz-XXXXXX"));
    const QByteArray rootPath = QFile::encodeName(root.path());
    if (!root.isValid() || rootPath.size() >= PATH_MAX)
        std::abort();
    std::memcpy(fuzzRoot, rootPath.constData(), static_cast<std::size_t>(rootPath.size()));
    if (const QString seeds = qEnvironmentVariable("HALVORA_FUZZ_SEEDS"); !seeds.isEmpty())
        writeSeeds(seeds);
    return 0;
}
