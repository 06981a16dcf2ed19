#pragma once
// The one random source of the programs. Same seed, same sequence, on every machine.
#include <cstdint>
#include <random>

class RandomSource {
public:
    explicit RandomSource(std::uint64_t seed = 1) : engine_(seed) {}
    // A number in [0, 1), like the runtime's Rnd.
    double next();
    // A whole number in [0, n) for n > 0.
    std::uint64_t below(std::uint64_t n);
    void reseed(std::uint64_t seed) { engine_.seed(seed); }

private:
    std::mt19937_64 engine_;
};
