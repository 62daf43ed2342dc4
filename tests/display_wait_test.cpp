// The wait the game takes on X: on the display connection and on a wake-up
// that posts from other threads ring. A pipe stands in for the connection.

#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "platform/internal.h"
#include "platform/messages.h"
#include "platform/system.h"

namespace {

TEST(DisplayWait, WakesForTheDisplayAndForAPostFromAnotherThreadAndThenWaitsAgain) {
  constexpr std::int64_t kLong = 5'000'000'000;   // only a fault waits this long
  int display[2];
  ASSERT_EQ(pipe(display), 0);
  ASSERT_TRUE(platform::WaitOnFileForTest(display[0]));
  int delivered = 0;
  const platform::HWND window = platform::AllocateHWnd([&](std::uint32_t, std::uintptr_t, std::intptr_t) { ++delivered; });

  std::thread([window] { platform::PostMessage(window, platform::WM_USER, 0, 0); }).join();
  EXPECT_TRUE(platform::WaitOnDisplay(kLong));  // rung by the post
  EXPECT_FALSE(platform::WaitOnDisplay(0));     // and the ring taken
  SDL_Event event;
  ASSERT_TRUE(platform::WaitForEvent(&event, 0));
  platform::DeliverPostedMessage(event.user);
  EXPECT_EQ(delivered, 1);

  ASSERT_EQ(write(display[1], "x", 1), 1);
  EXPECT_TRUE(platform::WaitOnDisplay(kLong));  // the display sent something
  // What the display sent is not an event of SDL's: the loop's wait still
  // ends at its time.
  EXPECT_FALSE(platform::WaitForEvent(nullptr, 0));

  platform::CloseEventWait();
  platform::DeallocateHWnd(window);
  close(display[0]), close(display[1]);
}

}  // namespace
