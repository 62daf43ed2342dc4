#include "platform/app.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/cursor.h"
#include "platform/internal.h"
#include "platform/scale.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/window.h"

namespace platform {
namespace {

// The game's name on the desktop: the desktop entry, its icon and the
// installed metainfo carry it, and the window's class (WM_CLASS on X, the
// app id on Wayland) must match it for a task bar to find the entry.
constexpr const char* kDesktopId = "org.quillamor.Quillamor2000";

std::string g_title;
std::uint32_t g_postedEvent = 0;
bool g_quit = false;
int g_errorCount = 0;
// In the order they were made.
std::vector<Window*> g_windows;
Window* g_modal = nullptr;

// Input goes to the modal window alone while one is up.
bool TakesInput(const Window* window) {
  return window != nullptr && (g_modal == nullptr || g_modal == window);
}

// Where a pointer event is on the window's canvas: a scaled window reports
// screen pixels, the game thinks in canvas pixels, and an overlay's canvas
// starts further in.
struct CanvasPoint {
  int x, y;
};
template <typename PointerEvent>
CanvasPoint OnCanvas(const Window& window, const PointerEvent& event) {
  return {ToCanvas(event.x, window.Scale()) - window.OriginX(), ToCanvas(event.y, window.Scale()) - window.OriginY()};
}
// A press comes where the pointer is taken to be: where the game put it, if
// SDL has not seen it since (platform/cursor.h). Not a finger's: it presses
// where it touches, and SDL reports no motion for a tap where the last one
// was.
CanvasPoint PressOnCanvas(const Window& window, SDL_MouseButtonEvent event) {
  if (event.which != SDL_TOUCH_MOUSEID) ApplyAssumedPointer(event.windowID, event.x, event.y);
  return OnCanvas(window, event);
}

void DispatchWindowEvent(const SDL_WindowEvent& event) {
  Window* window = FindWindow(event.windowID);
  if (window == nullptr) return;  // a window already destroyed
  WindowEvents* events = window->Events();
  switch (event.event) {
    case SDL_WINDOWEVENT_EXPOSED:
      events->OnPaint();
      break;
    case SDL_WINDOWEVENT_ENTER:
      ShowWindowCursor(window);
      break;
    case SDL_WINDOWEVENT_LEAVE:
      if (TakesInput(window)) events->OnMouseLeave();
      break;
    case SDL_WINDOWEVENT_CLOSE:
      window->RequestClose();
      break;
    default:
      break;
  }
}

// The one error guard of every message is HandleOne's.
void Dispatch(const SDL_Event& event) {
  if (event.type == g_postedEvent) {
    DeliverPostedMessage(event.user);
    return;
  }
  switch (event.type) {
    case SDL_QUIT:
      // The system asks the program to end (a signal, or the session).
      if (Window* main = MainWindow()) main->Close();
      PostQuit();
      break;
    case SDL_WINDOWEVENT:
      DispatchWindowEvent(event.window);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      Window* window = FindWindow(event.button.windowID);
      if (!TakesInput(window)) break;
      const CanvasPoint at = PressOnCanvas(*window, event.button);
      if (event.type == SDL_MOUSEBUTTONDOWN)
        window->Events()->OnMouseDown(at.x, at.y);
      else
        window->Events()->OnMouseUp(at.x, at.y);
      break;
    }
    case SDL_KEYDOWN: {
      Window* window = FindWindow(event.key.windowID);
      const SDL_Keycode key = event.key.keysym.sym;
      if (TakesInput(window) &&
          (key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_ESCAPE || key == SDLK_SPACE))
        window->Events()->OnAnswerKey();
      break;
    }
    case SDL_MOUSEMOTION: {
      PointerSeenAt(event.motion.windowID, event.motion.x, event.motion.y);
      Window* window = FindWindow(event.motion.windowID);
      if (!TakesInput(window)) break;
      const CanvasPoint at = OnCanvas(*window, event.motion);
      window->Events()->OnMouseMove(at.x, at.y);
      break;
    }
    default:
      break;
  }
}

// Presenting waits for the display to take the picture, and the wait reads
// in all the input the display has sent meanwhile: after every event of a
// flood that is a round trip per event. So what the handlers drew goes on
// the screen once the queue is empty, and at least once a frame while
// events keep coming.
constexpr std::uint32_t kFrameMs = 16;
std::uint32_t g_lastPresent = 0;

// Looks at the first event alone: counting them walks the whole queue.
bool EventQueued() {
  SDL_Event next;
  return SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1;
}

// An error that escapes a handler is reported, and the next message is
// handled as usual.
void HandleOne(const SDL_Event& event) {
  Guarded([&] { Dispatch(event); });
  if (!EventQueued() || GetTickCount() - g_lastPresent >= kFrameMs) PresentAllWindows();
}

// Video on the first of the drivers the system prefers that starts, else
// on SDL's own choice.
bool StartVideo(bool driverChosen) {
  constexpr Uint32 kVideo = SDL_INIT_VIDEO | SDL_INIT_EVENTS;
  if (!driverChosen) {
    for (const char* driver : PreferredVideoDrivers()) {
      SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
      if (SDL_InitSubSystem(kVideo) != 0) continue;
      // Wayland windows are drawn through EGL: without it, the next driver.
      if (std::strcmp(driver, "wayland") != 0 || SDL_GL_LoadLibrary(nullptr) == 0) return true;
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
  }
  return SDL_InitSubSystem(kVideo) == 0;
}

bool StartServices(std::string& error) {
  // Present the window surface directly: creating and updating it through a
  // texture costs many times more under X. Where there is no such surface
  // (Wayland) the window takes a renderer of its own (platform/presenter.h).
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Read from the environment when video starts; a class the player set stays.
  SDL_setenv("SDL_VIDEO_X11_WMCLASS", kDesktopId, 0);
  SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", kDesktopId, 0);
  const bool driverChosen = SDL_getenv("SDL_VIDEODRIVER") != nullptr;
  // Asked before SDL goes looking, which would leave a window nobody sees.
  if (!driverChosen && !DisplayNamed()) {
    error = std::string("Quillamor 2000 found no display to show its window on (DISPLAY is not set); ") + RunHint();
    return false;
  }
  // No SDL timers: the platform's timers are kept by the message loop's wait.
  if (!StartVideo(driverChosen)) {
    error = std::string("Quillamor 2000 cannot open a display (") + SDL_GetError() + "); " + RunHint();
    return false;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  // A driver the player did not choose but SDL fell back to: the game would
  // run where nobody can see it.
  if (!driverChosen && HeadlessVideo()) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    error = std::string("Quillamor 2000 found no display to show its window on (only the ") + (driver ? driver : "no") +
            " video driver started); " + RunHint();
    return false;
  }
  g_postedEvent = SDL_RegisterEvents(1);
  if (g_postedEvent == static_cast<std::uint32_t>(-1)) {
    error = "Quillamor 2000 could not set up its event queue";
    return false;
  }
  g_quit = false;
  return true;
}

}  // namespace

bool HeadlessVideo() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver == nullptr || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0;
}

bool Init(std::string& error) {
  if (StartServices(error)) return true;
  ShowStartupError(error);
  return false;
}

void Shutdown() {
  CloseEventWait();
  CloseSound();
  ReleaseCursors();
  SDL_Quit();
}

void ExitProgram(int status) {
  CloseSound();
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}

void SetApplicationTitle(const std::string& title) { g_title = title; }
const std::string& ApplicationTitle() { return g_title; }

void RunMessageLoop() {
  SDL_Event event;
  while (!g_quit && TheClock().WaitForEvent(&event, kNoDeadline)) HandleOne(event);
}

void ProcessMessages() {
  // Only what is pending now: messages posted while these are handled wait
  // for the next pass, so a pass always ends.
  SDL_PumpEvents();
  int pending = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  SDL_Event event;
  while (pending-- > 0 && !g_quit &&
         SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
    HandleOne(event);
  }
  PresentAllWindows();
}

void ProcessMessagesUntil(const std::function<bool()>& done) {
  PresentAllWindows();
  SDL_Event event;
  while (!g_quit && !done()) {
    if (TheClock().WaitForEvent(&event, kNoDeadline)) HandleOne(event);
  }
  PresentAllWindows();  // what the last handlers drew, though events still wait
}

void WaitMessageTimeout(std::int32_t ms) {
  PresentAllWindows();
  if (ms <= 0) return;
  if (g_quit) {
    PauseFor(static_cast<std::uint32_t>(ms));  // what is waiting will not be handled now
    return;
  }
  TheClock().WaitForEvent(nullptr, MonotonicNs() + std::int64_t{ms} * 1'000'000);
}

bool QuitRequestWaiting() {
  if (g_quit) return true;
  SDL_PumpEvents();  // a signal becomes a quit event here
  if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0) return true;
  const Window* main = MainWindow();
  if (main == nullptr) return false;
  SDL_Event waiting[64];
  const int count = SDL_PeepEvents(waiting, 64, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
  for (int i = 0; i < count; ++i)
    if (waiting[i].window.event == SDL_WINDOWEVENT_CLOSE && FindWindow(waiting[i].window.windowID) == main) return true;
  return false;
}

void PostQuit() { g_quit = true; }
bool QuitPosted() { return g_quit; }

void HandleException(std::exception_ptr error) {
  ++g_errorCount;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", g_title.empty() ? "error" : g_title.c_str(), e.what());
  } catch (...) {
    std::fprintf(stderr, "%s: unknown error\n", g_title.empty() ? "error" : g_title.c_str());
  }
}

int ReportedErrorCount() { return g_errorCount; }

void StartFrame() { g_lastPresent = GetTickCount(); }

std::uint32_t PostedMessageEvent() { return g_postedEvent; }

void RegisterWindow(Window* window) { g_windows.push_back(window); }
void UnregisterWindow(Window* window) {
  std::erase(g_windows, window);
  if (g_modal == window) g_modal = nullptr;
}
Window* FindWindow(std::uint32_t id) {
  // Overlays share their page's window: the one in front is the last made
  // of those shown.
  Window* found = nullptr;
  for (Window* window : g_windows)
    if (window->Id() == id && (found == nullptr || window->Visible())) found = window;
  return found;
}
Window* FirstWindow() { return g_windows.empty() ? nullptr : g_windows.front(); }
Window* MainWindow() {
  for (Window* window : g_windows)
    if (window->IsMainWindow()) return window;
  return nullptr;
}
void PresentAllWindows() {
  for (Window* window : g_windows) window->Present();
  g_lastPresent = GetTickCount();
}
Window* ModalWindow() { return g_modal; }
void SetModalWindow(Window* window) { g_modal = window; }

}  // namespace platform
