#include "platform/clock.h"
#include "platform/event_pump.h"
#include "support/virtual_time.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace halvora {
namespace {

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
        waitSeconds(10, clock, pump);
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
    waitSeconds(count, time, time);
    return time.now();
}

TEST(waitSeconds, EndsAtAChangeOfTheSecond) {
    // Between count and count + 1 seconds, ending at a change of the second.
    EXPECT_EQ(waitFrom("10:00:00.300", 2), at("10:00:03.000"));
    EXPECT_EQ(waitFrom("10:00:00.999", 2.5), at("10:00:03.000"));
    // Nothing to count: only the next change of the second; a huge count is clamped, not wrapped.
    for (double count : {0.0, -1.0, std::nan("")})
        EXPECT_EQ(waitFrom("10:00:00.300", count), at("10:00:01.000")) << count;
    EXPECT_EQ(waitFrom("10:00:00.300", 1e6), at("10:00:01.000").addSecs(32767));
    // Across midnight.
    test::VirtualTime time(at("23:59:59.500"));
    waitSeconds(2, time, time);
    EXPECT_EQ(time.now(), QDateTime(QDate(2011, 9, 27), QTime(0, 0, 2)));
    // Once the application quits, nothing more is waited for.
    time.quit();
    waitSeconds(5, time, time);
    EXPECT_EQ(time.now(), QDateTime(QDate(2011, 9, 27), QTime(0, 0, 2)));
}

} // namespace
} // namespace halvora
