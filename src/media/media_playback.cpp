#include "media/media_playback.h"

#include "platform/dialogs.h"
#include "platform/media_player.h"

#include <cmath>

namespace halvora::MediaPlayback {

namespace {

// Names with a double quote have never played in a show; files people keep rely on that less than on
// being told, which they are when the show is loaded.
bool isPlayable(const QString& path) { return !path.contains(QLatin1Char('"')); }

// A video's place is kept in tenths of a second, music's in milliseconds; shown in whole seconds.
std::int32_t wholeSeconds(double seconds, const QString& path) {
    const double unitsPerSecond = isVideoFile(path) ? 10 : 1000;
    const double units = std::round(seconds * unitsPerSecond);
    return static_cast<std::int32_t>(std::floor(units / unitsPerSecond + 0.5));
}

} // namespace

void play(MediaPlayer& media, const QString& path, std::int32_t start) {
    if (!isPlayable(path) || !media.open(path))
        return;
    if (isVideoFile(path))
        media.showVideo(path);
    media.seek(path, start);
    media.play(path);
}

void close(MediaPlayer& media, const QString& path) {
    if (isPlayable(path))
        media.close(path);
}

void reportUnplayableNames(Dialogs& dialogs, QWidget* owner, const QStringList& paths) {
    QStringList unplayable;
    for (const QString& path : paths)
        if (!isPlayable(path))
            unplayable << path;
    if (unplayable.isEmpty())
        return;
    dialogs.messageBox(owner,
                       QStringLiteral("ファイル名に「\"」を含むファイルは再生できません。\r\n") +
                           unplayable.join(QStringLiteral("\r\n")),
                       MessageKind::Plain);
}

std::int32_t length(const MediaPlayer& media, const QString& path) { return wholeSeconds(media.length(path), path); }

std::int32_t position(const MediaPlayer& media, const QString& path) {
    return wholeSeconds(media.position(path), path);
}

} // namespace halvora::MediaPlayback
