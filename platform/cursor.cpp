#include "platform/cursor.h"

#include <SDL.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

#include "platform/internal.h"
#include "platform/resources.h"
#include "platform/scale.h"
#include "platform/sdl_handle.h"
#include "platform/seams.h"
#include "platform/system.h"
#include "platform/window.h"
#include "platform/cursor_icon_files.h"

namespace platform {
namespace {

using CursorHandle = SdlHandle<SDL_Cursor>;

// A number maps to no cursor under the headless drivers, which cannot make one.
std::map<int, CursorHandle> g_cursors;
PointerMover g_mover = MoveSystemPointer;

// A place in a window, in its points.
struct PointerPlace {
  std::uint32_t window;
  int x, y;
  bool operator==(const PointerPlace&) const = default;
};
// Where SDL last saw the pointer.
std::optional<PointerPlace> g_seen;
// Where the game put a pointer it could not move, and where the pointer
// really was then.
struct AssumedPointer {
  PointerPlace put;
  std::optional<PointerPlace> really;
};
std::optional<AssumedPointer> g_assumed;

// The toolkit's own cursors, made on first use and kept under their numbers.
SDL_Cursor* StockCursor(int number) {
  SDL_SystemCursor id = SDL_SYSTEM_CURSOR_ARROW;
  if (number == CURSOR_HANDPOINT) id = SDL_SYSTEM_CURSOR_HAND;
  if (number == CURSOR_HOURGLASS) id = SDL_SYSTEM_CURSOR_WAIT;
  CursorHandle cursor(SDL_CreateSystemCursor(id));
  if (cursor == nullptr) return nullptr;
  return (g_cursors[number] = std::move(cursor)).get();
}

}  // namespace

bool RegisterCursor(int number, std::string_view resourceName) {
  const auto image = ReadCursor(FindResource(ResourceKind::Cursor, resourceName));
  if (!image) return false;
  // Without a pointer to show (the headless drivers) the number is still
  // known, it just shows nothing.
  g_cursors[number] = CursorHandle(
      SDL_CreateCursor(image->data.data(), image->mask.data(), image->width, image->height, image->hotX, image->hotY));
  return true;
}

bool CursorRegistered(int number) { return g_cursors.count(number) != 0; }

void ShowCursorNumber(int number) {
  auto it = g_cursors.find(number);
  SDL_Cursor* cursor = it != g_cursors.end() ? it->second.get() : StockCursor(number);
  if (cursor != nullptr) SDL_SetCursor(cursor);
}

void ReleaseCursors() {
  SDL_SetCursor(SDL_GetDefaultCursor());
  g_cursors.clear();
  g_assumed.reset();
  g_seen.reset();
  ClosePointerMover();
}

void SetCursorPos(int x, int y) {
  const Window* main = MainWindow();
  if (main != nullptr) {
    x = ScalePastCorner(x, main->Left(), main->Scale());
    y = ScalePastCorner(y, main->Top(), main->Scale());
  }
  SDL_Window* window = main != nullptr ? SDL_GetWindowFromID(main->Id()) : nullptr;
  const bool seen = g_mover(window, x, y);
  if (window == nullptr) return;
  if (seen) {
    g_assumed.reset();
    return;
  }
  int left = 0, top = 0;
  SDL_GetWindowPosition(window, &left, &top);
  g_assumed = AssumedPointer{{main->Id(), x - left, y - top}, g_seen};
}

void ApplyAssumedPointer(std::uint32_t windowId, int& x, int& y) {
  g_seen = PointerPlace{windowId, x, y};
  if (!g_assumed || g_assumed->put.window != windowId) return;
  x = g_assumed->put.x;
  y = g_assumed->put.y;
}

void PointerSeenAt(std::uint32_t windowId, int x, int y) {
  g_seen = PointerPlace{windowId, x, y};
  // A browser announces a pointer that has not moved again when it comes
  // back over the canvas: that is no move of the player's. Its place may be
  // rounded a pixel off the one the press had, where the page scales the
  // canvas by a fraction.
  if (g_assumed && g_assumed->really && g_assumed->really->window == windowId &&
      std::abs(g_assumed->really->x - x) <= 1 && std::abs(g_assumed->really->y - y) <= 1)
    return;
  g_assumed.reset();
}

bool MoveSystemPointer(SDL_Window* window, int x, int y) {
  if (window != nullptr) return MovePointer(window, x, y);
  SDL_WarpMouseGlobal(x, y);
  return true;
}

void UsePointerMover(PointerMover mover) { g_mover = mover ? std::move(mover) : MoveSystemPointer; }

}  // namespace platform
