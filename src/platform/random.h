#pragma once

#include <cstdint>
#include <random>

namespace halvora {

// Single-precision numbers in [0, 1): the program's only random source.
class Random {
public:
    virtual ~Random() = default;
    virtual float next() = 0;
    virtual void seed(std::uint64_t value) = 0;
};

// Mersenne twister; the top 24 bits of a draw form the mantissa, so every value is an exact float < 1.
class MersenneRandom final : public Random {
public:
    float next() override;
    void seed(std::uint64_t value) override;

private:
    std::mt19937 engine_{5489u};
};

} // namespace halvora
