#pragma once
// The game's pseudo-random generator: uniform integers in 0..n-1 and reals
// in [0, 1). Whoever owns it seeds it; the rules only draw from it.
//
// The twister's output is the same under every C++ library, but the
// library's distributions are not: each maps it to a range its own way. So
// the mapping is ours, and one seed deals one level on every system.

#include <cstdint>
#include <random>

namespace game {

class TRandom {
 public:
  void Seed(std::uint32_t seed) { generator_.seed(seed); }

  // n >= 1. Draws falling in the incomplete last round of n are thrown
  // away, so every value is equally likely.
  std::int32_t Random(std::int32_t n) {
    const std::uint64_t range = static_cast<std::uint64_t>(n);
    const std::uint64_t usable = (std::uint64_t{1} << 32) / range * range;
    std::uint64_t draw;
    do draw = generator_(); while (draw >= usable);
    return static_cast<std::int32_t>(draw % range);
  }

  // 53 random bits, the whole precision of a double: 27 from one draw and
  // 26 from the next.
  double Random() {
    const std::uint64_t high = generator_() >> 5;
    const std::uint64_t low = generator_() >> 6;
    return static_cast<double>((high << 26) | low) / 9007199254740992.0;  // 2^53
  }

 private:
  std::mt19937 generator_;
};

}  // namespace game
