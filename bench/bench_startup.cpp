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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int repetitions = halvora::bench::quickRun(argc, argv) ? 3 : 9;
    std::vector<double> first, later;
    for (int i = 0; i < repetitions; ++i) {
        QTemporaryDir dir;
        if (!dir.isValid() || !install(dir)) {
            std::fprintf(stderr, "bench_startup: cannot lay out a program folder\n");
            return 1;
        }
        first.push_back(startToIdle(dir));
        later.push_back(startToIdle(dir));
    }
    halvora::bench::report("startup_to_idle_first_ms", halvora::bench::median(first), "ms");
    halvora::bench::report("startup_to_idle_later_ms", halvora::bench::median(later), "ms");
    return 0;
}
