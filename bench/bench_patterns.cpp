// The frames of the announcement patterns: the slowest frame's drawing into the announcement box
// plus its repaint on the screen, over every pattern and face, in the announcement area of a
// 1920x1080 and a 3840x2160 screen (offscreen, 96 dpi). The start of an announcement (clearing and
// measuring the step count) is reported on its own. "with_copy": the same on the audience's window
// while the operator's live copy of it (at the size it has beside a 1080p operator's screen) follows
// it, the copy's drawing counted in the frame it delays.
#include "bench_app.h"
#include "bench_util.h"

#include "draw/hit_patterns.h"
#include "draw/operator_console.h"
#include "platform/event_pump.h"
#include "platform/picture_box.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

using namespace halvora;

// Lets events run like the real pump and notes when each frame ended and the next began.
class TimingPump final : public EventPump {
public:
    void begin() {
        clock_.start();
        lastEnd_ = 0;
        first_ = true;
    }
    void doEvents() override {
        const qint64 start = clock_.nsecsElapsed();
        const double ms = static_cast<double>(start - lastEnd_) / 1e6;
        if (first_)
            startMs = std::max(startMs, ms);
        else
            frameMs = std::max(frameMs, ms);
        first_ = false;
        QCoreApplication::processEvents();
        // Whatever the events held (the copy's drawing) delays the next frame.
        lastEnd_ = withEvents ? start : clock_.nsecsElapsed();
    }
    void waitForEvents() override {}
    void waitUntil(const QDateTime&) override {}
    int runModal(QDialog&) override { return 0; }
    bool quitting() const override { return false; }

    double frameMs = 0;
    double startMs = 0;
    bool withEvents = false;

private:
    QElapsedTimer clock_;
    qint64 lastEnd_ = 0;
    bool first_ = true;
};

struct Figures {
    double frameMs;
    double startMs;
};

Figures measure(const QSize& screen, const std::vector<int>& faces, int repetitions, bool withCopy = false) {
    QWidget window;
    window.setGeometry(QRect(QPoint(0, 0), screen));
    window.setStyleSheet(QStringLiteral("background: black"));
    PictureBox box(&window);
    // The announcement area: 11 of 12 columns, 10 of 12 rows of the screen.
    box.setGeometry(0, 0, screen.width() * 11 / 12, screen.height() * 10 / 12);
    box.setTwipsPerPixel(15);
    box.setFontName(QStringLiteral("ＭＳ Ｐゴシック"));
    window.show();
    BoardMirror copy;
    if (withCopy) {
        copy.setGeometry(0, 0, 1120, 880);
        copy.setSource(&window);
        copy.show();
    }
    QCoreApplication::processEvents();

    TimingPump pump;
    pump.withEvents = withCopy;
    std::vector<int> script;
    HitPatternTools tools{box, pump, [&script](std::int16_t) {
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
