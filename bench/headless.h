#pragma once
// How the benchmarks that need no display start: SDL's dummy video and
// audio drivers (unless others are chosen), then the platform layer.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/app.h"

namespace bench {

// False, with the reason on stderr, when the platform layer cannot start.
inline bool StartHeadless() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::string error;
  if (platform::Init(error)) return true;
  std::fprintf(stderr, "%s\n", error.c_str());
  return false;
}

}  // namespace bench
