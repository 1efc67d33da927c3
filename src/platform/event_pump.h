#pragma once

#include <QDateTime>

class QDialog;
class QEventLoop;

namespace halvora {

class Clock;

// Every place that lets pending events run goes through here, so tests can drive it in virtual time.
// The waits block in the event loop; none of them keeps the processor busy.
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
    // True once the application has begun to quit: from then on every wait returns at once, so
    // loops of waits must stop.
    virtual bool quitting() const = 0;
};

class QtEventPump final : public EventPump {
public:
    explicit QtEventPump(const Clock& clock) : clock_(clock) {}
    void doEvents() override;
    void waitForEvents() override;
    void waitUntil(const QDateTime& instant) override;
    int runModal(QDialog& dialog) override;
    bool quitting() const override { return quitting_; }

private:
    // Runs a nested event loop until `wake` ends it; false when the application ended it instead.
    bool runLoop(QEventLoop& loop, const bool& woke);

    const Clock& clock_;
    bool quitting_ = false;
};

// Pauses for `count` whole seconds (converted to a 16-bit integer), ending just after a change of the
// clock's second; a count of 0 or less waits for the next change. Events run while it blocks; it
// ends early once the application is quitting.
void waitSeconds(double count, const Clock& clock, EventPump& pump);

} // namespace halvora
