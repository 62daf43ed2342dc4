// The game at a whole-number scale on a large screen: which scale a screen
// gets, pointer positions on their way in, and the blocks that reach the
// screen.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/cursor.h"
#include "platform/scale.h"
#include "platform/window.h"
#include "tests/queued_events.h"
#include "tests/test_seams.h"

namespace {

TEST(Scale, FollowsTheScreensHeightUnlessThePlayerSetsIt) {
  struct Case {
    const char* setting;
    int screenWidth, screenHeight, scale;
  };
  const Case cases[] = {
      {nullptr, 1920, 1080, 1}, {nullptr, 3840, 2159, 1}, {nullptr, 3840, 2160, 2}, {nullptr, 5760, 3239, 2},
      {nullptr, 5760, 3240, 3}, {nullptr, 7680, 4320, 3}, {nullptr, 0, 0, 1},
      // A screen on its side: twice the width must fit across it.
      {nullptr, 1099, 2400, 1}, {nullptr, 1100, 2400, 2},
      {"1", 3840, 2160, 1},     {"3", 1024, 768, 3},
      // Anything but 1, 2 or 3 leaves the choice to the screen.
      {"", 3840, 2160, 2},      {"0", 3840, 2160, 2},     {"4", 1920, 1080, 1},     {"2x", 1920, 1080, 1},
      {" 2", 1920, 1080, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::ChooseScale(c.setting, c.screenWidth, c.screenHeight, 550, 440), c.scale)
        << (c.setting ? c.setting : "(unset)") << " on " << c.screenWidth << "x" << c.screenHeight;
}

struct Point {
  int x, y;
  bool operator==(const Point&) const = default;
};

// The main window opened at the scale the test names, noting the pointer as
// the game sees it.
class ScaledWindow : public testing::TestWithParam<int>, public platform::WindowEvents {
 protected:
  void SetUp() override {
    setenv("QUILLAMOR_SCALE", std::to_string(GetParam()).c_str(), 1);
    window = std::make_unique<platform::Window>(platform::WindowOptions{"scaled", 550, 440, false, nullptr, true}, this);
    unsetenv("QUILLAMOR_SCALE");
  }
  void OnMouseDown(int x, int y) override { seen.push_back({x, y}); }
  void OnMouseMove(int x, int y) override { seen.push_back({x, y}); }
  void OnMouseUp(int x, int y) override { seen.push_back({x, y}); }

  // The colour the screen shows at (x, y), 0xRRGGBB.
  std::uint32_t ScreenPixel(int x, int y) const {
    const SDL_Surface* screen = SDL_GetWindowSurface(SDL_GetWindowFromID(window->Id()));
    Uint8 r, g, b;
    SDL_GetRGB(static_cast<const Uint32*>(screen->pixels)[y * screen->pitch / 4 + x], screen->format, &r, &g, &b);
    return (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
  }
  // Where the screen differs from the canvas drawn in blocks, if anywhere.
  std::string FirstBlockDifference() const {
    const int s = GetParam();
    for (int y = 0; y < 440 * s; ++y)
      for (int x = 0; x < 550 * s; ++x)
        if (ScreenPixel(x, y) != window->Pixel(x / s, y / s))
          return "screen (" + std::to_string(x) + "," + std::to_string(y) + ")";
    return "";
  }

  std::unique_ptr<platform::Window> window;
  std::vector<Point> seen;
};

TEST_P(ScaledWindow, PointerPositionsLandOnTheBlockUnderThem) {
  const int s = GetParam();
  ASSERT_EQ(window->Scale(), s);
  // Each edge of a block, the last pixel of the window and the first past
  // it, and past the left and top edges while a button is held.
  const std::vector<int> screen = {0, s - 1, s, 20 * s - 1, 20 * s, 550 * s - 1, 550 * s, -1, -s, -s - 1};
  const std::vector<int> canvas = {0, 0, 1, 19, 20, 549, 550, -1, -1, -2};
  std::vector<Point> wanted;
  for (std::size_t i = 0; i < screen.size(); ++i) {
    const Uint32 type = i % 3 == 0 ? SDL_MOUSEBUTTONDOWN : i % 3 == 1 ? SDL_MOUSEMOTION : SDL_MOUSEBUTTONUP;
    PushPointer(type, window->Id(), screen[i], screen[screen.size() - 1 - i]);
    wanted.push_back({canvas[i], canvas[canvas.size() - 1 - i]});
  }
  platform::ProcessMessages();
  EXPECT_EQ(seen, wanted);
}

TEST_P(ScaledWindow, TheScreenShowsTheCanvasInSquareBlocks) {
  const int s = GetParam();
  window->Show();
  int w = 0, h = 0;
  SDL_GetWindowSize(SDL_GetWindowFromID(window->Id()), &w, &h);
  ASSERT_EQ(w, 550 * s);
  ASSERT_EQ(h, 440 * s);
  window->FillRect(0, 0, 550, 440, 0x203040);
  window->FillRect(0, 0, 1, 1, 0xFF0000);
  window->FillRect(549, 0, 1, 1, 0x00FF00);
  window->FillRect(0, 439, 1, 1, 0x0000FF);
  window->FillRect(549, 439, 1, 1, 0xFFFF00);
  window->FillRect(20, 20, 2, 1, 0xFFFFFF);
  window->Present();
  EXPECT_EQ(FirstBlockDifference(), "");
  // Only what was drawn since is presented again, at its place on the screen.
  window->FillRect(300, 200, 1, 1, 0xFF00FF);
  window->FillRect(548, 438, 2, 2, 0x00FFFF);
  window->Present();
  EXPECT_EQ(FirstBlockDifference(), "");
}

TEST_P(ScaledWindow, ThePointerTheGameMovesLandsOnTheBlockItMeant) {
  const int s = GetParam();
  int x = 0, y = 0;
  SDL_GetWindowPosition(SDL_GetWindowFromID(window->Id()), &x, &y);
  std::vector<platform::PointerMove> moves;
  platform::RecordPointerMovesForTest(&moves);
  // As the game aims, past the frame's corner: the first and the last pixel
  // of the canvas, and a bar carried off to the left of the window.
  platform::SetCursorPos(window->Left() + 3, window->Top() + 20);
  platform::SetCursorPos(window->Left() + 3 + 549, window->Top() + 20 + 439);
  platform::SetCursorPos(window->Left() + 3 - 20, window->Top() + 20 + 25);
  platform::RecordPointerMovesForTest(nullptr);
  EXPECT_EQ(moves, (std::vector<platform::PointerMove>{{x, y}, {x + 549 * s, y + 439 * s}, {x - 20 * s, y + 25 * s}}));
}

// Where the pointer cannot follow a pushed bar, a mouse press before the
// pointer really moves acts where the game put it (a browser announcing
// the pointer again where it was, or a pixel off, is no move); a finger acts where it
// touches.
TEST_P(ScaledWindow, APressBeforeThePointerMovesActsWhereTheGamePutIt) {
  const int s = GetParam();
  const auto press = [&](int x, int y, std::uint32_t which = 0) {
    PushPointer(SDL_MOUSEBUTTONDOWN, window->Id(), x * s, y * s, SDL_BUTTON_LEFT, which);
  };
  press(10, 10);
  platform::ProcessMessages();
  platform::KeepPointerStillForTest(true);
  platform::SetCursorPos(window->Left() + 3 + 100, window->Top() + 20 + 50);
  platform::KeepPointerStillForTest(false);
  PushPointer(SDL_MOUSEMOTION, window->Id(), 10 * s + 1, 10 * s);  // announced again, a pixel off
  press(10, 10);
  press(30, 30, SDL_TOUCH_MOUSEID);
  PushPointer(SDL_MOUSEMOTION, window->Id(), 40 * s, 40 * s);
  press(10, 10);
  platform::ProcessMessages();
  EXPECT_EQ(seen, (std::vector<Point>{{10, 10}, {(10 * s + 1) / s, 10}, {100, 50}, {30, 30}, {40, 40}, {10, 10}}));
}

INSTANTIATE_TEST_SUITE_P(AtEachScale, ScaledWindow, testing::Values(1, 2, 3));

}  // namespace
