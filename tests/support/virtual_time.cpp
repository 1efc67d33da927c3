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
constexpr qint64 kModalLimitMs = 60 * 60 * 1000;
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
    VirtualTimer(const VirtualTimer&) = delete;
    VirtualTimer& operator=(const VirtualTimer&) = delete;

    void setInterval(int milliseconds) override {
        interval_ = milliseconds;
        if (running())
            arm();
    }
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override {
        if (enabled == enabled_)
            return;
        enabled_ = enabled;
        if (running())
            arm();
    }
    bool isEnabled() const override { return enabled_; }
    void setHandler(std::function<void()> onTick) override { handler_ = std::move(onTick); }

    bool running() const { return time_ && enabled_ && interval_ > 0; }
    Key key() const { return {dueMs_, order_}; }
    // The next tick is one interval from now.
    void arm() {
        dueMs_ = time_->nowMs_ + interval_;
        order_ = time_->nextOrder();
    }

    VirtualTime* time_; // null once the time line is gone
    std::uint64_t id_;
    std::function<void()> handler_;
    int interval_ = 0;
    bool enabled_ = false;
    bool ticking_ = false; // a tick that comes due while the handler runs is skipped, as in Qt
    qint64 dueMs_ = 0;
    std::uint64_t order_ = 0;
};

QDateTime VirtualTime::defaultStart() {
    return QDateTime(QDate(2026, 12, 7), QTime(10, 0), Qt::LocalTime);
}

VirtualTime::VirtualTime(const QDateTime& start) : origin_(start) {}

VirtualTime::~VirtualTime() {
    for (auto& [id, timer] : timers_)
        timer->time_ = nullptr;
}

void VirtualTime::setNow(const QDateTime& start) {
    if (nowMs_ != 0 || !actions_.empty() || runningTimers() > 0) {
        ADD_FAILURE() << "VirtualTime::setNow: the time line has already been used";
        return;
    }
    origin_ = start;
}

QDateTime VirtualTime::now() const {
    return origin_.addMSecs(nowMs_);
}

qint64 VirtualTime::msOf(const QDateTime& instant) const {
    return origin_.msecsTo(instant);
}

int VirtualTime::runningTimers() const {
    return static_cast<int>(std::count_if(timers_.begin(), timers_.end(),
                                          [](const auto& entry) { return entry.second->running(); }));
}

void VirtualTime::schedule(int msFromNow, std::function<void()> action, const QString& label) {
    const qint64 due = nowMs_ + std::max(0, msFromNow);
    actions_.emplace(Key{due, nextOrder()}, Action{std::move(action), label});
}

void VirtualTime::schedule(const QDateTime& at, std::function<void()> action, const QString& label) {
    const qint64 due = std::max(nowMs_, msOf(at));
    actions_.emplace(Key{due, nextOrder()}, Action{std::move(action), label});
}

std::unique_ptr<Timer> VirtualTime::createTimer() {
    return std::make_unique<VirtualTimer>(*this, ++lastTimerId_);
}

bool VirtualTime::nextDue(Key& key, VirtualTimer*& timer) const {
    timer = nullptr;
    bool found = !actions_.empty();
    if (found)
        key = actions_.begin()->first;
    for (const auto& [id, candidate] : timers_) {
        if (!candidate->running() || (found && !(candidate->key() < key)))
            continue;
        key = candidate->key();
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
        fireTimer(*timer);
    } else {
        auto node = actions_.extract(actions_.begin());
        ++depth_;
        if (node.mapped().run)
            node.mapped().run();
        --depth_;
    }
    pumpQt();
    return true;
}

void VirtualTime::fireTimer(VirtualTimer& timer) {
    timer.arm();
    if (timer.ticking_)
        return;
    timer.ticking_ = true;
    const std::uint64_t id = timer.id_;
    const auto handler = timer.handler_; // the handler may replace itself or destroy the timer
    ++depth_;
    if (handler)
        handler();
    --depth_;
    if (const auto it = timers_.find(id); it != timers_.end())
        it->second->ticking_ = false;
}

void VirtualTime::pumpQt() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Outside every handler nothing can still be using an object that asked to be deleted later.
    if (depth_ == 0)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString VirtualTime::describePending() const {
    QStringList items;
    for (const auto& [key, action] : actions_)
        items << QStringLiteral("action '%1' at +%2 ms").arg(action.label).arg(key.first);
    for (const auto& [id, timer] : timers_)
        if (timer->running())
            items << QStringLiteral("timer %1 every %2 ms, next at +%3 ms")
                         .arg(id)
                         .arg(timer->interval_)
                         .arg(timer->dueMs_);
    return QStringLiteral("now +%1 ms; pending: %2")
        .arg(nowMs_)
        .arg(items.isEmpty() ? QStringLiteral("nothing") : items.join(QStringLiteral(", ")));
}

void VirtualTime::guardFailed(const QString& message) {
    ADD_FAILURE() << message.toStdString() << " (" << describePending().toStdString() << ")";
    if (++guardFailures_ >= kMaxGuardFailures) {
        std::fprintf(stderr, "VirtualTime: the program keeps waiting for what cannot happen; stopping.\n");
        std::abort();
    }
}

bool VirtualTime::overStepLimit(int steps, const char* caller) {
    if (steps < kMaxStepsPerCall)
        return false;
    guardFailed(QStringLiteral("%1: more than %2 ticks and actions in one call; a repeating timer with "
                               "nothing to end the wait?")
                    .arg(QLatin1String(caller))
                    .arg(kMaxStepsPerCall));
    return true;
}

void VirtualTime::advance(qint64 ms) {
    waitUntil(now().addMSecs(ms));
}

void VirtualTime::doEvents() {
    pumpQt();
    int steps = 0;
    bool ran = false;
    while (step(nowMs_)) {
        ran = true;
        if (overStepLimit(++steps, "doEvents"))
            return;
    }
    if (ran || ++idleDoEvents_ < kMaxIdleDoEvents)
        return;
    guardFailed(QStringLiteral("doEvents: called %1 times in a row at one instant; a loop that waits for "
                               "time to pass must use waitForEvents or waitUntil")
                    .arg(kMaxIdleDoEvents));
    // Let the loop move on, so the test can end.
    if (!step(kForever))
        guardFailed(QStringLiteral("doEvents: nothing can ever happen"));
}

void VirtualTime::waitForEvents() {
    pumpQt();
    if (quitting_)
        return;
    if (!step(kForever))
        guardFailed(
            QStringLiteral("waitForEvents: nothing can ever happen: no timer is running and no action "
                           "is scheduled, so this wait would never end"));
}

void VirtualTime::waitUntil(const QDateTime& instant) {
    const qint64 target = msOf(instant);
    pumpQt();
    if (quitting_)
        return;
    int steps = 0;
    while (step(target))
        if (overStepLimit(++steps, "waitUntil"))
            return;
    if (nowMs_ < target) {
        nowMs_ = target;
        idleDoEvents_ = 0;
    }
    pumpQt();
}

bool VirtualTime::runUntil(const std::function<bool()>& predicate, qint64 maxVirtualMs, const QString& what) {
    const qint64 deadline = nowMs_ + maxVirtualMs;
    const std::string name = what.isEmpty() ? std::string("the condition") : what.toStdString();
    for (int steps = 0;; ++steps) {
        pumpQt();
        if (predicate())
            return true;
        Key key;
        VirtualTimer* timer = nullptr;
        if (!nextDue(key, timer)) {
            ADD_FAILURE() << "runUntil: " << name << " never came true and nothing is left to happen ("
                          << describePending().toStdString() << ")";
            return false;
        }
        if (key.first > deadline) {
            nowMs_ = std::max(nowMs_, deadline);
            ADD_FAILURE() << "runUntil: " << name << " did not come true within " << maxVirtualMs
                          << " virtual ms (" << describePending().toStdString() << ")";
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
    runUntil([&] { return !guard || !guard->isVisible(); }, kModalLimitMs,
             QStringLiteral("the dialog '%1' closed").arg(dialog.objectName()));
    if (guard)
        guard->hide(); // a dialog nothing closed must not stay up for the next test
    return guard ? guard->result() : 0;
}

} // namespace halvora::test
