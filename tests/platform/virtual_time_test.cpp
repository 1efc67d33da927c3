#include "support/virtual_time.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace halvora::test {
namespace {

// "what@ms" entries, so an order mistake shows in one comparison.
struct Log {
    const VirtualTime& time;
    QStringList entries;
    void add(const QString& what) { entries << QStringLiteral("%1@%2").arg(what).arg(time.elapsedMs()); }
    std::function<void()> note(const char* what) {
        return [this, what] { add(QString::fromUtf8(what)); };
    }
};

std::unique_ptr<Timer> startTimer(VirtualTime& time, int interval, std::function<void()> handler) {
    auto timer = time.createTimer();
    timer->setHandler(std::move(handler));
    timer->setInterval(interval);
    timer->setEnabled(true);
    return timer;
}

TEST(VirtualTime, TicksAndActionsRunInOrderOfTheirInstants) {
    VirtualTime time;
    Log log{time, {}};
    auto roulette = startTimer(time, 250, log.note("tick"));
    time.schedule(500, log.note("A"), QStringLiteral("A"));
    time.schedule(600, log.note("B"));
    // A was scheduled before the tick at 500 was armed (at 250), so A runs first at 500.
    time.advance(1000);
    EXPECT_EQ(log.entries, QStringList({"tick@250", "A@500", "tick@500", "B@600", "tick@750", "tick@1000"}));
    EXPECT_EQ(time.now(), QDateTime(QDate(2026, 12, 7), QTime(10, 0, 1)));

    // An action scheduled by an absolute instant; a stopped timer ticks no more.
    log.entries.clear();
    time.schedule(time.now().addMSecs(100), log.note("C"));
    roulette->setEnabled(false);
    time.advance(500);
    EXPECT_EQ(log.entries, QStringList({"C@1100"}));
}

TEST(VirtualTime, TimersFollowTheIntervalAndEnabledRules) {
    VirtualTime time;
    Log log{time, {}};
    auto enabledAgain = startTimer(time, 1000, log.note("E"));
    auto newInterval = startTimer(time, 1000, log.note("I"));
    auto zero = startTimer(time, 0, log.note("Z")); // enabled, but no run until it gets an interval
    // Enabling a running timer keeps its countdown; a new interval restarts it.
    time.schedule(300, [&] { enabledAgain->setEnabled(true); });
    time.schedule(700, [&] { newInterval->setInterval(1000); });
    time.schedule(1200, [&] { zero->setInterval(600); });
    time.schedule(2500, [&] {
        enabledAgain->setEnabled(false);
        newInterval->setEnabled(false);
        zero->setInterval(0);
    });
    time.advance(5000);
    EXPECT_EQ(log.entries, QStringList({"E@1000", "I@1700", "Z@1800", "E@2000", "Z@2400"}));
    EXPECT_EQ(time.runningTimers(), 0);
    EXPECT_TRUE(zero->isEnabled());
}

TEST(VirtualTime, AHandlerMayWaitAndOtherTimersTickInsideTheWait) {
    VirtualTime time;
    Log log{time, {}};
    bool waited = false;
    auto drawEnd = startTimer(time, 250, [&] {
        if (waited) {
            log.add(QStringLiteral("A"));
            return;
        }
        waited = true;
        log.add(QStringLiteral("A-begin"));
        time.waitUntil(time.now().addMSecs(1000));
        log.add(QStringLiteral("A-end"));
    });
    auto announcement = startTimer(time, 1000, [&] {
        log.add(QStringLiteral("B"));
        time.doEvents(); // runs nothing: nothing else is due at this instant
        log.add(QStringLiteral("B-end"));
    });
    time.advance(2000);
    // The waiting timer does not tick again inside its own handler; its ticks resume after, and
    // doEvents runs what is due at its instant (the tick at 2000, armed after B's).
    EXPECT_EQ(log.entries, QStringList({"A-begin@250", "B@1000", "B-end@1000", "A-end@1250", "A@1500",
                                        "A@1750", "B@2000", "A@2000", "B-end@2000"}));
}

TEST(VirtualTime, PumpingRunsQtEventsWithoutMovingTime) {
    VirtualTime time;
    bool posted = false;
    QMetaObject::invokeMethod(
        qApp, [&] { posted = true; }, Qt::QueuedConnection);
    QPointer<QObject> doomed = new QObject;
    doomed->deleteLater();
    time.doEvents();
    EXPECT_TRUE(posted);
    EXPECT_TRUE(doomed.isNull());
    EXPECT_EQ(time.elapsedMs(), 0);

    // waitForEvents jumps to the next item and runs it.
    bool ran = false;
    time.schedule(5000, [&] { ran = true; });
    time.waitForEvents();
    EXPECT_TRUE(ran);
    EXPECT_EQ(time.elapsedMs(), 5000);

    // runUntil stops as soon as the condition holds.
    int ticks = 0;
    auto timer = startTimer(time, 250, [&] { ++ticks; });
    EXPECT_TRUE(time.runUntil([&] { return ticks == 3; }, 10000, QStringLiteral("three ticks")));
    EXPECT_EQ(time.elapsedMs(), 5750);
}

TEST(VirtualTime, RunModalPumpsUntilTheDialogIsClosedAndFailsWhenNothingCan) {
    VirtualTime time;
    QDialog dialog;
    auto* yes = new QPushButton(QStringLiteral("はい"), &dialog);
    QObject::connect(yes, &QPushButton::clicked, &dialog, [&] { dialog.done(6); });
    // The dialog's own timer ticks while it is shown.
    int ticks = 0;
    auto timer = startTimer(time, 600, [&] { ++ticks; });
    bool modalWhileShown = false;
    time.schedule(2000, [&] {
        modalWhileShown = QApplication::activeModalWidget() == &dialog;
        QTest::mouseClick(yes, Qt::LeftButton);
    });
    EXPECT_EQ(time.runModal(dialog), 6);
    EXPECT_EQ(time.elapsedMs(), 2000);
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(modalWhileShown);
    EXPECT_FALSE(dialog.isVisible());

    // Waits that can never end fail instead of hanging.
    timer->setEnabled(false);
    EXPECT_NONFATAL_FAILURE(time.waitForEvents(), "waitForEvents: nothing can ever happen");

    QDialog lonely;
    lonely.setObjectName(QStringLiteral("lonely"));
    EXPECT_NONFATAL_FAILURE(time.runModal(lonely), "nothing can ever close the dialog 'lonely'");
    EXPECT_FALSE(lonely.isVisible());

    // A repeating timer alone never closes a dialog: the virtual hour runs out.
    timer->setEnabled(true);
    EXPECT_NONFATAL_FAILURE(time.runModal(lonely), "still open after a virtual hour");
    EXPECT_NONFATAL_FAILURE(time.runUntil([] { return false; }, 3000, QStringLiteral("never")),
                            "never did not come true within 3000 virtual ms");
}

} // namespace
} // namespace halvora::test
