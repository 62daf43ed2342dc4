// Which of SDL's video drivers a Linux desktop gets.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/video_choice.h"

namespace {

TEST(VideoDriver, NativeWaylandOnlyWhereThePointerCanGoWithTheBars) {
  struct Case {
    platform::DisplaysNamed named;
    std::vector<std::string> order;
  };
  const Case cases[] = {
      {{false, false, false}, {}},  // no display: start-up says so
      {{false, true, false}, {}},   // X alone: SDL's own choice, as ever
      {{true, false, false}, {"wayland"}},
      {{true, false, true}, {"wayland"}},
      {{true, true, true}, {"wayland", "x11"}},
      {{true, true, false}, {"x11", "wayland"}},
  };
  for (const Case& c : cases) {
    const std::vector<const char*> order = platform::VideoDriverOrder(c.named);
    EXPECT_EQ(std::vector<std::string>(order.begin(), order.end()), c.order)
        << c.named.wayland << c.named.x << c.named.waylandCarriesPointer;
  }
}

}  // namespace
