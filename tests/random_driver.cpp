#include "tests/random_driver.h"

#include <SDL.h>

#include <array>
#include <cstring>
#include <memory>

#include "game/level_generator.h"
#include "platform/app.h"
#include "platform/launch.h"
#include "platform/mmtimer.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "tests/ball_invariants.h"
#include "tests/queued_events.h"
#include "tests/test_support.h"
#include "ui/main_form.h"
#include "ui/question_form.h"

namespace {

int Count(const TBoard& board, std::uint8_t code) {
  int n = 0;
  for (int c = 1; c <= 20; ++c)
    for (int r = 1; r <= 20; ++r) n += board.Cells[c][r] == code;
  return n;
}

// What must hold of the level whatever the player did; `dealt` is the level
// as it was dealt, `afterTick` whether a motion tick has come since the
// last press.
std::string LevelFault(const TMainForm& f, const TBoard& dealt, bool afterTick) {
  const TBoard& b = *f.Board;
  for (int i = 0; i < 22; ++i)
    if (b.Cells[i][0] != CELL_BORDER || b.Cells[i][21] != CELL_BORDER || b.Cells[0][i] != CELL_BORDER ||
        b.Cells[21][i] != CELL_BORDER)
      return "frame broken";
  for (int c = 1; c <= 20; ++c)
    for (int r = 1; r <= 20; ++r) {
      const auto code = b.Cells[c][r];
      const bool whole = code == CELL_EMPTY || (code == CELL_VBAR_TOP && b.Cells[c][r + 1] == CELL_VBAR_BOTTOM) ||
                         (code == CELL_VBAR_BOTTOM && b.Cells[c][r - 1] == CELL_VBAR_TOP) ||
                         (code == CELL_HBAR_LEFT && b.Cells[c + 1][r] == CELL_HBAR_RIGHT) ||
                         (code == CELL_HBAR_RIGHT && b.Cells[c - 1][r] == CELL_HBAR_LEFT);
      if (!whole) return "half a bar at (" + std::to_string(c) + "," + std::to_string(r) + ")";
    }
  if (Count(b, CELL_VBAR_TOP) != Count(dealt, CELL_VBAR_TOP) || Count(b, CELL_HBAR_LEFT) != Count(dealt, CELL_HBAR_LEFT))
    return "bars lost or gained";
  if (b.ExitCol != dealt.ExitCol || b.ExitRow != dealt.ExitRow || b.Cells[b.ExitCol][b.ExitRow] != CELL_EMPTY)
    return "exit moved or filled";
  if (std::memcmp(f.SavedBoard.get(), &dealt, sizeof dealt) != 0) return "the dealt level changed";
  return BallFault(b, f, afterTick);
}

class Driver {
 public:
  Driver(std::uint32_t seed, long freshEvery) : freshEvery_(freshEvery) {
    rng_.Seed(seed);
    platform::SetClockForTest([this] { return ++clockReads_, 1000u + clockReads_ * 7919u; });
    form_ = std::make_unique<TMainForm>();
    dialog_ = std::make_unique<TQuestionForm>();
    form_->QuestionForm = dialog_.get();
    form_->Window->Show();
    platform::SetActiveWindowForTest(form_->Window.get());
    form_->Difficulty = int(seed % 3) + 1;
    form_->SoundOn = false;  // the win fanfare would hold each win for a second and a half
  }
  ~Driver() {
    form_.reset();
    dialog_.reset();
    platform::ProcessMessages();  // what is left goes nowhere
    platform::SetClockForTest(nullptr);
    platform::SetActiveWindowForTest(nullptr);
  }

  DriveResult Run(long events) {
    for (result_.events = 0; result_.events < events && result_.fault.empty(); ++result_.events) Step();
    return result_;
  }

 private:
  int Pick(int n) { return rng_.Random(n); }  // the game's own mapping: a seed replays alike everywhere

  // Points cluster round the edges of the active areas, where faults hide,
  // and round the ball, where bars matter.
  std::array<int, 2> Point() {
    static constexpr int edgesX[] = {-1, 0, 20, 21, 89, 90, 91, 419, 420, 440, 441, 459, 460, 470, 471, 549, 550};
    static constexpr int edgesY[] = {-1, 0, 20, 21, 244, 245, 309, 310, 360, 361, 374, 380, 381, 419, 420, 436, 439, 440};
    const int kind = Pick(100);
    if (kind < 45) {
      const int c = form_->BallCol + Pick(9) - 4, r = form_->BallRow + Pick(9) - 3;
      return {20 * c + Pick(20), 20 * r + Pick(20)};
    }
    if (kind < 75) return {edgesX[Pick(std::size(edgesX))], edgesY[Pick(std::size(edgesY))]};
    if (kind < 95) return {Pick(640) - 40, Pick(520) - 40};
    return {Pick(2) ? -1000000 + Pick(100) : 1000000 + Pick(100), Pick(2000000) - 1000000};
  }

  void PushMouse(std::uint32_t type, const platform::Window& window, std::array<int, 2> at) {
    if (type == SDL_MOUSEBUTTONUP || type == SDL_MOUSEBUTTONDOWN) {
      // Keep off the panel's buttons most of the time, Main's most of all,
      // so that a level is played a while before the next.
      if (form_->ScreenMode == SCREEN_GAME && at[0] > 440 && at[1] >= 245 && at[1] <= 435 &&
          Pick(at[1] >= 375 ? 40 : 10) != 0)
        at[1] = 240;
    }
    const Uint8 button = type == SDL_MOUSEMOTION ? 0 : static_cast<Uint8>(1 + Pick(5));
    PushPointer(type, window.Id(), at[0], at[1], button);
  }

  void PushPaint() { PushWindowEvent(form_->Window->Id(), SDL_WINDOWEVENT_EXPOSED); }

  // The dialog comes up with random events queued for it and the main
  // window, ending with a click on a digit.
  void AskDifficulty() {
    ++result_.dialogs;
    for (int i = Pick(6); i > 0; --i)
      PushMouse(SDL_MOUSEMOTION + Pick(3), Pick(2) ? *dialog_->Window : *form_->Window, {Pick(300), Pick(120)});
    const auto& button = dialog_->SpeedButtons[Pick(3)];
    PushMouse(SDL_MOUSEBUTTONDOWN, *dialog_->Window, {button.Left + 5, button.Top + 5});
    PushMouse(SDL_MOUSEBUTTONUP, *dialog_->Window, {button.Left + 5, button.Top + 5});
    dialog_->Tag = 0, dialog_->ModalResult = TQuestionForm::mrNone;
    form_->FormShow();
    form_->SoundOn = false;
    platform::SetActiveWindowForTest(form_->Window.get());
  }

  // Dealt levels seldom play themselves out: now and then the next level is
  // an open one whose ball falls to the exit unless bars are moved into its
  // way, so that exits, their animation and the win screen come up too.
  void DealOpenLevel() {
    TBoard b{};
    game::FrameBoard(b);
    const int col = 2 + Pick(17);
    for (int i = 0; i < 12; ++i) {
      const int c = 1 + Pick(19), r = 3 + Pick(14);
      if (c != col && c + 1 != col && b.Cells[c][r] == CELL_EMPTY && b.Cells[c + 1][r] == CELL_EMPTY)
        b.Cells[c][r] = CELL_HBAR_LEFT, b.Cells[c + 1][r] = CELL_HBAR_RIGHT;
    }
    b.StartCol = col, b.StartRow = 1, b.ExitCol = col, b.ExitRow = 20;
    auto& f = *form_;
    f.Timer1.SetEnabled(false);
    f.Timer2.SetEnabled(false);
    *f.Board = *f.SavedBoard = dealt_ = b;
    game::PlaceBall(f, col, 1);
    f.SpeedX = f.SpeedY = 0;
    f.ScreenMode = SCREEN_GAME;
    f.LevelReady = true;
    f.FormPaint();
    f.Timer1.SetEnabled(true);
    ++result_.deals;
  }

  void Queue() {
    const int what = Pick(100);
    if (what < 30) {
      PushMouse(SDL_MOUSEMOTION, *form_->Window, Point());
    } else if (what < 45) {
      PushMouse(SDL_MOUSEBUTTONDOWN, *form_->Window, Point());
      pressSinceTick_ = true, tickAfterPress_ = false;
      ++result_.presses;
    } else if (what < 58) {
      PushMouse(SDL_MOUSEBUTTONUP, *form_->Window, Point());
    } else if (what < 88) {
      // A tick of either timer; now and then one for an event already dead.
      TcsHiResTimer& timer = Pick(4) ? form_->Timer1 : form_->Timer2;
      if (Pick(20) == 0 && lastEvent_ != 0) platform::FireTimerEventForTest(lastEvent_);
      lastEvent_ = timer.TimerId();
      if (QueueTick(timer) && &timer == &form_->Timer1) tickQueued_ = tickAfterPress_ = true;
    } else if (what < 95) {
      PushPaint();
    } else if (what < 96 && form_->ScreenMode == SCREEN_GAME && form_->LevelReady && Pick(10) == 0) {
      form_->ShowWinScreen();
    } else if (what == 98 && Pick(5) == 0) {
      DealOpenLevel();
    } else if (what == 99 && Pick(20) == 0) {
      AskDifficulty();
    }
  }

  void Step() {
    const long readsBefore = clockReads_;
    const TBoard before = *form_->Board;
    const bool wasOnExitAnimation = form_->Timer2.Enabled();
    // Focus goes and comes between batches, so a batch's ticks all find it
    // as it is now.
    if (Pick(25) == 0) platform::SetActiveWindowForTest(Pick(3) ? form_->Window.get() : nullptr);
    const bool active = form_->Window->IsActive();
    for (int i = 1 + Pick(3); i > 0; --i) Queue();
    const bool ticked = tickQueued_;
    platform::ProcessMessages();
    // A motion tick after the last press restores what a press may leave.
    if (tickAfterPress_ && active && form_->ScreenMode == SCREEN_GAME) pressSinceTick_ = false;
    tickQueued_ = tickAfterPress_ = false;
    if (clockReads_ != readsBefore) {
      dealt_ = *form_->SavedBoard;  // a deal: the new level is the reference
      ++result_.deals;
    }
    if (ticked) ++result_.ticks;
    if (!wasOnExitAnimation && form_->Timer2.Enabled() && form_->ScreenMode == SCREEN_GAME) ++result_.exits;
    if (std::memcmp(&before, form_->Board.get(), sizeof before) != 0 && clockReads_ == readsBefore) ++result_.barMoves;
    Check(ticked);
  }

  void Check(bool ticked) {
    auto& f = *form_;
    std::string fault;
    if (f.ScreenMode != SCREEN_TITLE && f.ScreenMode != SCREEN_GAME && f.ScreenMode != SCREEN_WIN) fault = "no screen";
    else if (f.ScreenMode != SCREEN_TITLE && !f.LevelReady && result_.deals == 0) fault = "a screen without a level";
    else if (result_.deals > 0) fault = LevelFault(f, dealt_, !pressSinceTick_);
    if (fault.empty() && f.Timer1.Enabled() && f.Timer2.Enabled()) fault = "motion and exit animation both running";
    if (fault.empty() && f.Window->DrawsOutside() != 0) fault = "drawn outside the client area";
    const bool sample = (ticked && Pick(50) == 0) || result_.events % freshEvery_ == 0;
    if (fault.empty() && sample && f.ScreenMode == SCREEN_GAME && !f.Timer2.Enabled() && !PlayfieldIsFresh(f))
      fault = "the playfield shows something stale";
    if (!fault.empty()) result_.fault = fault + " after event " + std::to_string(result_.events);
  }

  game::TRandom rng_;
  long freshEvery_;
  long clockReads_ = 0;
  std::unique_ptr<TMainForm> form_;
  std::unique_ptr<TQuestionForm> dialog_;
  TBoard dealt_{};
  DriveResult result_;
  std::uint32_t lastEvent_ = 0;
  bool pressSinceTick_ = false, tickQueued_ = false, tickAfterPress_ = false;
};

}  // namespace

DriveResult DriveRandomly(std::uint32_t seed, long events, long freshEvery) {
  Driver driver(seed, freshEvery);
  return driver.Run(events);
}
