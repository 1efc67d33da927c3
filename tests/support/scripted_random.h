#pragma once

#include "platform/random.h"

#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <deque>
#include <initializer_list>

namespace halvora::test {

// Hands out a scripted queue of numbers. When the queue runs dry it counts (if asked to) or fails the
// test and returns 0.
class ScriptedRandom final : public Random {
public:
    // Queues the numbers that make the program's pick of 1..max come out as each of `picks`.
    void pushPicks(std::initializer_list<int> picks, int max) {
        for (int pick : picks)
            queue_.push_back(valueForPick(pick, max));
    }
    // When the queue runs dry: numbers whose pick of 1..max goes 1, 2, 3, … (wrapping at max), so
    // every loop that waits for an unused pick ends.
    void setCounting() { counting_ = true; }

    int remaining() const { return static_cast<int>(queue_.size()); }
    int drawn() const { return drawn_; }

    float next() override {
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
    void seed(std::uint64_t) override {}

private:
    static int sixDecimals(float value) { return QString::number(double(value), 'f', 10).mid(2, 6).toInt(); }
    // A number in [0, 1) whose six decimals d give (d mod max) + 1 == pick: the middle of the band of
    // numbers whose six decimals are pick - 1, nudged if rounding moved it.
    static float valueForPick(int pick, int max) {
        EXPECT_TRUE(pick >= 1 && pick <= max) << "ScriptedRandom: nothing picks " << pick << " of 1.." << max;
        float value = static_cast<float>((pick - 0.5) / 1e6);
        for (int tries = 0; tries < 64 && sixDecimals(value) != pick - 1; ++tries)
            value = std::nextafter(value, sixDecimals(value) < pick - 1 ? 1.0f : 0.0f);
        return value;
    }

    std::deque<float> queue_;
    bool counting_ = false;
    int count_ = 0;
    int drawn_ = 0;
};

} // namespace halvora::test
