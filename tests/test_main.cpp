// Runs every headless suite on SDL's dummy drivers: a real window surface to
// read pixels from, a silent sound device, and no display needed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/app.h"

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  testing::InitGoogleTest(&argc, argv);
  std::string error;
  if (!platform::Init(error)) {
    fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  platform::SetApplicationTitle("Quillamor 2000");
  const int result = RUN_ALL_TESTS();
  platform::Shutdown();
  return result;
}
