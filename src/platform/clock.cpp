#include "platform/clock.h"

namespace halvora {

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

} // namespace halvora
