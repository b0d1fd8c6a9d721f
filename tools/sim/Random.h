#pragma once
// A small deterministic random source (splitmix64): the same seed gives the same values on every
// platform, unlike the standard distributions whose results differ between libraries.

#include <cstdint>

namespace sim {

class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A whole number from lo to hi, both included.
    long long Between(long long lo, long long hi) {
        if (hi <= lo) return lo;
        const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
        return lo + static_cast<long long>(Next() % span);
    }
    // A real number from 0 (included) to 1 (excluded).
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    // A real number from lo to hi.
    double Real(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    // True with the given probability.
    bool Chance(double p) { return Unit() < p; }

  private:
    std::uint64_t state_;
};

}  // namespace sim
