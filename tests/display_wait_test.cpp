// The wait the game takes on X: on the display connection and on a wake-up
// that posts from other threads ring. A pipe stands in for the connection.

#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "platform/clock.h"
#include "platform/internal.h"
#include "platform/linux/x11_event_wait.h"
#include "platform/messages.h"
#include "platform/sound.h"
#include "platform/system.h"

namespace {

TEST(DisplayWait, WakesForTheDisplayAndForAPostFromAnotherThreadAndThenWaitsAgain) {
  constexpr std::int64_t kLong = 5'000'000'000;   // only a fault waits this long
  // Nothing of an earlier test in the same run: no event queued, no quiet
  // timer falling due in the wait.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  platform::CloseSound();
  int display[2];
  ASSERT_EQ(pipe(display), 0);
  ASSERT_TRUE(platform::OpenDisplayWaitOn(nullptr, display[0]));
  platform::WaitOnDisplayFromThisThread();
  // The system's wait, which is the display's now, ending at once.
  platform::SystemClock system;
  const auto wait = [&](SDL_Event* event) { return system.WaitForEvent(event, platform::SystemClock::SteadyNs()); };
  int delivered = 0;
  const platform::HWND window = platform::AllocateHWnd([&](std::uint32_t, std::uintptr_t, std::intptr_t) { ++delivered; });

  std::thread([window] { platform::PostMessage(window, platform::WM_USER, 0, 0); }).join();
  EXPECT_TRUE(platform::WaitOnDisplay(kLong));  // rung by the post
  EXPECT_FALSE(platform::WaitOnDisplay(0));     // and the ring taken
  SDL_Event event;
  ASSERT_TRUE(wait(&event));
  platform::DeliverPostedMessage(event.user);
  EXPECT_EQ(delivered, 1);

  ASSERT_EQ(write(display[1], "x", 1), 1);
  EXPECT_TRUE(platform::WaitOnDisplay(kLong));  // the display sent something
  // What the display sent is not an event of SDL's: the loop's wait still
  // ends at its time.
  EXPECT_FALSE(wait(nullptr));

  platform::CloseEventWait();
  platform::DeallocateHWnd(window);
  close(display[0]), close(display[1]);
}

}  // namespace
