#include "platform/mpv_renderer.h"

#include "platform/mpv_library.h"
#include "platform/video_view.h"

#include <QMetaObject>
#include <QtDebug>

namespace halvora {

namespace {

// Said once per run, at the first video.
void logRendererOnce() {
    static bool told = false;
    if (!told)
        qInfo("video: frames are drawn by libmpv's software renderer into the board");
    told = true;
}

} // namespace

std::unique_ptr<MpvRenderer> MpvRenderer::create(mpv_handle* handle, VideoView& view) {
    const MpvApi* api = mpvApi();
    if (!api || !handle)
        return nullptr;
    char software[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, software}, {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context* context = nullptr;
    if (const int result = api->render_context_create(&context, handle, params); result < 0) {
        qWarning("video: libmpv's software renderer refused: %s; videos play without a picture",
                 api->error_string(result));
        return nullptr;
    }
    logRendererOnce();
    std::unique_ptr<MpvRenderer> renderer(new MpvRenderer(context, view));
    api->render_context_set_update_callback(context, &MpvRenderer::frameReady, renderer.get());
    return renderer;
}

MpvRenderer::MpvRenderer(mpv_render_context* context, VideoView& view) : context_(context), view_(&view) {
    view.setOwner(this);
}

MpvRenderer::~MpvRenderer() {
    const MpvApi& api = *mpvApi();
    // After this no callback runs or comes, so nothing is queued for a renderer that is gone.
    api.render_context_set_update_callback(context_, nullptr, nullptr);
    api.render_context_free(context_);
    if (view_ && view_->owner() == this)
        view_->setOwner(nullptr);
}

void MpvRenderer::frameReady(void* context) {
    // Runs on one of libmpv's threads: note the time and hand over to the GUI thread, once at a time.
    auto* renderer = static_cast<MpvRenderer*>(context);
    std::int64_t none = 0;
    renderer->readyAtNs_.compare_exchange_strong(none, steadyNowNs());
    if (!renderer->drawQueued_.exchange(true))
        QMetaObject::invokeMethod(renderer, &MpvRenderer::drawFrame, Qt::QueuedConnection);
}

void MpvRenderer::drawFrame() {
    drawQueued_ = false;
    const std::int64_t readyAt = readyAtNs_.exchange(0);
    const MpvApi& api = *mpvApi();
    if (!(api.render_context_update(context_) & MPV_RENDER_UPDATE_FRAME))
        return;
    if (!view_ || view_->owner() != this)
        return;
    QImage& target = view_->frameTarget();
    int size[2] = {target.width(), target.height()};
    // QImage's RGB32 as its bytes lie in memory.
    char format[] = {Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 'b' : '0', Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 'g' : 'r',
                     Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 'r' : 'g', Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? '0' : 'b', 0};
    auto stride = static_cast<std::size_t>(target.bytesPerLine());
    int block = 0; // never wait for the frame's display time on the GUI thread
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                 {MPV_RENDER_PARAM_SW_FORMAT, format},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, target.bits()},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (api.render_context_render(context_, params) >= 0)
        view_->frameDone(readyAt);
}

} // namespace halvora
