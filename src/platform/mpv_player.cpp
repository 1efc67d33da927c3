#include "mpv_player.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QMetaObject>
#include <QTimer>
#include <QtDebug>

#include "mpv_library.h"
#include "mpv_renderer.h"

namespace halvora {

namespace {

constexpr int kLoadTimeoutMs = 10000;

// Only used once a player exists, so the library is loaded.
const MpvApi& mpv() {
    return *mpvApi();
}

mpv_handle* createHandle() {
    const MpvApi* api = mpvApi();
    return api ? api->create() : nullptr;
}

enum Observed : std::uint64_t { kTimePos = 1, kEofReached, kDuration };

struct Option {
    const char* name;
    const char* value;
};

// Nothing of the user's own player set-up, no scripts, no controls, nothing fetched, nothing
// loaded beside or through the file, no window unless one is given; the file waits paused.
constexpr Option kSafeOptions[] = {
    {"config", "no"},
    {"load-scripts", "no"},
    {"ytdl", "no"},
    {"osc", "no"},
    {"input-default-bindings", "no"},
    {"input-builtin-bindings", "no"},
    {"input-vo-keyboard", "no"},
    {"input-cursor", "no"},
    {"input-media-keys", "no"},
    {"terminal", "no"},
    {"load-stats-overlay", "no"},
    {"load-osd-console", "no"},
    {"load-auto-profiles", "no"},
    {"resume-playback", "no"},
    {"save-position-on-quit", "no"},
    {"access-references", "no"},
    {"load-unsafe-playlists", "no"},
    {"autoload-files", "no"},
    {"audio-display", "no"},
    {"stop-screensaver", "no"},
    {"osd-level", "0"},
    {"force-window", "no"},
    {"idle", "yes"},
    {"keep-open", "yes"},
    {"pause", "yes"},
    // Tracks are chosen as the file has them (a video without sound still loads); frames go nowhere
    // until a view is given.
    {"vid", "auto"},
    {"vo", "null"},
    {"audio-fallback-to-null", "yes"},
    // Frames are scaled on the CPU: bilinear keeps one within a few milliseconds at 1080p.
    {"zimg-scaler", "bilinear"},
};

// Reads one flag of a track; false when the player does not know it.
bool trackFlag(mpv_handle* handle, std::int64_t track, const char* name) {
    int flag = 0;
    const QByteArray property = "track-list/" + QByteArray::number(track) + '/' + name;
    return mpv().get_property(handle, property.constData(), MPV_FORMAT_FLAG, &flag) >= 0 && flag != 0;
}

// A video track counts unless it is a still picture: a cover of music, or a photo given as media.
MediaKind kindOfLoadedFile(mpv_handle* handle) {
    std::int64_t count = 0;
    mpv().get_property(handle, "track-list/count", MPV_FORMAT_INT64, &count);
    bool sound = false;
    for (std::int64_t i = 0; i < count; ++i) {
        char* type = nullptr;
        const QByteArray property = "track-list/" + QByteArray::number(i) + "/type";
        if (mpv().get_property(handle, property.constData(), MPV_FORMAT_STRING, &type) < 0 || !type)
            continue;
        const QByteArray kind(type);
        mpv().free(type);
        if (kind == "video" && !trackFlag(handle, i, "albumart") && !trackFlag(handle, i, "image"))
            return MediaKind::Video;
        sound = sound || kind == "audio";
    }
    return sound ? MediaKind::Music : MediaKind::None;
}

bool setOption(mpv_handle* handle, const char* name, const QByteArray& value) {
    const int result = mpv().set_option_string(handle, name, value.constData());
    if (result < 0)
        qWarning("mpv: option %s=%s refused: %s", name, value.constData(), mpv().error_string(result));
    return result >= 0;
}

// The safe options and the outputs; frames go to the null output until a view is given.
bool configure(mpv_handle* handle, const MpvOutputs& outputs) {
    for (const Option& option : kSafeOptions)
        if (!setOption(handle, option.name, option.value))
            return false;
    if (!outputs.audio.isEmpty() && !setOption(handle, "ao", outputs.audio.toUtf8()))
        return false;
    // Without a device the null output would otherwise end the file early by its buffer.
    return outputs.audio != QLatin1String("null") || setOption(handle, "audio-buffer", "0");
}

} // namespace

MpvOutputs MpvOutputs::fromEnvironment() {
    return {qEnvironmentVariable("HALVORA_MPV_AO"), qEnvironmentVariable("HALVORA_MPV_VO")};
}

void MpvHandleDeleter::operator()(mpv_handle* handle) const {
    // After this no wake-up can still be running or come, so nothing is queued for a dead player.
    mpv().set_wakeup_callback(handle, nullptr, nullptr);
    mpv().terminate_destroy(handle);
}

MpvPlayer::MpvPlayer(const MpvOutputs& outputs)
    : handle_(createHandle()), noPicture_(outputs.video == QLatin1String("null")) {
    if (!handle_) {
        qWarning("mpv: no player (libmpv missing, or LC_NUMERIC not \"C\")");
        return;
    }
    if (!configure(handle_.get(), outputs) || mpv().initialize(handle_.get()) < 0) {
        handle_.reset();
        return;
    }
    mpv().request_log_messages(handle_.get(), "error");
    mpv().observe_property(handle_.get(), kTimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv().observe_property(handle_.get(), kEofReached, "eof-reached", MPV_FORMAT_FLAG);
    mpv().observe_property(handle_.get(), kDuration, "duration", MPV_FORMAT_DOUBLE);
}

MpvPlayer::~MpvPlayer() = default;

MpvPlayer::LoadResult MpvPlayer::load(const QString& absolutePath, QString& error) {
    if (!handle_)
        return LoadResult::NoPlayer;
    const QByteArray file = QFile::encodeName(absolutePath);
    const char* command[] = {"loadfile", file.constData(), "replace", nullptr};
    if (const int result = mpv().command(handle_.get(), command); result < 0) {
        error = QString::fromUtf8(mpv().error_string(result));
        return LoadResult::Failed;
    }
    // The player's events arrive through the event loop, which runs until the file is ready, has
    // failed, or the time is up.
    loading_ = LoadResult::TimedOut;
    const QDeadlineTimer deadline(kLoadTimeoutMs);
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(kLoadTimeoutMs);
    mpv().set_wakeup_callback(handle_.get(), &MpvPlayer::wakeUp, this);
    wakeUp(this);
    while (loading_ == LoadResult::TimedOut && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const LoadResult result = *loading_;
    loading_.reset();
    error = loadError_;
    return result;
}

MediaKind MpvPlayer::probe(const QString& absolutePath, const std::atomic<bool>& stop) {
    if (!mpvApi())
        return MediaKind::None;
    const MpvHandle handle(createHandle());
    if (!handle)
        return MediaKind::None;
    if (!configure(handle.get(), {QStringLiteral("null"), QStringLiteral("null")}) ||
        mpv().initialize(handle.get()) < 0)
        return MediaKind::None;
    const QByteArray file = QFile::encodeName(absolutePath);
    const char* command[] = {"loadfile", file.constData(), "replace", nullptr};
    if (mpv().command(handle.get(), command) < 0)
        return MediaKind::None;
    const QDeadlineTimer deadline(kLoadTimeoutMs);
    // Short waits, so that a program on its way out is not held up by a file that takes long.
    while (!deadline.hasExpired() && !stop) {
        const mpv_event& event = *mpv().wait_event(handle.get(), 0.05);
        if (event.event_id == MPV_EVENT_FILE_LOADED)
            return kindOfLoadedFile(handle.get());
        if (event.event_id == MPV_EVENT_END_FILE || event.event_id == MPV_EVENT_SHUTDOWN)
            return MediaKind::None;
    }
    return MediaKind::None;
}

bool MpvPlayer::showVideoIn(VideoView& view) {
    if (!handle_)
        return false;
    if (noPicture_)
        return true;
    if (!renderer_)
        renderer_ = MpvRenderer::create(handle_.get(), view);
    return renderer_ && mpv().set_property_string(handle_.get(), "vo", "libmpv") >= 0;
}

void MpvPlayer::releaseVideo() { renderer_.reset(); }

bool MpvPlayer::seek(double seconds) {
    if (!handle_ || failed_)
        return false;
    const QByteArray target = QByteArray::number(seconds, 'f', 3);
    const char* command[] = {"seek", target.constData(), "absolute+exact", nullptr};
    if (mpv().command(handle_.get(), command) < 0)
        return false;
    atEnd_ = false;
    seekTarget_ = seconds;
    return true;
}

bool MpvPlayer::play() { return setPaused(false); }

bool MpvPlayer::pause() { return setPaused(true); }

bool MpvPlayer::setPaused(bool paused) {
    if (!handle_ || failed_)
        return false;
    int flag = paused ? 1 : 0;
    return mpv().set_property(handle_.get(), "pause", MPV_FORMAT_FLAG, &flag) >= 0;
}

double MpvPlayer::duration() const {
    double value = 0;
    if (handle_ && mpv().get_property(handle_.get(), "duration", MPV_FORMAT_DOUBLE, &value) >= 0)
        return value;
    return duration_;
}

double MpvPlayer::position() const {
    if (atEnd_)
        return duration();
    if (seekTarget_)
        return *seekTarget_;
    double value = 0;
    if (handle_ && mpv().get_property(handle_.get(), "time-pos", MPV_FORMAT_DOUBLE, &value) >= 0)
        return value;
    return lastPosition_;
}

bool MpvPlayer::playing() const {
    int paused = 1;
    if (!handle_ || failed_ || atEnd_ ||
        mpv().get_property(handle_.get(), "pause", MPV_FORMAT_FLAG, &paused) < 0)
        return false;
    return paused == 0;
}

void MpvPlayer::wakeUp(void* context) {
    // Runs on one of the player's threads: only hand over to the owner's thread, once at a time.
    auto* player = static_cast<MpvPlayer*>(context);
    if (!player->drainQueued_.exchange(true))
        QMetaObject::invokeMethod(player, &MpvPlayer::drainEvents, Qt::QueuedConnection);
}

void MpvPlayer::drainEvents() {
    drainQueued_ = false;
    while (handle_) {
        const mpv_event& event = *mpv().wait_event(handle_.get(), 0);
        if (event.event_id == MPV_EVENT_NONE)
            return;
        if (loading_ == LoadResult::TimedOut)
            handleLoadEvent(event);
        else
            handleEvent(event);
    }
}

void MpvPlayer::handleLoadEvent(const mpv_event& event) {
    if (event.event_id == MPV_EVENT_FILE_LOADED) {
        kind_ = kindOfLoadedFile(handle_.get());
        loading_ = LoadResult::Loaded;
    } else if (event.event_id == MPV_EVENT_END_FILE) {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        loadError_ = QString::fromUtf8(mpv().error_string(
            end->reason == MPV_END_FILE_REASON_ERROR ? end->error : MPV_ERROR_UNKNOWN_FORMAT));
        loading_ = LoadResult::Failed;
    } else {
        handleEvent(event);
    }
}

void MpvPlayer::handleEvent(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_PROPERTY_CHANGE:
        handlePropertyChange(event);
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        seekTarget_.reset(); // the seek is done
        break;
    case MPV_EVENT_END_FILE:
        failed_ = true;
        atEnd_ = true;
        emit ended();
        break;
    case MPV_EVENT_LOG_MESSAGE: {
        const auto* message = static_cast<const mpv_event_log_message*>(event.data);
        qWarning("mpv[%s]: %s", message->prefix, QByteArray(message->text).trimmed().constData());
        break;
    }
    default:
        break;
    }
}

void MpvPlayer::handlePropertyChange(const mpv_event& event) {
    const auto* property = static_cast<const mpv_event_property*>(event.data);
    if (property->format == MPV_FORMAT_NONE)
        return;
    switch (event.reply_userdata) {
    case kTimePos:
        lastPosition_ = *static_cast<const double*>(property->data);
        emit positionChanged(lastPosition_);
        break;
    case kDuration:
        duration_ = *static_cast<const double*>(property->data);
        break;
    case kEofReached:
        atEnd_ = *static_cast<const int*>(property->data) != 0;
        if (atEnd_)
            emit ended();
        break;
    default:
        break;
    }
}

} // namespace halvora
