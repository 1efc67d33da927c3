// Start latency of playback: from "play" to the first advance of the playback position,
// for our sample tune and the test video, on real players with null outputs. Each round opens the
// file afresh, seeks to the start and plays; the open itself is not counted. Beside it, the first
// open of the process, which loads libmpv, the cost the program pays at its first file.
#include "bench_util.h"

#include "platform/mpv_media_player.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <clocale>
#include <cstdio>

namespace {

using namespace halvora;

constexpr int kTimeoutMs = 5000;

// Milliseconds from "play" to the first reported position after the start; negative on failure.
double playLatency(MpvMediaPlayer& media, const QString& path) {
    if (!media.open(path) || !media.seek(path, 0))
        return -1;
    QEventLoop loop;
    QObject::connect(&media, &MediaPlayer::positionChanged, &loop, [&loop](const QString&, double seconds) {
        if (seconds > 0)
            loop.quit();
    });
    QTimer::singleShot(kTimeoutMs, &loop, [&loop] { loop.exit(1); });
    QElapsedTimer clock;
    clock.start();
    media.play(path);
    const bool advanced = loop.exec() == 0;
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    media.close(path);
    return advanced ? ms : -1;
}

// Milliseconds of the first open, or negative when it fails.
double firstOpen(MpvMediaPlayer& media, const QString& path) {
    QElapsedTimer clock;
    clock.start();
    const bool opened = media.open(path);
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    media.close(path);
    return opened ? ms : -1;
}

bool measure(MpvMediaPlayer& media, const char* figure, const QString& path, int rounds) {
    std::vector<double> values;
    for (int i = 0; i < rounds; ++i) {
        const double ms = playLatency(media, path);
        if (ms < 0) {
            std::fprintf(stderr, "bench_media: %s did not play\n", qUtf8Printable(path));
            return false;
        }
        values.push_back(ms);
    }
    bench::report(figure, bench::median(values), "ms");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const int rounds = bench::quickRun(argc, argv) ? 3 : 9;
    MpvMediaPlayer media(MpvOutputs{QStringLiteral("null"), QStringLiteral("null")});
    const double open = firstOpen(media, QStringLiteral(HALVORA_ASSET_DIR "/spm1.mp3"));
    if (open < 0) {
        std::fprintf(stderr, "bench_media: libmpv did not load or the tune did not open\n");
        return 1;
    }
    bench::report("first_open_with_library_load_ms", open, "ms");
    const bool music =
        measure(media, "play_latency_music_ms", QStringLiteral(HALVORA_ASSET_DIR "/spm1.mp3"), rounds);
    const bool video =
        measure(media, "play_latency_video_ms", QStringLiteral(HALVORA_TEST_DATA_DIR "/clip.avi"), rounds);
    return music && video ? 0 : 1;
}
