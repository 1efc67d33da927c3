#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <memory>

struct mpv_handle;
struct mpv_render_context;

namespace halvora {

class VideoView;

// Draws one player's video frames into a VideoView through libmpv's software renderer: libmpv says
// when a frame is ready (on its own thread), the frame is drawn on the GUI thread and the view paints
// it. Nothing polls; a paused or ended video costs nothing. Freed before its player.
class MpvRenderer final : public QObject {
    Q_OBJECT

public:
    // Null (and a line in the log) when libmpv refuses the renderer.
    static std::unique_ptr<MpvRenderer> create(mpv_handle* handle, VideoView& view);
    ~MpvRenderer() override;

private:
    MpvRenderer(mpv_render_context* context, VideoView& view);
    static void frameReady(void* context);
    void drawFrame();

    mpv_render_context* context_;
    QPointer<VideoView> view_;
    std::atomic<bool> drawQueued_{false};
    std::atomic<std::int64_t> readyAtNs_{0};
};

} // namespace halvora
