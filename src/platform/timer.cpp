#include "platform/timer.h"

#include <QTimer>

namespace halvora {

namespace {

// A repeating QTimer with the enabled/interval pair of the program's timers.
class QtTimer final : public Timer {
public:
    QtTimer() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setSingleShot(false);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            // A copy, so a handler that replaces itself keeps running to its end.
            const auto handler = handler_;
            if (handler)
                handler();
        });
    }

    void setInterval(int milliseconds) override {
        interval_ = milliseconds;
        if (enabled_ && interval_ > 0)
            timer_.start(interval_);
        else
            timer_.stop();
    }
    int interval() const override { return interval_; }

    void setEnabled(bool enabled) override {
        if (enabled == enabled_)
            return;
        enabled_ = enabled;
        if (enabled_ && interval_ > 0)
            timer_.start(interval_);
        else
            timer_.stop();
    }
    bool isEnabled() const override { return enabled_; }

    void setHandler(std::function<void()> onTick) override { handler_ = std::move(onTick); }

private:
    QTimer timer_;
    std::function<void()> handler_;
    int interval_ = 0;
    bool enabled_ = false;
};

} // namespace

std::unique_ptr<Timer> QtTimerFactory::createTimer() {
    return std::make_unique<QtTimer>();
}

} // namespace halvora
