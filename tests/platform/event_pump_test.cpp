#include "platform/clock.h"
#include "platform/event_pump.h"
#include "support/virtual_time.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <utility>

namespace halvora {
namespace {

// The application quits during a long wait, inside its main loop: that wait ends then, and every
// wait after it ends at once, so closing the window during a turn never hangs the program.
TEST(QtEventPump, WaitsEndWhenTheApplicationQuits) {
    SystemClock clock;
    QtEventPump pump(clock);
    qint64 quitWaitMs = -1, laterWaitsMs = -1;
    QTimer::singleShot(0, qApp, [&] {
        QTimer::singleShot(50, qApp, [] { QCoreApplication::exit(0); });
        QTimer::singleShot(15000, qApp, [] {}); // so a wait that never ends cannot hang the test
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_FALSE(pump.quitting());
        pump.waitUntil(clock.now().addSecs(10));
        quitWaitMs = elapsed.restart();
        pump.waitForEvents();
        pump.waitUntil(clock.now().addSecs(10));
        waitSeconds(10, clock, pump);
        laterWaitsMs = elapsed.elapsed();
    });
    QApplication::exec();
    EXPECT_TRUE(pump.quitting());
    EXPECT_GE(quitWaitMs, 40); // the wait blocked, running events, until the quit
    EXPECT_LT(quitWaitMs, 1000);
    EXPECT_LT(laterWaitsMs, 1000);
}

// A wait of whole seconds ends at a change of the second: the first change counts however soon it
// comes, and midnight is a change like any other.
TEST(waitSeconds, EndsAtAChangeOfTheSecond) {
    const auto at = [](const char* time) {
        return QDateTime::fromString(QStringLiteral("2011-09-") + QLatin1String(time), Qt::ISODateWithMs);
    };
    for (const auto& [start, end] :
         {std::pair("26T10:00:00.999", "26T10:00:03.000"), std::pair("26T23:59:59.500", "27T00:00:02.000")}) {
        test::VirtualTime time(at(start));
        waitSeconds(2, time, time);
        EXPECT_EQ(time.now(), at(end)) << start;
    }
}

} // namespace
} // namespace halvora
