#pragma once
// The game's pseudo-random generator: uniform integers in 0..n-1 and reals
// in [0, 1). Whoever owns it seeds it; the rules only draw from it.

#include <cstdint>
#include <random>

namespace game {

class TRandom {
 public:
  void Seed(std::uint32_t seed) { generator_.seed(seed); }
  // n >= 1.
  std::int32_t Random(std::int32_t n) { return std::uniform_int_distribution<std::int32_t>(0, n - 1)(generator_); }
  double Random() { return std::uniform_real_distribution<double>(0.0, 1.0)(generator_); }

 private:
  std::mt19937 generator_;
};

}  // namespace game
