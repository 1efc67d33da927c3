// Video drawn into the board: the test clip played five times over (ten seconds of video) into a
// video view of the board's video area at 1920 x 1080, through libmpv's software renderer. Figures:
// the CPU share of one core the process used meanwhile, and the time from libmpv's "frame ready" to
// the frame painted (median and worst). Run under a display (Xvfb) or on the offscreen platform.
#include "bench_util.h"

#include "platform/mpv_media_player.h"
#include "platform/video_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <clocale>
#include <cstdio>

namespace {

using namespace halvora;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Plays the clip once to its end; false when it did not play.
bool playOnce(MpvMediaPlayer& media, const QString& path) {
    if (!media.open(path) || !media.showVideo(path) || !media.seek(path, 0))
        return false;
    QEventLoop loop;
    QObject::connect(&media, &MediaPlayer::finished, &loop, [&loop] { loop.quit(); });
    QTimer::singleShot(10000, &loop, [&loop] { loop.exit(1); });
    media.play(path);
    const bool ended = loop.exec() == 0;
    media.close(path);
    return ended;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const int plays = bench::quickRun(argc, argv) ? 2 : 5;
    QWidget window;
    window.resize(1920, 1080);
    // The board's video area at 1920 x 1080: 11 of 12 columns, 10 of 12 rows under the menu bar.
    auto* view = new VideoView(&window);
    view->setGeometry(0, 20, 1760, 880);
    window.show();
    std::vector<double> latencies;
    QObject::connect(view, &VideoView::framePainted, view,
                     [&latencies](std::int64_t ns) { latencies.push_back(static_cast<double>(ns) / 1e6); });
    MpvMediaPlayer media(MpvOutputs{QStringLiteral("null"), {}});
    media.setVideoView(view);
    const QString clip = QStringLiteral(HALVORA_TEST_DATA_DIR "/clip.avi");
    if (!playOnce(media, clip)) { // loads libmpv; not counted
        std::fprintf(stderr, "bench_video: the clip did not play\n");
        return 1;
    }
    latencies.clear();
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = cpuSeconds();
    for (int i = 0; i < plays; ++i)
        if (!playOnce(media, clip))
            return 1;
    const double cpu = cpuSeconds() - cpuBefore;
    const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    bench::report("video_cpu_share_percent", 100.0 * cpu / seconds, "%");
    bench::report("frames_painted", static_cast<double>(latencies.size()), "frames");
    bench::report("frame_ready_to_painted_median_ms", bench::median(latencies), "ms");
    bench::report("frame_ready_to_painted_worst_ms",
                  latencies.empty() ? 0 : *std::max_element(latencies.begin(), latencies.end()), "ms");
    return latencies.empty() ? 1 : 0;
}
