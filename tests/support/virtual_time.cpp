#include "virtual_time.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace halvora::test {

namespace {
constexpr qint64 kForever = std::numeric_limits<qint64>::max();
// Generous: a 250 ms timer ticks 14400 times in a virtual hour.
constexpr int kMaxStepsPerCall = 200000;
// A loop of doEvents at one instant waits for something that needs time to pass.
constexpr int kMaxIdleDoEvents = 1000000;
// After this many waits that could not end, the program is stuck in a loop of them: stop the run.
constexpr int kMaxGuardFailures = 20;
} // namespace

class VirtualTime::VirtualTimer final : public Timer {
public:
    VirtualTimer(VirtualTime& time, std::uint64_t id) : time_(&time), id_(id) { time.timers_[id] = this; }
    ~VirtualTimer() override {
        if (time_)
            time_->timers_.erase(id_);
    }

    void setInterval(int milliseconds) override {
        interval_ = milliseconds;
        if (running())
            arm();
    }
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override {
        if (std::exchange(enabled_, enabled) != enabled && running())
            arm();
    }
    bool isEnabled() const override { return enabled_; }
    void setHandler(std::function<void()> onTick) override { handler_ = std::move(onTick); }

    bool running() const { return time_ && enabled_ && interval_ > 0; }
    // The next tick is one interval from now.
    void arm() { key_ = {time_->nowMs_ + interval_, ++time_->order_}; }
    // A tick that comes due while the handler runs is skipped, as in Qt.
    void fire() {
        arm();
        if (ticking_ || !handler_)
            return;
        VirtualTime& time = *time_;
        const std::uint64_t id = id_;
        const auto handler = handler_; // the handler may replace itself or destroy the timer
        ticking_ = true;
        ++time.depth_;
        handler();
        --time.depth_;
        if (const auto it = time.timers_.find(id); it != time.timers_.end())
            it->second->ticking_ = false;
    }

    VirtualTime* time_; // null once the time line is gone
    std::uint64_t id_;
    std::function<void()> handler_;
    int interval_ = 0;
    bool enabled_ = false;
    bool ticking_ = false;
    Key key_{};
};

VirtualTime::~VirtualTime() {
    for (auto& [id, timer] : timers_)
        timer->time_ = nullptr;
}

int VirtualTime::runningTimers() const {
    return static_cast<int>(std::ranges::count_if(timers_, [](const auto& entry) { return entry.second->running(); }));
}

void VirtualTime::schedule(int msFromNow, std::function<void()> action) {
    actions_.emplace(Key{nowMs_ + std::max(0, msFromNow), ++order_}, std::move(action));
}

std::unique_ptr<Timer> VirtualTime::createTimer() { return std::make_unique<VirtualTimer>(*this, ++lastTimerId_); }

bool VirtualTime::nextDue(Key& key, VirtualTimer*& timer) const {
    timer = nullptr;
    bool found = !actions_.empty();
    if (found)
        key = actions_.begin()->first;
    for (const auto& [id, candidate] : timers_)
        if (candidate->running() && (!found || candidate->key_ < key)) {
            key = candidate->key_;
            timer = candidate;
            found = true;
        }
    return found;
}

bool VirtualTime::step(qint64 limitMs) {
    Key key;
    VirtualTimer* timer = nullptr;
    if (!nextDue(key, timer) || key.first > limitMs)
        return false;
    nowMs_ = std::max(nowMs_, key.first);
    idleDoEvents_ = 0;
    if (timer) {
        timer->fire();
    } else {
        const auto action = actions_.extract(actions_.begin()).mapped();
        ++depth_;
        action();
        --depth_;
    }
    pumpQt();
    return true;
}

void VirtualTime::pumpQt() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Outside every handler nothing can still be using an object that asked to be deleted later.
    if (depth_ == 0)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void VirtualTime::report(const QString& message) const {
    QStringList pending;
    for (const auto& [key, action] : actions_)
        pending << QStringLiteral("action at +%1 ms").arg(key.first);
    for (const auto& [id, timer] : timers_)
        if (timer->running())
            pending << QStringLiteral("timer every %1 ms, next at +%2 ms").arg(timer->interval_).arg(timer->key_.first);
    ADD_FAILURE() << message.toStdString() << " (now +" << nowMs_ << " ms; pending: "
                  << (pending.isEmpty() ? QStringLiteral("nothing") : pending.join(u", ")).toStdString() << ")";
}

void VirtualTime::guardFailed(const QString& message) {
    report(message);
    if (++guardFailures_ >= kMaxGuardFailures) {
        std::fprintf(stderr, "VirtualTime: the program keeps waiting for what cannot happen; stopping.\n");
        std::abort();
    }
}

bool VirtualTime::overStepLimit(int steps, const char* caller) {
    if (steps < kMaxStepsPerCall)
        return false;
    guardFailed(QStringLiteral("%1: more than %2 ticks and actions in one call; a repeating timer with nothing to "
                               "end the wait?").arg(QLatin1String(caller)).arg(kMaxStepsPerCall));
    return true;
}

void VirtualTime::doEvents() {
    if (beforeDoEvents)
        beforeDoEvents();
    pumpQt();
    bool ran = false;
    for (int steps = 1; step(nowMs_); ++steps, ran = true)
        if (overStepLimit(steps, "doEvents"))
            return;
    if (ran || ++idleDoEvents_ < kMaxIdleDoEvents)
        return;
    guardFailed(QStringLiteral("doEvents: called %1 times in a row at one instant; a loop that waits for time to "
                               "pass must use waitForEvents or waitUntil").arg(kMaxIdleDoEvents));
    if (!step(kForever)) // let the loop move on, so the test can end
        guardFailed(QStringLiteral("doEvents: nothing can ever happen"));
}

void VirtualTime::waitForEvents() {
    pumpQt();
    if (!step(kForever))
        guardFailed(QStringLiteral("waitForEvents: nothing can ever happen: no timer is running and no action is "
                                   "scheduled, so this wait would never end"));
}

void VirtualTime::waitUntil(const QDateTime& instant) {
    const qint64 target = origin_.msecsTo(instant);
    pumpQt();
    for (int steps = 1; step(target); ++steps)
        if (overStepLimit(steps, "waitUntil"))
            return;
    if (nowMs_ < target) {
        nowMs_ = target;
        idleDoEvents_ = 0;
    }
    pumpQt();
}

bool VirtualTime::runUntil(const std::function<bool()>& predicate, qint64 maxVirtualMs, const QString& what) {
    const qint64 deadline = nowMs_ + maxVirtualMs;
    const QString name = what.isEmpty() ? QStringLiteral("the condition") : what;
    for (int steps = 0;; ++steps) {
        pumpQt();
        if (predicate())
            return true;
        Key key;
        VirtualTimer* timer = nullptr;
        if (!nextDue(key, timer)) {
            report(QStringLiteral("runUntil: %1 never came true and nothing is left to happen").arg(name));
            return false;
        }
        if (key.first > deadline) {
            nowMs_ = std::max(nowMs_, deadline);
            report(QStringLiteral("runUntil: %1 did not come true within %2 virtual ms").arg(name).arg(maxVirtualMs));
            return false;
        }
        if (overStepLimit(steps, "runUntil"))
            return false;
        step(deadline);
    }
}

int VirtualTime::runModal(QDialog& dialog) {
    QPointer<QDialog> guard(&dialog);
    dialog.setResult(0);
    dialog.show();
    runUntil([&] { return !guard || !guard->isVisible(); }, 60 * 60 * 1000,
             QStringLiteral("the dialog '%1' closed").arg(dialog.objectName()));
    if (guard)
        guard->hide(); // a dialog nothing closed must not stay up for the next test
    return guard ? guard->result() : 0;
}

} // namespace halvora::test
