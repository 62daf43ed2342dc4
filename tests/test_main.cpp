// Runs every headless suite on SDL's dummy drivers: a real window surface to
// read pixels from, a silent sound device, and no display needed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <SDL.h>

#include "platform/app.h"
#include "tests/test_support.h"

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  testing::InitGoogleTest(&argc, argv);
  // A test run must stop when it is told to, not turn the signal into a
  // quit request for a window.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  std::string error;
  if (!platform::Init(error)) {
    fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  platform::SetApplicationTitle("Quillamor 2000");
  // Time and the desktop are the test's: ticks come when a test fires them,
  // waits and sounds take no real time, and no command line is ever run.
  platform::UseTestTimeForTest();
  platform::RecordCommandLinesForTest(&IgnoredCommandLines());
  const int result = RUN_ALL_TESTS();
  platform::Shutdown();
  return result;
}
