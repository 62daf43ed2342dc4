#pragma once
// The application: start-up of the desktop services, the message loop, the
// standard error handler, and the clocks.

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace platform {

// Starts the windowing services. Returns false, with a one-line reason for
// the player, when there is no display to show the game on.
bool Init(std::string& error);
void Shutdown();
// Ends the program once its main window has closed: the sound stops and the
// process leaves, and the display frees its windows. (Destroying windows one
// by one can race SDL's wake-up message to one of them on its second X
// connection, and Xlib ends the program with an error for it.)
[[noreturn]] void ExitProgram(int status);

void SetApplicationTitle(const std::string& title);
const std::string& ApplicationTitle();

// Runs the message loop until PostQuit.
void RunMessageLoop();
// One pass of the message pump: every message pending now is handled once.
// Presents what the handlers drew.
void ProcessMessages();
// Handles messages until `done` holds (or quit is posted), blocking between
// them, and presents what the handlers drew. Used by modal windows and waits.
void ProcessMessagesUntil(const std::function<bool()>& done);
// Sleeps until a message is waiting or `ms` has passed, without handling it
// (at once when one is already waiting, or when `ms` is not positive).
void WaitMessageTimeout(std::int32_t ms);
void PostQuit();
bool QuitPosted();

// The application's standard error handler: an error that escaped an event
// handler is reported on stderr and the program goes on.
void HandleException(std::exception_ptr error);
// How many errors the handler has reported (for tests).
int ReportedErrorCount();

// Milliseconds on the program's one monotonic clock (platform/clock.h),
// an unsigned count that wraps. It times the frames the loop presents, the
// waits and the synchronous sound.
std::uint32_t GetTickCount();

// The UTC time of day in milliseconds since midnight; it seeds the game's
// random numbers.
std::uint32_t UtcMillisecondsOfDay();

}  // namespace platform
