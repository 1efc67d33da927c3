#include "platform/random.h"

namespace halvora {

float MersenneRandom::next() {
    // 24 random bits scaled by 2^-24 are exact in single precision and strictly below 1.
    const std::uint32_t bits = engine_() >> 8;
    return static_cast<float>(bits) * (1.0f / 16777216.0f);
}

void MersenneRandom::seed(std::uint64_t value) {
    std::seed_seq sequence{static_cast<std::uint32_t>(value), static_cast<std::uint32_t>(value >> 32)};
    engine_.seed(sequence);
}

} // namespace halvora
