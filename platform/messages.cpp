#include "platform/messages.h"

#include <SDL.h>

#include <map>

#include "platform/internal.h"

namespace platform {
namespace {

// Only the user-interface thread touches the registry; other threads only
// post, and a posted message carries the handle, never a pointer.
std::map<HWND, WindowProc> g_hiddenWindows;
HWND g_nextHandle = 1;

}  // namespace

HWND AllocateHWnd(WindowProc proc) {
  const HWND handle = g_nextHandle++;
  g_hiddenWindows.emplace(handle, std::move(proc));
  return handle;
}

void DeallocateHWnd(HWND window) { g_hiddenWindows.erase(window); }

bool PostMessage(HWND window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  SDL_Event event{};
  event.type = PostedMessageEvent();
  event.user.code = static_cast<Sint32>(msg);
  event.user.data1 = reinterpret_cast<void*>(static_cast<std::uintptr_t>(window));
  event.user.data2 = reinterpret_cast<void*>(wParam);
  // The game posts no lParam but 0; the windowID slot keeps it, being unused
  // for posted messages.
  event.user.windowID = static_cast<Uint32>(lParam);
  if (SDL_PushEvent(&event) != 1) return false;
  WakeMessageLoop();
  return true;
}

void DeliverPostedMessage(const SDL_UserEvent& event) {
  const HWND handle = static_cast<HWND>(reinterpret_cast<std::uintptr_t>(event.data1));
  auto it = g_hiddenWindows.find(handle);
  if (it == g_hiddenWindows.end()) return;  // its window is gone: drop it
  // A copy, so that a procedure that deallocates its own window stays valid
  // while it runs.
  WindowProc proc = it->second;
  proc(static_cast<std::uint32_t>(event.code), reinterpret_cast<std::uintptr_t>(event.data2),
       static_cast<std::intptr_t>(event.windowID));
}

}  // namespace platform
