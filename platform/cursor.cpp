#include "platform/cursor.h"

#include <SDL.h>

#include <map>

#include "platform/resources.h"
#include "platform/windows_images.h"

namespace platform {
namespace {

std::map<int, SDL_Cursor*> g_cursors;

// The toolkit's own cursors, made on first use and kept under their numbers.
SDL_Cursor* StockCursor(int number) {
  SDL_SystemCursor id = SDL_SYSTEM_CURSOR_ARROW;
  if (number == CURSOR_HANDPOINT) id = SDL_SYSTEM_CURSOR_HAND;
  if (number == CURSOR_HOURGLASS) id = SDL_SYSTEM_CURSOR_WAIT;
  SDL_Cursor* cursor = SDL_CreateSystemCursor(id);
  if (cursor != nullptr) g_cursors[number] = cursor;
  return cursor;
}

}  // namespace

bool RegisterCursor(int number, std::string_view resourceName) {
  const auto image = ReadCursor(FindResource(ResourceKind::Cursor, resourceName));
  if (!image) return false;
  // Without a pointer to show (the headless drivers) the number is still
  // known, it just shows nothing.
  SDL_Cursor* cursor =
      SDL_CreateCursor(image->data.data(), image->mask.data(), image->width, image->height, image->hotX, image->hotY);
  if (auto old = g_cursors.find(number); old != g_cursors.end() && old->second != nullptr) SDL_FreeCursor(old->second);
  g_cursors[number] = cursor;
  return true;
}

bool CursorRegistered(int number) { return g_cursors.count(number) != 0; }

void ShowCursorNumber(int number) {
  auto it = g_cursors.find(number);
  SDL_Cursor* cursor = it != g_cursors.end() ? it->second : StockCursor(number);
  if (cursor != nullptr) SDL_SetCursor(cursor);
}

void ReleaseCursors() {
  SDL_SetCursor(SDL_GetDefaultCursor());
  for (auto& [number, cursor] : g_cursors)
    if (cursor != nullptr) SDL_FreeCursor(cursor);
  g_cursors.clear();
}

}  // namespace platform
