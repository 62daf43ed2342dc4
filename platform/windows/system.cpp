// Windows' side of platform/system.h. <windows.h> stays in this file: it
// defines names of the platform's own headers as macros.

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <stdexcept>

#include "platform/system.h"
#include "platform/window_screen.h"

namespace platform {
namespace {

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
  if (length > 1) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
  return wide;
}

void ShowError(const std::string& message) {
  MessageBoxW(nullptr, Wide(message).c_str(), L"Quillamor 2000", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

// A window that cannot be made as the game starts ends the program with an
// exception nobody catches: say why in a box, not on an invisible stderr.
void ShowUncaughtError() {
  try {
    if (std::exception_ptr error = std::current_exception()) std::rethrow_exception(error);
  } catch (const std::exception& e) {
    ShowError(std::string("Quillamor 2000 has to stop: ") + e.what());
  } catch (...) {
  }
  std::abort();
}
// Set before main runs; the handler it replaces is never called again.
[[maybe_unused]] const bool g_uncaughtErrorsShown = (std::set_terminate(ShowUncaughtError), true);

bool g_fineGranularity = false;

// A high-resolution waitable timer (Windows 10 1803 and later), else a
// plain one: with 1 ms granularity that one is good to a millisecond.
HANDLE DeadlineTimer() {
  static HANDLE timer = [] {
    constexpr DWORD kHighResolution = 0x2;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
    HANDLE made = CreateWaitableTimerExW(nullptr, nullptr, kHighResolution, TIMER_ALL_ACCESS);
    return made != nullptr ? made : CreateWaitableTimerW(nullptr, FALSE, nullptr);
  }();
  return timer;
}

}  // namespace

bool DisplayNamed() { return true; }  // the desktop is always there

const char* RunHint() { return "run it on the Windows desktop"; }

std::vector<const char*> PreferredVideoDrivers() { return {}; }

bool MovePointer(SDL_Window*, int x, int y) {
  SDL_WarpMouseGlobal(x, y);
  return true;
}

void ClosePointerMover() {}

void ShowStartupError(const std::string& message) { ShowError(message); }

// A waitable timer wakes within a fraction of a millisecond where a
// millisecond wait wakes 1 to 2 ms late, and SDL's wait several (measured
// under Wine). The deadline stays the steady clock's: the timer's wait is
// relative, worked out here. Input for the game's windows ends the wait too.
void WaitForInputUntil(std::int64_t deadlineNs) {
  if (deadlineNs == kNoDeadline) {  // no tick is due: input alone ends the wait
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    return;
  }
  const std::int64_t left = deadlineNs - MonotonicNs();
  if (left <= 0) return;
  LARGE_INTEGER due;
  due.QuadPart = -(left + 99) / 100;  // relative, in 100 ns
  HANDLE timer = DeadlineTimer();
  if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE))
    MsgWaitForMultipleObjectsEx(1, &timer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void NeedFineTimerGranularity(bool need) {
  if (need == g_fineGranularity) return;
  g_fineGranularity = need;
  if (need)
    timeBeginPeriod(1);
  else
    timeEndPeriod(1);
}

// Every window a window of its own, shown through SDL's own surface update.
std::unique_ptr<WindowScreen> MakeWindowScreen(const WindowOptions& options) { return DesktopWindow(options); }
void UpdateSurfaceRect(SDL_Window* window, const SDL_Rect& rect) { SDL_UpdateWindowSurfaceRects(window, &rect, 1); }

std::uint32_t StartDetached(const std::vector<std::string>& words) {
  if (words[0] == "start") {
    // The shell opens the file with what the desktop has for it.
    const std::wstring file = Wide(words.size() > 1 ? words[1] : "");
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32 ? 33 : static_cast<std::uint32_t>(result);
  }
  std::wstring commandLine;
  for (const std::string& word : words) commandLine += (commandLine.empty() ? L"\"" : L" \"") + Wide(word) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW | DETACHED_PROCESS,
                      nullptr, nullptr, &startup, &process))
    return GetLastError() == ERROR_FILE_NOT_FOUND ? 2 : 0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 33;
}

}  // namespace platform
