#pragma once
// Mouse cursors by number, as the window's cursor property knows them: the
// stock ones have fixed numbers, custom ones are registered from resources.
// And the pointer itself, which the bar moves carry along.

#include <cstdint>
#include <string_view>

namespace platform {

constexpr int CURSOR_ARROW = 0;        // the default arrow
constexpr int CURSOR_HOURGLASS = -11;
constexpr int CURSOR_HANDPOINT = -21;

// Loads a two-colour cursor resource and registers it under `number`.
// False when the resource is missing or malformed.
bool RegisterCursor(int number, std::string_view resourceName);
bool CursorRegistered(int number);
// Shows the cursor with that number now (unknown numbers show the arrow).
void ShowCursorNumber(int number);
void ReleaseCursors();

// Moves the mouse pointer to a point in screen pixels. The game aims at its
// main window's Left and Top plus a distance in its own pixels; on a scaled
// window that distance is scaled here, so the pointer lands on the block of
// the pixel the game meant.
void SetCursorPos(int x, int y);

// Where the pointer cannot be moved (Wayland without pointer constraints,
// a web page) or moves without SDL hearing of it (Wayland's pointer lock),
// the pointer is taken to be where the game put it until it next really
// moves: a press there pushes the same bar on, as it does where the pointer
// follows. The dispatch moves a press's or release's (x, y), in the
// window's points, onto that place while it holds; a motion ends it, unless
// it reports the pointer where it really was when the game put it.
void ApplyAssumedPointer(std::uint32_t windowId, int& x, int& y);
void PointerSeenAt(std::uint32_t windowId, int x, int y);

}  // namespace platform
