#include "platform/event_pump.h"

#include "common/number_text.h"
#include "platform/clock.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace halvora {

namespace {

// Long waits sleep in slices, so a wait across a clock change re-checks the clock now and then.
constexpr qint64 kLongestSliceMs = 60 * 60 * 1000;
// Once the application quits, a wait for events blocks at most this long.
constexpr int kQuittingWaitMs = 100;

// Ends a nested loop as soon as the first event of the application has been delivered.
class FirstEventWatch final : public QObject {
public:
    FirstEventWatch(QEventLoop& loop, bool& seen) : loop_(loop), seen_(seen) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~FirstEventWatch() override { QCoreApplication::instance()->removeEventFilter(this); }
    FirstEventWatch(const FirstEventWatch&) = delete;
    FirstEventWatch& operator=(const FirstEventWatch&) = delete;

    bool eventFilter(QObject*, QEvent*) override {
        seen_ = true;
        loop_.quit();
        return false;
    }

private:
    QEventLoop& loop_;
    bool& seen_;
};

// The first instant at which the time of day, read to the second, reads differently.
QDateTime nextWholeSecond(const QDateTime& time) {
    return time.addMSecs(1000 - time.time().msec());
}

} // namespace

bool QtEventPump::runLoop(QEventLoop& loop, const bool& woke) {
    if (!quitting_)
        loop.exec();
    // Only our own wake ends the loop; anything else is the application quitting, which also makes
    // every later nested loop return at once.
    if (!woke)
        quitting_ = true;
    return woke;
}

void QtEventPump::doEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::waitForEvents() {
    if (quitting_) {
        // A new nested loop would return at once: block for the next event, but not for long.
        QTimer::singleShot(kQuittingWaitMs, QCoreApplication::instance(), [] {});
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return;
    }
    QEventLoop loop;
    bool seen = false;
    const FirstEventWatch watch(loop, seen);
    runLoop(loop, seen);
}

void QtEventPump::waitUntil(const QDateTime& instant) {
    if (quitting_)
        doEvents();
    for (;;) {
        const qint64 remaining = clock_.now().msecsTo(instant);
        if (remaining <= 0 || quitting_)
            return;
        QEventLoop loop;
        bool woke = false;
        QTimer wake;
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        QObject::connect(&wake, &QTimer::timeout, &loop, [&] {
            woke = true;
            loop.quit();
        });
        wake.start(static_cast<int>(std::min(remaining, kLongestSliceMs)));
        runLoop(loop, woke);
    }
}

int QtEventPump::runModal(QDialog& dialog) {
    return dialog.exec();
}

void waitSeconds(double count, const Clock& clock, EventPump& pump) {
    const int steps = 1 + std::max<int>(0, roundToInt16(count));
    for (int i = 0; i < steps; ++i) {
        if (pump.quitting())
            return;
        // One step: events run once, then the wait lasts until the clock's second changes.
        const QDateTime target = nextWholeSecond(clock.now());
        pump.doEvents();
        pump.waitUntil(target);
    }
}

} // namespace halvora
