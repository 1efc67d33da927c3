#include "av_playback.h"

#include "common/zc.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/mci.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace halvora::AV再生Sub {

namespace {

constexpr int kVideoUnitsPerSecond = 10;
constexpr int kMusicUnitsPerSecond = 1000;
// Rounds of pending events between "seek" and "play" of a video: a fixed count, not a time.
constexpr int kVideoStartYields = 10000;
constexpr int kReplyLength = 20;

QString quoted(const QString& path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

// The path is carried between double quotes, so it cannot hold one itself.
bool isCarried(const QString& path) { return !path.contains(QLatin1Char('"')); }

void send(Mci& mci, const QString& command) {
    QString unused;
    mci.sendString(command, unused, 0, 0);
}

// Seconds in the player's units; a start too far out for the player's 32-bit range is held at its end.
std::int32_t scaledStart(std::int32_t seconds, int unitsPerSecond) {
    const std::int64_t units = std::int64_t{seconds} * unitsPerSecond;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(units, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

void openAndSeek(Mci& mci, const QString& path, std::int32_t start, int unitsPerSecond, bool video) {
    send(mci, QStringLiteral("open ") + quoted(path));
    if (video)
        send(mci, QStringLiteral("window ") + quoted(path) + QStringLiteral(" state show"));
    send(mci, QStringLiteral("seek ") + quoted(path) + QStringLiteral(" to ") +
                       QString::number(scaledStart(start, unitsPerSecond)));
}

void close(Mci& mci, const QString& path) {
    if (isCarried(path))
        send(mci, QStringLiteral("close ") + quoted(path));
}

std::int32_t query(Mci& mci, const QString& path, const QString& item) {
    if (!isCarried(path))
        return 0;
    QString reply(kReplyLength, QChar(0));
    mci.sendString(QStringLiteral("status ") + quoted(path) + QLatin1Char(' ') + item, reply,
                            kReplyLength, 0);
    const double units = NumberFromText(reply);
    const int divisor = IsVideoFile(path) ? kVideoUnitsPerSecond : kMusicUnitsPerSecond;
    return RoundToInt32(std::floor(units / divisor + 0.5));
}

} // namespace

bool IsVideoFile(const QString& path) { return isVideoFile(path); }

void PlayVideo(Mci& mci, EventPump& pump, const QString& path, std::int32_t start) {
    if (!isCarried(path))
        return;
    openAndSeek(mci, path, start, kVideoUnitsPerSecond, true);
    for (int i = 0; i < kVideoStartYields; ++i)
        pump.doEvents();
    send(mci, QStringLiteral("play ") + quoted(path));
}

void CloseVideo(Mci& mci, const QString& path) { close(mci, path); }

void PlayMusic(Mci& mci, const QString& path, std::int32_t start) {
    if (!isCarried(path))
        return;
    openAndSeek(mci, path, start, kMusicUnitsPerSecond, false);
    send(mci, QStringLiteral("play ") + quoted(path));
}

void ReportUnplayableNames(Dialogs& dialogs, QWidget* owner, const QStringList& paths) {
    QStringList unplayable;
    for (const QString& path : paths)
        if (!isCarried(path))
            unplayable << path;
    if (unplayable.isEmpty())
        return;
    dialogs.messageBox(owner,
                       QStringLiteral("ファイル名に「\"」を含むファイルは再生できません。\r\n") +
                           unplayable.join(QStringLiteral("\r\n")),
                       MsgBox::OkOnly);
}

void CloseMusic(Mci& mci, const QString& path) { close(mci, path); }

std::int32_t MediaLength(Mci& mci, const QString& path) {
    return query(mci, path, QStringLiteral("length"));
}

std::int32_t MediaPosition(Mci& mci, const QString& path) {
    return query(mci, path, QStringLiteral("position"));
}

} // namespace halvora::AV再生Sub
