#include "media/media_playback.h"

#include "platform/media_player.h"

#include <cmath>

namespace halvora::MediaPlayback {

namespace {

// Names with a double quote have never played in a show; files people keep rely on that less than on
// being told, which they are when the show is loaded.
bool isPlayable(const QString& path) { return !path.contains(QLatin1Char('"')); }

// A video's place is kept in tenths of a second, music's in milliseconds; shown in whole seconds.
std::int32_t wholeSeconds(double seconds, bool video) {
    const double unitsPerSecond = video ? 10 : 1000;
    const double units = std::round(seconds * unitsPerSecond);
    return static_cast<std::int32_t>(std::floor(units / unitsPerSecond + 0.5));
}

} // namespace

void play(MediaPlayer& media, const QString& path, std::int32_t start, const std::function<void()>& makeRoom) {
    if (!isPlayable(path) || !media.open(path))
        return;
    if (media.hasVideo(path)) {
        if (makeRoom)
            makeRoom();
        media.showVideo(path);
    }
    media.seek(path, start);
    media.play(path);
}

void close(MediaPlayer& media, const QString& path) {
    if (isPlayable(path))
        media.close(path);
}

std::int32_t length(const MediaPlayer& media, const QString& path) {
    return wholeSeconds(media.length(path), media.hasVideo(path));
}

std::int32_t position(const MediaPlayer& media, const QString& path) {
    return wholeSeconds(media.position(path), media.hasVideo(path));
}

} // namespace halvora::MediaPlayback
