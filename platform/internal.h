#pragma once
// Shared between the pieces of the platform layer; never included by game
// code.

#include <SDL.h>

#include <cstdint>

#include "platform/system.h"

namespace platform {

class Window;

// Event type of posted messages; registered at start-up.
std::uint32_t PostedMessageEvent();

void RegisterWindow(Window* window);
void UnregisterWindow(Window* window);
Window* FindWindow(std::uint32_t id);
Window* MainWindow();
// The first window made (on a web page, the one whose canvas is the page's).
Window* FirstWindow();
void PresentAllWindows();

// Whether the program has been asked to end (a signal, or the main window's
// close button) while the caller is busy and handles no messages; looks
// without taking anything from the queue.
bool QuitRequestWaiting();

// The modal window now in front, if any: other windows get no input.
Window* ModalWindow();
void SetModalWindow(Window* window);

// Delivers a posted message to its hidden window (dropped when the handle is
// gone).
void DeliverPostedMessage(const SDL_UserEvent& event);

// Waiting for events (platform/event_wait.cpp). The first window shows
// which display connection to wait on; PostMessage from another thread
// wakes the waiter. Waits for the next event, at most timeoutMs (negative:
// for ever), posting the timers' ticks as they fall due meanwhile: true when
// one came, taken into `event`, or only looked at when `event` is null.
void NoteDisplayConnection(SDL_Window* window);
void WakeMessageLoop();
bool WaitForEvent(SDL_Event* event, std::int32_t timeoutMs);
void CloseEventWait();
// Test seam: waits on this file as on the display connection
// (OpenDisplayWaitForTest); false where the system has no display wait.
bool WaitOnFileForTest(int fd);

// The timers' side of the wait (platform/mmtimer.cpp): when the earliest
// timer event is due (kNoDeadline: none runs), and firing every event that
// is due at `now`, earliest first.
std::int64_t NextTimerDeadline();
void FireDueTimers(std::int64_t now);

// Sleeps this long; under the tests' time only moves the tick count on.
void PauseFor(std::uint32_t ms);
bool TestTimeInUse();

// Whether SDL's video runs without a screen (its dummy or offscreen driver,
// or none at all): nothing drawn is seen.
bool HeadlessVideo();

// The cursor of the window under the pointer is shown again.
void ShowWindowCursor(const Window* window);

}  // namespace platform
