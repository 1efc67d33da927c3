#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>

struct mpv_handle;
struct mpv_event;

namespace halvora {

// The outputs the players use. Empty texts pick the machine's own: the first sound device that
// opens (no sound when none does) and video in the given window.
struct MpvOutputs {
    QString audio; // "null": no sound
    QString video; // "null": no picture
    // HALVORA_MPV_AO and HALVORA_MPV_VO, so a machine without a display can run the real program.
    static MpvOutputs fromEnvironment();
};

// The video output settings of a player: the requested output, or else the GPU output with the plain
// X11 one as its fallback. Under X11 (platform "xcb") the GPU output may only use EGL on X11: probing
// the console's display devices closes a descriptor that the program's display connection may hold.
struct MpvVideoOptions {
    QByteArray vo;
    QByteArray gpuContext; // empty: libmpv's own choice
    static MpvVideoOptions choose(const QString& requested, const QString& platformName);
};

struct MpvHandleDeleter {
    void operator()(mpv_handle* handle) const;
};
using MpvHandle = std::unique_ptr<mpv_handle, MpvHandleDeleter>;

// One libmpv player holding one local file, loaded paused. It reads no configuration, runs no
// scripts, binds no keys or mouse, follows no references inside the file and opens no window of its
// own: a picture appears only once a window is given. Events are handled on the thread that owns it.
class MpvPlayer final : public QObject {
    Q_OBJECT
public:
    enum class LoadResult { Loaded, Failed, TimedOut, NoPlayer };

    explicit MpvPlayer(const MpvOutputs& outputs);
    ~MpvPlayer() override;

    // Loads an existing regular file (absolute path) and waits until it is ready to play. Events run
    // meanwhile, so the window keeps painting and its timers keep running.
    LoadResult load(const QString& absolutePath, QString& error);
    // The native window to show the picture in; before it, video tracks stay off.
    bool setWindow(qint64 windowId);
    bool seek(double seconds);
    bool play();
    bool pause();

    // Seconds; 0 when unknown. At the end of the file the position is the length.
    double duration() const;
    double position() const;
    bool playing() const;
    bool atEnd() const { return atEnd_; }

signals:
    void positionChanged(double seconds);
    void ended();

private:
    static void wakeUp(void* context);
    bool configure(const MpvOutputs& outputs);
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void handlePropertyChange(const mpv_event& event);
    bool setPaused(bool paused);
    void handleLoadEvent(const mpv_event& event);

    MpvHandle handle_;
    std::atomic<bool> drainQueued_{false};
    double lastPosition_ = 0;
    std::optional<double> seekTarget_; // until the player has moved there
    double duration_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    std::optional<LoadResult> loading_; // while a load waits: its result once known
    QString loadError_;
};

} // namespace halvora
