// Where the game has no display connection of its own to wait on (Windows,
// and the web page, whose sources.cmake lists this file too), the system's
// wait for input serves (WaitForInputUntil).

#include "platform/system.h"

namespace platform {

bool OpenDisplayWait(SDL_Window*) { return false; }
void RingDisplayWait() {}
bool DisplayInputBuffered() { return false; }
bool WaitOnDisplay(std::int64_t) { return false; }
void CloseDisplayWait() {}

}  // namespace platform
