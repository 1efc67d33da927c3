#include "platform/event_pump.h"

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
} // namespace

void QtEventPump::doEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::waitForEvents() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtEventPump::waitUntil(const QDateTime& instant) {
    for (;;) {
        const qint64 remaining = clock_.now().msecsTo(instant);
        if (remaining <= 0)
            return;
        QEventLoop loop;
        QTimer wake;
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
        wake.start(static_cast<int>(std::min(remaining, kLongestSliceMs)));
        loop.exec();
    }
}

int QtEventPump::runModal(QDialog& dialog) {
    return dialog.exec();
}

} // namespace halvora
