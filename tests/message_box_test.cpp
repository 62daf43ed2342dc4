// The game's own message box: how it breaks and sets its text, and which
// presses of its button and which keys answer it.

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/message_box.h"
#include "tests/queued_events.h"

namespace {

using Lines = std::vector<std::string>;

TEST(MessageBox, BreaksTextAtSpacesAndNewlines) {
  // One pixel a letter, so that widths can be read off the text.
  const auto letters = [](std::string_view s) { return static_cast<int>(s.size()); };
  struct Case {
    const char* text;
    int width;
    Lines lines;
  };
  const Case cases[] = {
      {"aa bb cc", 5, {"aa bb", "cc"}},  // a line filled exactly
      {"aa bb cc", 4, {"aa", "bb", "cc"}},
      {"aa  bb", 10, {"aa bb"}},
      {"abcdefg hi", 3, {"abcdefg", "hi"}},  // too long a word stands alone
      {"one\ntwo three", 20, {"one", "two three"}},
      {"one\n\ntwo", 20, {"one", "", "two"}},
      {"", 20, {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::WrapText(c.text, c.width, letters), c.lines) << c.text;
}

constexpr const char* kNotice =
    "Can not find audio card or the card is busy. So the game will run without any sounds";

TEST(MessageBox, SetsEveryLineInsideTheBoxAndTheButtonBelow) {
  platform::MessageBoxForm box("Quillamor 2000", kNotice);
  box.Window().Show();
  const auto text = box.Text(), button = box.Button();
  EXPECT_EQ(text.h, 2 * 15) << "the notice takes two lines";
  EXPECT_LE(text.x + text.w, box.Window().ClientWidth() - text.x);
  EXPECT_GE(button.y, text.y + text.h);
  EXPECT_NEAR(button.x * 2 + button.w, box.Window().ClientWidth(), 1) << "button centred";
  // Letters (dark pixels) lie only in the text and on the button, and the
  // longest line's letters run to the right end of the text.
  int right = 0, stray = 0, onButton = 0;
  for (int y = 0; y < box.Window().ClientHeight(); ++y)
    for (int x = 0; x < box.Window().ClientWidth(); ++x) {
      if ((box.Window().Pixel(x, y) & 0xFF) > 0x60) continue;
      if (text.Contains(x, y)) right = std::max(right, x);
      else if (button.Contains(x, y) && x > button.x + 2 && x < button.x + button.w - 3) ++onButton;
      else if (!button.Contains(x, y)) ++stray;
    }
  EXPECT_EQ(stray, 0);
  EXPECT_GE(right, text.x + text.w - 4);
  EXPECT_GT(onButton, 10) << "the button says OK";
}

TEST(MessageBox, IsAnsweredByAClickOnItsButtonOrAKey) {
  enum Kind { Down, Move, Up, Key };
  struct Step {
    Kind kind;
    bool onButton;  // for a key: whether it is one that answers
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
    bool answered;
  };
  const Case cases[] = {
      {"click", {{Down, true}, {Up, true}}, true},
      {"press, leave, release", {{Down, true}, {Move, false}, {Up, false}}, false},
      {"press, leave, come back, release", {{Down, true}, {Move, false}, {Move, true}, {Up, true}}, true},
      {"press beside, release on it", {{Down, false}, {Up, true}}, false},
      {"Return", {{Key, true}}, true},
      {"another key", {{Key, false}}, false},
  };
  const Uint32 types[] = {SDL_MOUSEBUTTONDOWN, SDL_MOUSEMOTION, SDL_MOUSEBUTTONUP};
  for (const Case& c : cases) {
    platform::MessageBoxForm box("Quillamor 2000", kNotice);
    box.Window().Show();
    const auto b = box.Button();
    for (const Step& step : c.steps) {
      if (step.kind == Key)
        PushKey(box.Window().Id(), step.onButton ? SDLK_RETURN : SDLK_a);
      else
        PushPointer(types[step.kind], box.Window().Id(), step.onButton ? b.x + b.w / 2 : b.x - 1, b.y + b.h / 2);
    }
    platform::ProcessMessages();
    EXPECT_EQ(box.Answered(), c.answered) << c.what;
  }
}

}  // namespace
