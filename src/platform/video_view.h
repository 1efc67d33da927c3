#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace halvora {

// Nanoseconds on the monotonic clock the frame figures use.
std::int64_t steadyNowNs();

// The video area: an ordinary widget of the board that paints the player's newest frame, so it stacks
// with the other controls like any of them. Black where there is no picture.
class VideoView final : public QWidget {
    Q_OBJECT

public:
    explicit VideoView(QWidget* parent = nullptr);
    ~VideoView() override;

    // The surface the next frame is drawn into, at the view's size in device pixels; its lines are
    // 64-byte aligned for the player's converters. Valid until the next call.
    QImage& frameTarget();
    // The frame in frameTarget() is complete: it is shown at the next paint. `readyAtNs` is when the
    // player said it was ready (a monotonic clock), for the frame-latency figure.
    void frameDone(std::int64_t readyAtNs);
    bool hasFrame() const { return hasFrame_; }

    // Which frame source may draw here: a player that took over the view makes the previous one's
    // late frames harmless.
    const void* owner() const { return owner_; }
    void setOwner(const void* owner);

signals:
    // A frame reached the screen's backing store this long after the player said it was ready.
    void framePainted(std::int64_t latencyNs);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Back to black: no frame of a closed video may be seen again.
    void clearFrame();
    struct AlignedBuffer;
    std::unique_ptr<AlignedBuffer> buffer_;
    QImage frame_;
    bool hasFrame_ = false;
    std::int64_t pendingReadyNs_ = 0;
    const void* owner_ = nullptr;
};

} // namespace halvora
