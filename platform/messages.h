#pragma once
// Hidden message windows: a handle that posted messages are delivered to on
// the user-interface thread. Posting is safe from any thread; a message for
// a handle that has been deallocated is dropped.

#include <cstdint>
#include <functional>

namespace platform {

using HWND = std::uint32_t;
using WindowProc = std::function<void(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)>;

constexpr std::uint32_t WM_USER = 1024;

HWND AllocateHWnd(WindowProc proc);
void DeallocateHWnd(HWND window);
// False when the message could not be queued.
bool PostMessage(HWND window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace platform
