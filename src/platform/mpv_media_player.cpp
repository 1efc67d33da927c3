#include "platform/mpv_media_player.h"

#include "platform/mpv_library.h"

#include <QFileInfo>
#include <QTimer>
#include <QtDebug>

namespace halvora {

MpvMediaPlayer::MpvMediaPlayer(MpvOutputs outputs, QObject* parent)
    : MediaPlayer(parent), outputs_(std::move(outputs)) {}

// A probe still running is told to stop at once; its answer is not delivered.
MpvMediaPlayer::~MpvMediaPlayer() {
    *stopProbes_ = true;
    for (auto& [number, thread] : probes_)
        thread.join();
}

MpvPlayer* MpvMediaPlayer::find(const QString& path) const {
    const auto it = players_.find(path);
    return it == players_.end() ? nullptr : it->second.get();
}

bool MpvMediaPlayer::open(const QString& path) {
    if (find(path) || opening_.contains(path))
        return false;
    // Only a file that is there: no protocols, folders, devices or other tricks reach the player.
    const QFileInfo file(path);
    if (!file.exists() || !file.isFile()) {
        qWarning("media: cannot open %s: no such file", qUtf8Printable(path));
        return false;
    }
    if (!mpvApi())
        return false;
    auto player = std::make_unique<MpvPlayer>(outputs_);
    QString why;
    opening_.insert(path);
    const MpvPlayer::LoadResult result = player->load(file.absoluteFilePath(), why);
    opening_.erase(path);
    if (result != MpvPlayer::LoadResult::Loaded) {
        qWarning("media: cannot play %s: %s", qUtf8Printable(path), qUtf8Printable(why));
        return false;
    }
    connect(player.get(), &MpvPlayer::positionChanged, this,
            [this, path](double seconds) { emit positionChanged(path, seconds); });
    connect(player.get(), &MpvPlayer::ended, this, [this, path] { emit finished(path); });
    players_[path] = std::move(player);
    return true;
}

bool MpvMediaPlayer::showVideo(const QString& path) {
    MpvPlayer* player = find(path);
    return player && videoView_ && player->showVideoIn(*videoView_);
}

bool MpvMediaPlayer::seek(const QString& path, double seconds) {
    MpvPlayer* player = find(path);
    // Like a hardware player: a place outside the file is refused and the position stays.
    if (!player || seconds < 0 || seconds > player->duration())
        return false;
    return player->seek(seconds);
}

bool MpvMediaPlayer::play(const QString& path) {
    MpvPlayer* player = find(path);
    return player && player->play();
}

void MpvMediaPlayer::close(const QString& path) {
    auto node = players_.extract(path);
    if (node.empty())
        return;
    // The player may be the sender of the signal whose handler closes it: it goes once its own
    // handling is over, or with this object.
    MpvPlayer* player = node.mapped().release();
    player->pause(); // silent from now on, though the player itself goes a little later
    player->releaseVideo(); // and its picture gone, the view free for the next one
    player->disconnect(this);
    player->setParent(this);
    player->deleteLater();
}

bool MpvMediaPlayer::hasVideo(const QString& path) const {
    const MpvPlayer* player = find(path);
    return player && player->kind() == MediaKind::Video;
}

constexpr int kProbeDelayMs = 500;

// Not before the window is up and idle: loading libmpv costs a few hundred milliseconds of work.
void MpvMediaPlayer::probe(const QStringList& paths, std::function<void(const std::vector<MediaKind>&)> done) {
    QTimer::singleShot(kProbeDelayMs, this, [this, paths, done = std::move(done)] { startProbe(paths, done); });
}

// One thread goes through the files one by one; a show of 200 entries is probed in seconds while the
// operator goes on working. Its answer comes back through this object's event queue.
void MpvMediaPlayer::startProbe(const QStringList& paths, std::function<void(const std::vector<MediaKind>&)> done) {
    const int number = ++lastProbe_;
    probes_[number] = std::thread([this, number, paths, done = std::move(done), stop = stopProbes_] {
        std::vector<MediaKind> kinds(static_cast<std::size_t>(paths.size()), MediaKind::None);
        std::map<QString, MediaKind> found; // a file listed twice is opened once
        for (qsizetype i = 0; i < paths.size() && !*stop; ++i) {
            const QFileInfo file(paths[i]);
            if (!file.isFile())
                continue;
            const QString path = file.absoluteFilePath();
            if (!found.contains(path))
                found[path] = MpvPlayer::probe(path, *stop);
            kinds[static_cast<std::size_t>(i)] = found[path];
        }
        if (*stop)
            return;
        QMetaObject::invokeMethod(this, [this, number, done, kinds] {
            probes_.extract(number).mapped().join();
            done(kinds);
        }, Qt::QueuedConnection);
    });
}

double MpvMediaPlayer::position(const QString& path) const {
    const MpvPlayer* player = find(path);
    return player ? player->position() : 0;
}

double MpvMediaPlayer::length(const QString& path) const {
    const MpvPlayer* player = find(path);
    return player ? player->duration() : 0;
}

} // namespace halvora
