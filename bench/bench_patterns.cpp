// The frames of the announcement patterns: the slowest frame's drawing into the announcement box
// plus its repaint on the screen, over every pattern and face, in the announcement area of a
// 1920x1080 and a 3840x2160 screen (offscreen, 96 dpi). The start of an announcement (clearing and
// measuring the step count) is reported on its own. "with_copy": the same on the audience's window
// while the operator's live copy of it (at the size it has beside a 1080p operator's screen) follows
// it, the copy's drawing counted in the frame it delays.
#include "announcement_screen.h"
#include "bench_app.h"
#include "bench_util.h"

#include "draw/hit_patterns.h"
#include "draw/operator_console.h"

#include <QApplication>

#include <cstdio>

namespace {

using namespace halvora;

struct Figures {
    double frameMs;
    double startMs;
};

Figures measure(const QSize& screen, const std::vector<int>& faces, int repetitions, bool withCopy = false) {
    bench::AnnouncementScreen shown(screen);
    BoardMirror copy;
    if (withCopy) {
        copy.setGeometry(0, 0, 1120, 880);
        copy.setSource(&shown.window);
        copy.show();
    }
    QCoreApplication::processEvents();

    bench::TimingPump pump;
    pump.withEvents = withCopy;
    std::vector<int> script;
    HitPatternTools tools{shown.box, pump, [&script](std::int16_t) {
                              const int pick = script.back();
                              script.pop_back();
                              return pick;
                          }};
    std::vector<double> frames;
    std::vector<double> starts;
    for (int round = -1; round < repetitions; ++round) {
        pump.frameMs = pump.startMs = 0;
        for (std::int16_t pattern = 1; pattern <= 12; ++pattern)
            for (const int face : faces) {
                script = {pattern % 8 + 1, face}; // taken from the back: face, then final colour
                pump.begin();
                playHitPattern(58, pattern, tools);
            }
        if (round >= 0) { // the first round warms the caches
            frames.push_back(pump.frameMs);
            starts.push_back(pump.startMs);
        }
    }
    return {bench::median(frames), bench::median(starts)};
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::Application app(argc, argv);

    const bool quick = bench::quickRun(argc, argv);
    const std::vector<int> faces = quick ? std::vector<int>{3, 5} : std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8};
    const int repetitions = quick ? 3 : 7;
    const Figures hd = measure(QSize(1920, 1080), faces, repetitions);
    const Figures uhd = measure(QSize(3840, 2160), faces, repetitions);
    bench::report("pattern_frame_max_1080p_ms", hd.frameMs, "ms");
    bench::report("pattern_frame_max_4k_ms", uhd.frameMs, "ms");
    bench::report("pattern_start_max_1080p_ms", hd.startMs, "ms");
    bench::report("pattern_start_max_4k_ms", uhd.startMs, "ms");
    bench::report("pattern_frame_max_1080p_with_copy_ms", measure(QSize(1920, 1080), faces, repetitions, true).frameMs, "ms");
    bench::report("pattern_frame_max_4k_with_copy_ms", measure(QSize(3840, 2160), faces, repetitions, true).frameMs, "ms");
    return 0;
}
