#pragma once
// What each operating system does its own way, behind a few plain
// functions, each system's in a folder of its own, picked by the build
// (platform/README.md maps them): platform/linux/ (with platform/posix/),
// platform/windows/, platform/web/. The shared files call these and carry
// no system headers. Never included by game code; names here must not
// clash with <windows.h> macros.

#include <SDL.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class WindowScreen;
struct WindowOptions;

// The program's one clock, in nanoseconds, that the timers and waits keep
// (platform/clock.h); kNoDeadline is a wait with no tick to keep.
constexpr std::int64_t kNoDeadline = INT64_MAX;
std::int64_t MonotonicNs();

// Start-up: whether the environment names a display to show windows on
// (Linux: DISPLAY or WAYLAND_DISPLAY; Windows always has its desktop).
bool DisplayNamed();
// What the player can do when there is no display, for the start-up error.
const char* RunHint();
// The video drivers to try in turn, first that starts wins, when the player
// named none (SDL_VIDEODRIVER); empty: SDL's own choice
// (platform/linux/video_choice.h says why Linux picks as it does).
std::vector<const char*> PreferredVideoDrivers();
// Shows why the game cannot start where the player sees it: a GUI program's
// stderr goes nowhere on Windows, so there a message box (Linux: nothing
// more, the caller prints it).
void ShowStartupError(const std::string& message);

// The user-interface thread's wait keeps the timers' deadlines. While
// `need`, the system is asked to wake threads finely: Windows wakes them
// every 15.6 ms unless asked for 1 ms, which every fall tick needs; Linux
// is asked once for no timer slack.
void NeedFineTimerGranularity(bool need);
// Where SDL's own wait serves (no display connection of ours): blocks until
// input comes for SDL's pump to read, or until deadlineNs on the steady
// clock (MonotonicNs), waking at the deadline as precisely as the system
// can, for a tick is due then (kNoDeadline: until input comes). May return
// early.
void WaitForInputUntil(std::int64_t deadlineNs);

// Where a new window's canvas is shown (platform/window_screen.h): on a
// desktop a window of its own (DesktopWindow);
// a web page has one canvas for all of the game's windows
// (platform/web/one_canvas.cpp).
std::unique_ptr<WindowScreen> MakeWindowScreen(const WindowOptions& options);
// Puts this rectangle of the window's surface on the screen: SDL's own
// update, but for a web page, where SDL would copy the whole surface to the
// canvas every time and only the rectangle is copied.
void UpdateSurfaceRect(SDL_Window* window, const SDL_Rect& rect);

// Starts the program and arguments detached, hidden, output discarded;
// `start FILE` opens FILE with the desktop's opener. A value above 31 when
// started.
std::uint32_t StartDetached(const std::vector<std::string>& words);

// Puts the pointer at (x, y) on the screen, over `window`, which has the
// game's focus. True when SDL sees the pointer go there (its next events
// come from there); false when it stayed put or moved unseen by SDL, and the
// platform then takes it as being there until it next really moves
// (platform/cursor.h).
bool MovePointer(SDL_Window* window, int x, int y);
// Lets go of whatever moving the pointer took from the display.
void ClosePointerMover();

// Waiting on the display connection itself (X11 only): opened for the first
// window; false where SDL's own wait serves.
bool OpenDisplayWait(SDL_Window* window);
// Rings the wake-up that ends a WaitOnDisplay (from any thread).
void RingDisplayWait();
// Whether input already read from the display waits to be pumped.
bool DisplayInputBuffered();
// Blocks until the display sends something or the wake-up rings, at most
// timeoutNs (negative: for ever), to the nanosecond. False when the time ran
// out.
bool WaitOnDisplay(std::int64_t timeoutNs);
void CloseDisplayWait();

}  // namespace platform
