#pragma once
// Shared between the pieces of the platform layer; never included by game
// code.

#include <SDL.h>

#include <cstdint>
#include <exception>

#include "platform/app.h"
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

// The one error guard on the way of every message (the message loop's, and
// the close request's for each of the window's handlers): an error that
// escapes the handler goes to the application's handler and the caller
// goes on.
template <typename Handler>
void Guarded(Handler&& handler) {
  try {
    handler();
  } catch (...) {
    HandleException(std::current_exception());
  }
}

// A frame of presenting starts now (platform/app.cpp).
void StartFrame();

// Delivers a posted message to its hidden window (dropped when the handle is
// gone).
void DeliverPostedMessage(const SDL_UserEvent& event);

// Waiting for events on the display connection (platform/event_wait.cpp;
// elsewhere SDL's own wait serves): the first window shows which one, and
// from then on the user-interface thread waits on it, woken by PostMessage
// from another thread.
void NoteDisplayConnection(SDL_Window* window);
void WaitOnDisplayFromThisThread();
void WakeMessageLoop();
void CloseEventWait();

// The timers' side of the wait (platform/mmtimer.cpp): when the earliest
// timer event is due (kNoDeadline: none runs), and firing every event that
// is due at `now`, earliest first.
std::int64_t NextTimerDeadline();
void FireDueTimers(std::int64_t now);
// Fires one event's next tick at `now`, as its deadline would: calls it
// back, and a one-shot is spent. False when the event is not alive.
bool FireTimerEvent(std::uint32_t timerId, std::int64_t now);

// Whether SDL's video runs without a screen (its dummy or offscreen driver,
// or none at all): nothing drawn is seen.
bool HeadlessVideo();

// The cursor of the window under the pointer is shown again.
void ShowWindowCursor(const Window* window);

}  // namespace platform
