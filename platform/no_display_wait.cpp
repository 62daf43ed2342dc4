// Where the game has no display connection of its own to wait on (Windows,
// the web page), the system's wait for input serves (WaitForInputUntil).

#include "platform/system.h"

namespace platform {

bool OpenDisplayWait(SDL_Window*) { return false; }
void RingDisplayWait() {}
bool DisplayInputBuffered() { return false; }
void WaitOnDisplay(std::int64_t) {}
void CloseDisplayWait() {}

}  // namespace platform
