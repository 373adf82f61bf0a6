#pragma once
// The generators' random numbers: splitmix64, so that a seed gives the same logs on every
// platform and compiler.
#include <cstdint>

namespace truno::loggen {

class Random {
public:
    // `stream` tells apart generators that take the same seed (the single log's and the network's).
    explicit Random(std::uint64_t seed, std::uint64_t stream = 1) : state_(seed * 0x9E3779B97F4A7C15ull + stream) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }
    std::int64_t between(std::int64_t from, std::int64_t to) { return from + below(static_cast<unsigned>(to - from + 1)); }

private:
    std::uint64_t state_;
};

}  // namespace truno::loggen
