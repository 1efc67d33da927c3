#include "platform/video_view.h"

#include <QPaintEvent>
#include <QPainter>

#include <chrono>
#include <cstdlib>

namespace halvora {

namespace {

constexpr std::size_t kAlignment = 64;

std::size_t alignedStride(int width) {
    const auto bytes = static_cast<std::size_t>(width) * 4;
    return (bytes + kAlignment - 1) / kAlignment * kAlignment;
}

} // namespace

std::int64_t steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct VideoView::AlignedBuffer {
    explicit AlignedBuffer(std::size_t bytes) : data(static_cast<uchar*>(std::aligned_alloc(kAlignment, bytes))) {}
    ~AlignedBuffer() { std::free(data); }
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;
    uchar* data;
};

VideoView::VideoView(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted, by the frame or by black.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

VideoView::~VideoView() = default;

QImage& VideoView::frameTarget() {
    const QSize pixels = (size() * devicePixelRatioF()).expandedTo(QSize(1, 1));
    if (frame_.size() != pixels) {
        const std::size_t stride = alignedStride(pixels.width());
        frame_ = QImage();
        buffer_ = std::make_unique<AlignedBuffer>(stride * static_cast<std::size_t>(pixels.height()));
        frame_ = QImage(buffer_->data, pixels.width(), pixels.height(), static_cast<qsizetype>(stride),
                        QImage::Format_RGB32);
        frame_.setDevicePixelRatio(devicePixelRatioF());
        hasFrame_ = false;
    }
    return frame_;
}

void VideoView::frameDone(std::int64_t readyAtNs) {
    hasFrame_ = true;
    pendingReadyNs_ = readyAtNs;
    update();
}

void VideoView::clearFrame() {
    if (!hasFrame_)
        return;
    hasFrame_ = false;
    pendingReadyNs_ = 0;
    update();
}

void VideoView::setOwner(const void* owner) {
    owner_ = owner;
    clearFrame();
}

void VideoView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!hasFrame_ || frame_.size() != (size() * devicePixelRatioF())) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    const QRect area = event->rect();
    const qreal ratio = frame_.devicePixelRatio();
    painter.drawImage(QRectF(area), frame_,
                      QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
    if (pendingReadyNs_ != 0) {
        emit framePainted(steadyNowNs() - pendingReadyNs_);
        pendingReadyNs_ = 0;
    }
}

} // namespace halvora
