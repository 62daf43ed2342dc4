// The ball on the window: each motion tick applies the rules of motion and
// repaints only the strip the ball leaves and the ball itself; at the exit
// the animation timer plays eight frames and hands over to the win screen.

#include "game/motion.h"
#include "ui/main_form.h"

void TMainForm::Timer1Timer(TcsCustomTimer*) {
  // The ball waits while another window holds the activation, or another
  // screen is up; a tick queued before the timer stopped still comes here.
  if (ScreenMode != SCREEN_GAME || !Window->IsActive()) return;
  const game::TSpeedDecision decided = game::DecideSpeeds(*Board, *this, Timer1.Interval());
  Timer1.SetInterval(decided.Interval);
  for (int knock = 0; knock < decided.Knocks; ++knock) PlaySound(SoundBam);
  EraseBallTrail();
  game::StepBall(*this);
  DrawBall();
  if (!game::ExitReached(*Board, *this)) return;
  Draw(NoBall, game::CellX(BallCol), game::CellY(BallRow));
  PlaySound(SoundOut);
  Timer1.SetEnabled(false);
  OutFrame = 0;
  Timer2.SetEnabled(true);
}

void TMainForm::Timer2Timer(TcsCustomTimer*) {
  // A tick queued just before the animation was stopped (by a panel button,
  // or by the win screen itself) must not paint over what came since.
  if (!Timer2.Enabled()) return;
  Draw(NoBall, BallX, BallY);
  ++OutFrame;
  if (OutFrame > 8) {
    ShowWinScreen();
    return;
  }
  Draw(Frames[OutFrame], game::CellX(Board->ExitCol), game::CellY(Board->ExitRow));
}

void TMainForm::EraseBallTrail() {
  const game::TTrailStrip strip = game::TrailStrip(*this);
  if (strip.Kind == game::TTrail::Column) Draw(NoV, strip.X, strip.Y);
  if (strip.Kind == game::TTrail::Row) Draw(NoH, strip.X, strip.Y);
}
