#pragma once

#include <functional>
#include <memory>

namespace halvora {

// A repeating timer ticking on the user-interface thread. It runs while enabled with an interval
// above 0; changing the interval of a running timer restarts its countdown, enabling a running timer
// does not.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setHandler(std::function<void()> onTick) = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<Timer> createTimer() = 0;
};

class QtTimerFactory final : public TimerFactory {
public:
    std::unique_ptr<Timer> createTimer() override;
};

} // namespace halvora
