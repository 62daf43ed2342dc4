// Where the system shows a window's surface itself (Linux, Windows), SDL's
// own update puts the rectangle on the screen; the web page has its own.

#include "platform/system.h"

namespace platform {

void UpdateSurfaceRect(SDL_Window* window, const SDL_Rect& rect) { SDL_UpdateWindowSurfaceRects(window, &rect, 1); }

}  // namespace platform
