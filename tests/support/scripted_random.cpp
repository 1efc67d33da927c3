#include "scripted_random.h"

#include <QString>

#include <gtest/gtest.h>

#include <cmath>

namespace halvora::test {

namespace {
// The first six decimals of the number written with ten decimals.
int sixDecimals(float value) {
    return QString::number(double(value), 'f', 10).mid(2, 6).toInt();
}

// A number in [0, 1) whose six decimals d give (d mod max) + 1 == pick.
float valueForPick(int pick, int max) {
    if (max < 1 || pick < 1 || pick > max) {
        ADD_FAILURE() << "valueForPick: no number picks " << pick << " of 1.." << max;
        return 0.0f;
    }
    const int wanted = pick - 1;
    // The middle of the band of numbers whose six decimals are `wanted`; nudge if rounding moved it.
    float value = static_cast<float>((wanted + 0.5) / 1e6);
    for (int tries = 0; tries < 64 && sixDecimals(value) != wanted; ++tries)
        value = std::nextafter(value, sixDecimals(value) < wanted ? 1.0f : 0.0f);
    return value;
}
} // namespace

float ScriptedRandom::next() {
    ++drawn_;
    if (!queue_.empty()) {
        const float value = queue_.front();
        queue_.pop_front();
        return value;
    }
    if (counting_)
        return valueForPick(count_++ % 720720 + 1, 1000000); // 720720 is a multiple of 1..16
    ADD_FAILURE() << "ScriptedRandom: the script is used up after " << drawn_ - 1 << " numbers";
    return 0.0f;
}

void ScriptedRandom::pushPicks(std::initializer_list<int> picks, int max) {
    for (int pick : picks)
        push(valueForPick(pick, max));
}

} // namespace halvora::test
