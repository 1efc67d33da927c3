#pragma once

#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/timer.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace halvora::test {

// A clock, timers and an event pump on one virtual time line. Nothing moves unless a test or the
// program waits: the waits jump to the next due timer tick or scheduled action and run it, so a
// minute of show runs in milliseconds. Items due at the same instant run in the order they were
// scheduled or (re)armed. A wait that could never end fails the running test instead of hanging.
class VirtualTime final : public Clock, public TimerFactory, public EventPump {
public:
    // By default Monday 2026-12-07 10:00:00.000 local time.
    explicit VirtualTime(const QDateTime& start = QDateTime(QDate(2026, 12, 7), QTime(10, 0), Qt::LocalTime))
        : origin_(start) {}
    ~VirtualTime() override;
    VirtualTime(const VirtualTime&) = delete;
    VirtualTime& operator=(const VirtualTime&) = delete;

    QDateTime now() const override { return origin_.addMSecs(nowMs_); }
    // Virtual milliseconds since the start.
    qint64 elapsedMs() const { return nowMs_; }

    // Runs `action` at the given instant (a past instant means now).
    void schedule(int msFromNow, std::function<void()> action);
    // Runs everything due up to now + ms, in order, then stands at now + ms.
    void advance(qint64 ms) { waitUntil(now().addMSecs(ms)); }
    // Runs due items until the predicate holds; fails the test after maxVirtualMs or when nothing
    // is left to happen. The predicate is checked before each step.
    bool runUntil(const std::function<bool()>& predicate, qint64 maxVirtualMs, const QString& what = {});
    // Timers that are running.
    int runningTimers() const;

    std::unique_ptr<Timer> createTimer() override;

    void doEvents() override;
    void waitForEvents() override;
    void waitUntil(const QDateTime& instant) override;
    int runModal(QDialog& dialog) override;
    // The application never quits on this time line: a closed window ends the show by its own flags.
    bool quitting() const override { return false; }
    // Runs first in every doEvents call (to note when the program lets pending events run).
    std::function<void()> beforeDoEvents;

private:
    class VirtualTimer;
    using Key = std::pair<qint64, std::uint64_t>; // due, order of arming

    // The earliest item: a scheduled action or a running timer (timer null for an action).
    bool nextDue(Key& key, VirtualTimer*& timer) const;
    // Runs the earliest item if it is due by limitMs; false when there is none.
    bool step(qint64 limitMs);
    void pumpQt();
    bool overStepLimit(int steps, const char* caller);
    // Fails the running test, naming what is pending.
    void report(const QString& message) const;
    // As report; stops the run once waits keep failing.
    void guardFailed(const QString& message);

    QDateTime origin_;
    qint64 nowMs_ = 0;
    std::uint64_t order_ = 0;
    std::uint64_t lastTimerId_ = 0;
    int depth_ = 0;        // nesting of handlers run from this time line
    int idleDoEvents_ = 0; // doEvents calls in a row at one instant that found nothing due
    int guardFailures_ = 0;
    std::map<Key, std::function<void()>> actions_;
    std::map<std::uint64_t, VirtualTimer*> timers_;
};

} // namespace halvora::test
