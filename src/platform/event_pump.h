#pragma once

#include <QDateTime>

class QDialog;

namespace halvora {

class Clock;

// Every place that lets pending events run goes through here, so tests can drive it in virtual time.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Runs the events that are pending now; never blocks.
    virtual void doEvents() = 0;
    // Blocks in the event loop until at least one event has been handled.
    virtual void waitForEvents() = 0;
    // Blocks in the event loop, handling events, until the clock has reached the instant.
    virtual void waitUntil(const QDateTime& instant) = 0;
    // Shows the dialog modally; returns its result once it has been closed or hidden.
    virtual int runModal(QDialog& dialog) = 0;
};

class QtEventPump final : public EventPump {
public:
    explicit QtEventPump(const Clock& clock) : clock_(clock) {}
    void doEvents() override;
    void waitForEvents() override;
    void waitUntil(const QDateTime& instant) override;
    int runModal(QDialog& dialog) override;

private:
    const Clock& clock_;
};

} // namespace halvora
