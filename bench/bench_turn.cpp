// One real-time turn of the main window — real timers and event loop, the sample tune through
// libmpv with null outputs, the "５秒" draw time and one number — and the process CPU time it took
// (every thread, the player's included) as a share of one core.
#include "bench_app.h"
#include "bench_util.h"

#include "real_turn.h"
#include "support/test_files.h"

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

} // namespace

int main(int argc, char** argv) {
    using namespace halvora;
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
    std::vector<double> percents;
    std::vector<double> seconds;
    for (int t = 0; t < turns; ++t) {
        QElapsedTimer wall;
        const double cpu0 = cpuSeconds();
        wall.start();
        if (!turn.run(60000)) {
            std::fprintf(stderr, "the turn did not end\n");
            return 1;
        }
        const double elapsed = static_cast<double>(wall.elapsed()) / 1000.0;
        percents.push_back(100.0 * (cpuSeconds() - cpu0) / elapsed);
        seconds.push_back(elapsed);
    }
    bench::report("turn_seconds", bench::median(seconds), "s");
    bench::report("turn_cpu_percent", bench::median(percents), "%");
    return 0;
}
