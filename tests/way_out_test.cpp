// Every way out of the game, at every moment a player may choose: the quit
// a signal becomes, or the main window's close button, arriving among
// queued ticks, inside Main's wait, during the exit animation and during the
// fanfare played to its end. Each time the window closes (timers stopped,
// boards let go), the message loop is told to end, and nothing queued after
// the request runs on the released boards.

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/message_box.h"
#include "tests/queued_events.h"
#include "tests/test_support.h"
#include "ui/question_form.h"

namespace {

enum class Way { Signal, CloseButton };

struct Moment {
  const char* name;
  // Brings the game to the moment; `wayOut` puts the request on the queue.
  std::function<void(TMainForm&, const std::function<void()>& wayOut)> reach;
};

void Click(const TMainForm& form, int x, int y) {
  PushPointer(SDL_MOUSEBUTTONDOWN, form.Window->Id(), x, y);
  PushPointer(SDL_MOUSEBUTTONUP, form.Window->Id(), x, y);
}

// A level dealt and the ball dropping at the shortest period.
void Falling(TMainForm& form) {
  form.Difficulty = 3;
  form.StartNewLevel();
  form.Timer1.SetInterval(5);
}

// The ball caught by the exit: the animation runs, at `frame` of its eight.
void DroppingOut(TMainForm& form, int frame) {
  Falling(form);
  form.Timer1.SetEnabled(false);
  form.OutFrame = frame;
  form.Timer2.SetEnabled(true);
}

const Moment kMoments[] = {
    {"dealing a level",
     [](TMainForm& f, const auto& wayOut) {
       Falling(f);
       Click(f, 495, 277);  // Next
       wayOut();
     }},
    {"a fall with ticks queued on both sides",
     [](TMainForm& f, const auto& wayOut) {
       Falling(f);
       for (int i = 0; i < 3; ++i) QueueTick(f.Timer1);
       wayOut();
       for (int i = 0; i < 3; ++i) QueueTick(f.Timer1);
     }},
    {"the exit animation with ticks queued",
     [](TMainForm& f, const auto& wayOut) {
       DroppingOut(f, 3);
       QueueTick(f.Timer2);
       wayOut();
       QueueTick(f.Timer2);
     }},
    {"the fanfare played to its end",
     [](TMainForm& f, const auto& wayOut) {
       DroppingOut(f, 8);
       QueueTick(f.Timer2);  // the win screen, and the fanfare waits
       wayOut();
     }},
    {"Main's wait",
     [](TMainForm& f, const auto& wayOut) {
       Falling(f);
       Click(f, 495, 405);
       wayOut();
       QueueTick(f.Timer1);
     }},
};

class WayOut : public FormTest, public testing::WithParamInterface<std::tuple<int, Way>> {
 protected:
  void TearDown() override {
    FormTest::TearDown();
    platform::SetTickCountForTest(nullptr);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    std::string error;
    ASSERT_TRUE(platform::Init(error));  // a fresh start for the next tests
  }
  void PushWayOut(Way way) const {
    if (way == Way::Signal) PushQuit();
    else PushWindowEvent(form->Window->Id(), SDL_WINDOWEVENT_CLOSE);
  }
};

TEST_P(WayOut, ClosesTheWindowAndEndsTheLoopWithNothingRunAfter) {
  const auto [moment, way] = GetParam();
  // The clock moves 10 ms at every reading: a fanfare that waited to its end
  // would show as more than its length.
  std::uint32_t now = 0;
  platform::SetTickCountForTest([&] { return now += 10; });
  kMoments[moment].reach(*form, [this, way = way] { PushWayOut(way); });
  // Two passes: what was queued, and whatever the handlers queued.
  platform::ProcessMessages();
  platform::ProcessMessages();
  EXPECT_TRUE(platform::QuitPosted());
  EXPECT_FALSE(form->Timer1.Enabled() || form->Timer2.Enabled());
  EXPECT_FALSE(form->Board || form->SavedBoard);
  EXPECT_FALSE(form->Window->Visible());
  EXPECT_LT(now, 1000u);
}

INSTANTIATE_TEST_SUITE_P(Moments, WayOut,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(kMoments))),
                                          testing::Values(Way::Signal, Way::CloseButton)),
                         [](const auto& info) {
                           std::string name = kMoments[std::get<0>(info.param)].name;
                           name += std::get<1>(info.param) == Way::Signal ? " signal" : " close button";
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

// The two boxes that come before the main window: the signal's quit ends
// each of them unanswered, and the main window never shows.
TEST_F(FormTest, ASignalEndsTheDialogAndTheNoticeUnanswered) {
  TQuestionForm dialog;
  form->QuestionForm = &dialog;
  PushQuit();
  form->Show();
  EXPECT_TRUE(platform::QuitPosted());
  EXPECT_FALSE(form->Window->Visible());

  std::string error;
  ASSERT_TRUE(platform::Init(error));
  platform::MessageBoxForm notice("Quillamor 2000", "no sound");
  PushQuit();
  notice.ShowModal();
  EXPECT_FALSE(notice.Answered());
  EXPECT_TRUE(platform::QuitPosted());
  ASSERT_TRUE(platform::Init(error));
}

}  // namespace
