// Time from starting the real program to its idle main window, on a first and on a later start.
// The program closes its window as soon as its event loop is idle (HALVORA_QUIT_WHEN_IDLE), so each
// figure is process start to idle plus the short way out.
#include "bench_util.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

// The program and our sample media in a fresh folder, as a user installs them.
bool install(const QTemporaryDir& dir) {
    if (!QFile::copy(QStringLiteral(HALVORA_EXECUTABLE), dir.filePath(QStringLiteral("halvora"))))
        return false;
    const QDir assets(QStringLiteral(HALVORA_ASSET_DIR));
    for (const QString& name : assets.entryList({"*.mp3", "*.jpg", "*.bmp"}, QDir::Files))
        if (!QFile::copy(assets.filePath(name), dir.filePath(name)))
            return false;
    return true;
}

// Milliseconds from process start to its end; exits the benchmark when the program fails.
double startToIdle(const QTemporaryDir& dir) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HALVORA_QUIT_WHEN_IDLE"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(dir.filePath(QStringLiteral("halvora")), {});
    const bool ended = process.waitForFinished(60000);
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    if (!ended || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "bench_startup: the program failed: %s\n", qPrintable(process.errorString()));
        std::exit(1);
    }
    return ms;
}

// A show of 200 music entries and 200 photos (the lists at their longest), all of them usable, so
// that the start shows no message; what the music holds is found after the window is idle.
bool writeLongShow(const QTemporaryDir& dir) {
    // The first start moved the sample media into Sample/.
    const QString media = QFile::exists(dir.filePath(QStringLiteral("Sample/spm1.mp3"))) ? dir.filePath(QStringLiteral("Sample/")) : dir.path() + u'/';
    QByteArray show = "[AV]\r\n";
    for (int i = 0; i < 200; ++i)
        show += QFile::encodeName(media + QStringLiteral("spm1.mp3")) + "\t0\t30\r\n";
    show += "[Picture]\r\n";
    for (int i = 0; i < 200; ++i)
        show += QFile::encodeName(media + QStringLiteral("SPG1.jpg")) + "\r\n";
    const QByteArray ini = "[File]\r\nDataFilePath=" + QFile::encodeName(dir.path()) + "/\r\nFileName=long.env\r\n" +
                           "HistoryFile=" + QFile::encodeName(dir.path()) + "/History/\r\n";
    QFile showFile(dir.filePath(QStringLiteral("long.env"))), iniFile(dir.filePath(QStringLiteral("Halvora.ini")));
    return showFile.open(QIODevice::WriteOnly) && showFile.write(show) == show.size() &&
           iniFile.open(QIODevice::WriteOnly) && iniFile.write(ini) == ini.size();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int repetitions = halvora::bench::quickRun(argc, argv) ? 3 : 9;
    std::vector<double> first, later, longShow;
    for (int i = 0; i < repetitions; ++i) {
        QTemporaryDir dir;
        if (!dir.isValid() || !install(dir)) {
            std::fprintf(stderr, "bench_startup: cannot lay out a program folder\n");
            return 1;
        }
        first.push_back(startToIdle(dir));
        later.push_back(startToIdle(dir));
        if (!writeLongShow(dir)) {
            std::fprintf(stderr, "bench_startup: cannot write the long show\n");
            return 1;
        }
        longShow.push_back(startToIdle(dir));
    }
    halvora::bench::report("startup_to_idle_first_ms", halvora::bench::median(first), "ms");
    halvora::bench::report("startup_to_idle_later_ms", halvora::bench::median(later), "ms");
    halvora::bench::report("startup_to_idle_200_entries_ms", halvora::bench::median(longShow), "ms");
    return 0;
}
