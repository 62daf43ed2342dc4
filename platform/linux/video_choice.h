#pragma once
// Which of SDL's video drivers serves a player on Linux best. Under Wayland
// both the native driver and XWayland show the game, but only natively can
// the pointer go along with a bar the player pushes, and only where the
// compositor offers pointer constraints; without them XWayland at least
// keeps the pointer where the game thinks it is, for the X client's part.

#include <vector>

namespace platform {

struct DisplaysNamed {
  bool wayland = false;  // WAYLAND_DISPLAY
  bool x = false;        // DISPLAY (XWayland, on a Wayland desktop)
  bool waylandCarriesPointer = false;
};

// The drivers in the order to try them; empty leaves it to SDL (X alone,
// or nothing at all: the game's start-up says so).
inline std::vector<const char*> VideoDriverOrder(const DisplaysNamed& named) {
  if (!named.wayland) return {};
  if (!named.x) return {"wayland"};
  if (named.waylandCarriesPointer) return {"wayland", "x11"};
  return {"x11", "wayland"};
}

}  // namespace platform
