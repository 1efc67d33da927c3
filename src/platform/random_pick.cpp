#include "platform/random_pick.h"

#include "platform/random.h"

#include <QString>

namespace halvora {

std::int32_t randomPick(Random& random, std::int16_t max) {
    if (max < 1)
        return 1;
    const float r = random.next();
    // The first six decimals of the value written with ten decimals.
    const QString t = QString::number(static_cast<double>(r), 'f', 10);
    const std::int32_t d = t.mid(2, 6).toInt();
    return d % max + 1;
}

} // namespace halvora
