#include "av_playback.h"

#include "common/zc.h"
#include "platform/services.h"

#include <QWidget>

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

void send(Services& services, const QString& command) {
    QString unused;
    services.mci.sendString(command, unused, 0, 0);
}

// Seconds in the player's units; a start too far out for the player's 32-bit range is held at its end.
std::int32_t scaledStart(std::int32_t seconds, int unitsPerSecond) {
    const std::int64_t units = std::int64_t{seconds} * unitsPerSecond;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(units, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

void openAndSeek(Services& services, const QString& path, std::int32_t start, int unitsPerSecond,
                 const QWidget* videoArea) {
    send(services, QStringLiteral("open ") + quoted(path));
    if (videoArea)
        send(services, QStringLiteral("window ") + quoted(path) + QStringLiteral(" handle ") +
                           QString::number(videoArea->winId()));
    send(services, QStringLiteral("seek ") + quoted(path) + QStringLiteral(" to ") +
                       QString::number(scaledStart(start, unitsPerSecond)));
}

void close(Services& services, const QString& path) {
    if (isCarried(path))
        send(services, QStringLiteral("close ") + quoted(path));
}

std::int32_t query(Services& services, const QString& path, const QString& item) {
    if (!isCarried(path))
        return 0;
    QString reply(kReplyLength, QChar(0));
    services.mci.sendString(QStringLiteral("status ") + quoted(path) + QLatin1Char(' ') + item, reply,
                            kReplyLength, 0);
    const double units = NumberFromText(reply);
    const int divisor = IsVideoFile(path) ? kVideoUnitsPerSecond : kMusicUnitsPerSecond;
    return RoundToInt32(std::floor(units / divisor + 0.5));
}

} // namespace

bool IsVideoFile(const QString& path) { return path.right(4).toUpper() == QLatin1String(".AVI"); }

void PlayVideo(Services& services, const QWidget& videoArea, const QString& path, std::int32_t start) {
    if (!isCarried(path))
        return;
    openAndSeek(services, path, start, kVideoUnitsPerSecond, &videoArea);
    for (int i = 0; i < kVideoStartYields; ++i)
        services.pump.doEvents();
    send(services, QStringLiteral("play ") + quoted(path));
}

void CloseVideo(Services& services, const QString& path) { close(services, path); }

void PlayMusic(Services& services, const QString& path, std::int32_t start) {
    if (!isCarried(path))
        return;
    openAndSeek(services, path, start, kMusicUnitsPerSecond, nullptr);
    send(services, QStringLiteral("play ") + quoted(path));
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

void CloseMusic(Services& services, const QString& path) { close(services, path); }

std::int32_t MediaLength(Services& services, const QString& path) {
    return query(services, path, QStringLiteral("length"));
}

std::int32_t MediaPosition(Services& services, const QString& path) {
    return query(services, path, QStringLiteral("position"));
}

} // namespace halvora::AV再生Sub
