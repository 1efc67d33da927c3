#pragma once

#include "platform/random.h"

#include <cstdint>
#include <deque>
#include <initializer_list>

namespace halvora::test {

// Hands out a scripted queue of numbers. When the queue runs dry it counts (if asked to) or fails the
// test and returns 0.
class ScriptedRandom final : public Random {
public:
    void push(float value) { queue_.push_back(value); }
    // Queues the numbers that make the program's pick of 1..max come out as each of `picks`.
    void pushPicks(std::initializer_list<int> picks, int max);
    // When the queue runs dry: numbers whose pick of 1..max goes 1, 2, 3, … (wrapping at max), so
    // every loop that waits for an unused pick ends.
    void setCounting() { counting_ = true; }

    int remaining() const { return static_cast<int>(queue_.size()); }
    int drawn() const { return drawn_; }

    float next() override;
    void seed(std::uint64_t) override {}

private:
    std::deque<float> queue_;
    bool counting_ = false;
    int count_ = 0;
    int drawn_ = 0;
};

} // namespace halvora::test
