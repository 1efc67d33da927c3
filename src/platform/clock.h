#pragma once

#include <QDateTime>

namespace halvora {

// The local date and time. Waiting for an instant is the EventPump's job, because a wait must let
// events run.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
};

} // namespace halvora
