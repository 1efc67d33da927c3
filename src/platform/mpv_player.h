#pragma once

#include "platform/media_player.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>

struct mpv_handle;
struct mpv_event;

namespace halvora {

// The outputs the players use. An empty audio text picks the machine's first sound device that opens
// (no sound when none does); video frames are drawn into the board's video view.
struct MpvOutputs {
    QString audio; // "null": no sound
    QString video; // "null": no picture, and no frames decoded
    // HALVORA_MPV_AO and HALVORA_MPV_VO, so a machine without sound can run the real program.
    static MpvOutputs fromEnvironment();
};

struct MpvHandleDeleter {
    void operator()(mpv_handle* handle) const;
};
using MpvHandle = std::unique_ptr<mpv_handle, MpvHandleDeleter>;

// One libmpv player holding one local file, loaded paused. It reads no configuration, runs no
// scripts, binds no keys or mouse, follows no references inside the file and opens no window of its
// own: a picture appears only once a video view is given. Events are handled on the thread that owns it.
class MpvRenderer;
class VideoView;

class MpvPlayer final : public QObject {
    Q_OBJECT
public:
    enum class LoadResult { Loaded, Failed, TimedOut, NoPlayer };

    explicit MpvPlayer(const MpvOutputs& outputs);
    ~MpvPlayer() override;

    // Loads an existing regular file (absolute path) and waits until it is ready to play. Events run
    // meanwhile, so the window keeps painting and its timers keep running.
    LoadResult load(const QString& absolutePath, QString& error);
    // The view to draw the picture in; before it, video tracks stay off.
    bool showVideoIn(VideoView& view);
    // No more frames: the view may be taken by another player at once.
    void releaseVideo();
    bool seek(double seconds);
    bool play();
    bool pause();

    // Seconds; 0 when unknown. At the end of the file the position is the length.
    double duration() const;
    double position() const;
    bool playing() const;
    bool atEnd() const { return atEnd_; }
    // What the loaded file holds.
    MediaKind kind() const { return kind_; }

    // Opens the file in a player of its own with no outputs, reads what it holds and lets it go; blocks
    // (up to the load timeout, or until `stop`), so it is for a thread that shows nothing. Any thread
    // may call it.
    static MediaKind probe(const QString& absolutePath, const std::atomic<bool>& stop);

signals:
    void positionChanged(double seconds);
    void ended();

private:
    static void wakeUp(void* context);
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void handlePropertyChange(const mpv_event& event);
    bool setPaused(bool paused);
    void handleLoadEvent(const mpv_event& event);

    MpvHandle handle_;
    bool noPicture_ = false;
    std::unique_ptr<MpvRenderer> renderer_; // declared after the handle: freed before it
    std::atomic<bool> drainQueued_{false};
    double lastPosition_ = 0;
    std::optional<double> seekTarget_; // until the player has moved there
    double duration_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    MediaKind kind_ = MediaKind::None;
    std::optional<LoadResult> loading_; // while a load waits: its result once known
    QString loadError_;
};

} // namespace halvora
