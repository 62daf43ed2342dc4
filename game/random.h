#pragma once
// The program's one pseudo-random generator. Only the level dealer draws
// from it; it is seeded from the UTC time of day in milliseconds.

#include <cstdint>

namespace game {

// Seeds the generator from the clock.
void Randomize();
void RandSeed(std::uint32_t seed);
// A uniform integer in 0..n-1 (n >= 1).
std::int32_t Random(std::int32_t n);
// A uniform real in [0, 1).
double Random();

}  // namespace game
