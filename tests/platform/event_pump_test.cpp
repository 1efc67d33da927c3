#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/timer.h"
#include "support/virtual_time.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace halvora {
namespace {

// Qt timers in a real event loop, measured in real milliseconds.
class QtTimers : public ::testing::Test {
protected:
    QtTimers() { clock_.start(); }
    qint64 now() const { return clock_.elapsed(); }
    void at(qint64 ms, std::function<void()> action) {
        QTimer::singleShot(static_cast<int>(std::max<qint64>(0, ms - now())), Qt::PreciseTimer, &context_,
                           std::move(action));
    }
    void runUntil(qint64 ms) {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(ms - now()), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }

    QElapsedTimer clock_;
    QtTimerFactory factory;
    QObject context_; // pending actions die with the test
};

TEST_F(QtTimers, TickAtTheIntervalWhileEnabled) {
    const int u = 60;
    auto timer = factory.createTimer();
    std::vector<qint64> ticks;
    timer->setHandler([&] { ticks.push_back(now()); });
    const qint64 started = now();
    timer->setInterval(u);
    timer->setEnabled(true);
    qint64 reEnabled = 0, restarted = 0;
    std::size_t ticksWhenStopped = 0;
    at(5 * u / 2, [&] { reEnabled = now(), timer->setEnabled(true); });
    at(7 * u / 2, [&] { restarted = now(), timer->setInterval(u); });
    at(5 * u, [&] { ticksWhenStopped = ticks.size(), timer->setEnabled(false); });
    at(6 * u, [&] { timer->setInterval(0), timer->setEnabled(true); });
    runUntil(8 * u);
    const auto firstTickFrom = [&](qint64 t) {
        const auto it = std::ranges::find_if(ticks, [t](qint64 tick) { return tick >= t; });
        return it == ticks.end() ? qint64{-1} : *it;
    };

    // Ticks repeat one interval apart (real ones may come late, never early).
    ASSERT_GE(ticks.size(), 4u);
    EXPECT_GE(ticks[0] - started, u - 1);
    EXPECT_GE(ticks[1] - started, 2 * u - 1);
    // Enabling a running timer keeps its countdown; a new interval restarts it.
    EXPECT_LT(firstTickFrom(reEnabled), reEnabled + u);
    EXPECT_GE(firstTickFrom(restarted), restarted + u - 1);
    // Disabled, or enabled with interval 0: no tick.
    EXPECT_EQ(ticks.size(), ticksWhenStopped);
    EXPECT_TRUE(timer->isEnabled());
}

TEST(QtEventPump, WaitsBlockUntilTheInstantAndEndAtOnceWhenTheApplicationQuits) {
    SystemClock clock;
    QtEventPump pump(clock);
    bool posted = false;
    QMetaObject::invokeMethod(
        qApp, [&] { posted = true; }, Qt::QueuedConnection);
    const QDateTime instant = clock.now().addMSecs(30);
    pump.waitUntil(instant);
    EXPECT_GE(clock.now(), instant);
    EXPECT_TRUE(posted);
    EXPECT_FALSE(pump.quitting());

    // The application quits during a long wait, inside its main loop; the waits after it end too.
    qint64 quitWaitMs = -1, laterWaitsMs = -1;
    QTimer::singleShot(0, qApp, [&] {
        QTimer::singleShot(50, qApp, [] { QCoreApplication::exit(0); });
        QTimer::singleShot(15000, qApp, [] {}); // so a wait that never ends cannot hang the test
        QElapsedTimer elapsed;
        elapsed.start();
        pump.waitUntil(clock.now().addSecs(10));
        quitWaitMs = elapsed.restart();
        pump.waitForEvents();
        pump.waitUntil(clock.now().addSecs(10));
        WaitSeconds(10, clock, pump);
        laterWaitsMs = elapsed.elapsed();
    });
    QApplication::exec();
    EXPECT_TRUE(pump.quitting());
    EXPECT_GE(quitWaitMs, 40);
    EXPECT_LT(quitWaitMs, 1000);
    EXPECT_LT(laterWaitsMs, 1000);
}

QDateTime at(const char* time) {
    return QDateTime(QDate(2011, 9, 26), QTime::fromString(time, "hh:mm:ss.zzz"));
}

QDateTime waitFrom(const char* start, double count) {
    test::VirtualTime time(at(start));
    WaitSeconds(count, time, time);
    return time.now();
}

TEST(WaitSeconds, EndsAtAChangeOfTheSecond) {
    // Between count and count + 1 seconds, ending at a change of the second.
    EXPECT_EQ(waitFrom("10:00:00.300", 2), at("10:00:03.000"));
    EXPECT_EQ(waitFrom("10:00:00.999", 2.5), at("10:00:03.000"));
    // Nothing to count: only the next change of the second; a huge count is clamped, not wrapped.
    for (double count : {0.0, -1.0, std::nan("")})
        EXPECT_EQ(waitFrom("10:00:00.300", count), at("10:00:01.000")) << count;
    EXPECT_EQ(waitFrom("10:00:00.300", 1e6), at("10:00:01.000").addSecs(32767));
    // Across midnight.
    test::VirtualTime time(at("23:59:59.500"));
    WaitSeconds(2, time, time);
    EXPECT_EQ(time.now(), QDateTime(QDate(2011, 9, 27), QTime(0, 0, 2)));
    // Once the application quits, nothing more is waited for.
    time.quit();
    WaitSeconds(5, time, time);
    EXPECT_EQ(time.now(), QDateTime(QDate(2011, 9, 27), QTime(0, 0, 2)));
}

} // namespace
} // namespace halvora
