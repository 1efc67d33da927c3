// One real-time turn of the main window — real timers and event loop, the sample tune through
// libmpv with null outputs, the "５秒" draw time and one number — and the process CPU time it took
// (every thread, the player's included) as a share of one core: with the board in the one window,
// and on a second 1920x1080 screen for the audience with the operator's copy beside the buttons.
#include "bench_app.h"
#include "bench_util.h"

#include "real_turn.h"
#include "support/test_files.h"

#include "draw/audience_screens.h"

#include <QApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct TurnFigures {
    double seconds;
    double cpuPercent;
};

TurnFigures measure(halvora::test::RealTurn& turn, int turns) {
    std::vector<double> percents;
    std::vector<double> seconds;
    for (int t = 0; t < turns; ++t) {
        QElapsedTimer wall;
        const double cpu0 = cpuSeconds();
        wall.start();
        if (!turn.run(60000)) {
            std::fprintf(stderr, "the turn did not end\n");
            std::exit(1);
        }
        const double elapsed = static_cast<double>(wall.elapsed()) / 1000.0;
        percents.push_back(100.0 * (cpuSeconds() - cpu0) / elapsed);
        seconds.push_back(elapsed);
    }
    return {halvora::bench::median(seconds), halvora::bench::median(percents)};
}

} // namespace

int main(int argc, char** argv) {
    using namespace halvora;
    QTemporaryDir dir;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM",
                 bench::offscreenWithScreens(dir, {{"operator", 1920, 1080}, {"audience", 1920, 1080}}));
    bench::Application app(argc, argv);
    const int turns = bench::quickRun(argc, argv) ? 1 : 3;

    test::ProgramFolder folder;
    test::ProgramFolder userData;
    folder.addSampleMedia();
    test::RealTurn turn(folder.path(), userData.path());
    if (!turn.form().load())
        return 1;
    turn.form().controls().selectDrawTimeIndex(2);
    turn.form().controls().selectHitCountIndex(3);
    AudienceScreens& screens = turn.form().audienceScreens();
    screens.setShown(false);
    const TurnFigures one = measure(turn, turns);
    bench::report("turn_seconds", one.seconds, "s");
    bench::report("turn_cpu_percent", one.cpuPercent, "%");
    screens.setShown(true);
    if (screens.screenInUse().isEmpty()) {
        std::fprintf(stderr, "no second screen for the audience\n");
        return 0;
    }
    const TurnFigures two = measure(turn, turns);
    bench::report("turn_two_windows_cpu_percent", two.cpuPercent, "%");
    bench::report("turn_two_windows_cpu_ratio", two.cpuPercent / one.cpuPercent, "x");
    return 0;
}
