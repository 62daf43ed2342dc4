#include "game/random.h"

#include <random>

#include "platform/app.h"

namespace game {
namespace {
std::mt19937 g_generator;
}  // namespace

void Randomize() { RandSeed(platform::UtcMillisecondsOfDay()); }

void RandSeed(std::uint32_t seed) { g_generator.seed(seed); }

std::int32_t Random(std::int32_t n) { return std::uniform_int_distribution<std::int32_t>(0, n - 1)(g_generator); }

double Random() { return std::uniform_real_distribution<double>(0.0, 1.0)(g_generator); }

}  // namespace game
