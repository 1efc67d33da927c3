#pragma once

#include <cstdint>

namespace halvora {

class Random;

// The random pick 1..max through which every random choice of the program goes: the first six
// decimals of the next number, modulo max. A max below 1 gives 1.
std::int32_t randomPick(Random& random, std::int16_t max);

} // namespace halvora
