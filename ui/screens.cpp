// The three screens (title, game, win), their clickable spots and panel
// buttons, and the changes between them.

#include "platform/app.h"
#include "platform/cursor.h"
#include "platform/launch.h"
#include "ui/main_form.h"

namespace {

// Active areas, inclusive bounds in client pixels.
constexpr int HOVER_SPOT_TOP = 381;   // hover areas of both title spots
constexpr int HOVER_START_LEFT = 471;
constexpr int HOVER_SITE_RIGHT = 89;
constexpr int PRESS_SPOT_TOP = 361;   // press and release areas
constexpr int SITE_LEFT = 0, SITE_RIGHT = 90;
constexpr int START_LEFT = 460, START_RIGHT = 550;
constexpr int PANEL_LEFT = 441;
constexpr int PANEL_RELEASE_RIGHT = 549;
constexpr int NEXT_TOP = 245, NEXT_BOTTOM = 309;
constexpr int AGAIN_TOP = 310, AGAIN_BOTTOM = 374;
constexpr int MAIN_TOP = 375, MAIN_BOTTOM = 435;
// Where the button pictures go.
constexpr int BUTTON_X = 440;
constexpr int NEXT_Y = 245, AGAIN_Y = 310, MAIN_Y = 375;

constexpr const char* HOMEPAGE_COMMAND = "start \"Quillamor 2000 homepage.url\"";

bool Within(int value, int low, int high) { return value >= low && value <= high; }

enum class PanelButton { None, Next, Again, Main };

PanelButton ButtonAtRow(int Y) {
  if (Within(Y, NEXT_TOP, NEXT_BOTTOM)) return PanelButton::Next;
  if (Within(Y, AGAIN_TOP, AGAIN_BOTTOM)) return PanelButton::Again;
  if (Within(Y, MAIN_TOP, MAIN_BOTTOM)) return PanelButton::Main;
  return PanelButton::None;
}

}  // namespace

// ---- Title screen ----

namespace {

void TitleMouseMove(TMainForm& f, int X, int Y) {
  if (Y >= HOVER_SPOT_TOP && X >= HOVER_START_LEFT) {
    f.Window->SetCursor(platform::CURSOR_HANDPOINT);
    if (!f.GameHover) {
      f.Draw(f.Game, START_LEFT, 360);
      f.GameHover = true;
    }
  } else if (Y >= HOVER_SPOT_TOP && X <= HOVER_SITE_RIGHT) {
    f.Window->SetCursor(platform::CURSOR_HANDPOINT);
    if (!f.SiteHover) {
      f.Draw(f.Site, SITE_LEFT, 360);
      f.SiteHover = true;
    }
  } else {
    f.Window->SetCursor(platform::CURSOR_ARROW);
    if (f.GameHover || f.SiteHover) {
      f.Draw(f.Title, 0, 0);
      f.GameHover = f.SiteHover = false;
    }
  }
}

void TitleMouseDown(TMainForm& f, int X, int Y) {
  if (Y >= PRESS_SPOT_TOP && (Within(X, SITE_LEFT, SITE_RIGHT) || Within(X, START_LEFT, START_RIGHT)))
    f.PlaySound(f.SoundSelect);
}

void TitleMouseUp(TMainForm& f, int X, int Y) {
  // Every release redraws the title, so a highlight goes while its flag stays.
  f.Draw(f.Title, 0, 0);
  if (Y < PRESS_SPOT_TOP) return;
  if (Within(X, SITE_LEFT, SITE_RIGHT)) {
    platform::WinExec(HOMEPAGE_COMMAND, platform::SW_HIDE);  // whatever opens it is outside the game
    return;
  }
  if (Within(X, START_LEFT, START_RIGHT)) {
    f.Draw(f.Walpaper, 0, 0);
    if (!f.LevelReady) {
      f.GenerateLevel();
      f.LevelReady = true;
    }
    // Otherwise the level that Main left goes on where it stopped.
    f.DrawBoard();
    f.DrawBall();
    f.ScreenMode = SCREEN_GAME;
    f.Timer1.SetEnabled(true);
  }
}

}  // namespace

// ---- Game screen, outside the playfield ----

namespace {

void ResetButton(TMainForm& f, bool& hover, const platform::Bitmap& normal, int y) {
  if (!hover) return;
  f.Draw(normal, BUTTON_X, y);
  hover = false;
}

void HoverButton(TMainForm& f, bool& hover, const platform::Bitmap& lit, int y) {
  f.Window->SetCursor(platform::CURSOR_HANDPOINT);
  if (!hover) f.Draw(lit, BUTTON_X, y);
  hover = true;
}

void GameMouseMove(TMainForm& f, int X, int Y) {
  if (game::OnPlayfield(X, Y)) {
    f.PlayfieldMouseMove(X, Y);
    return;
  }
  if (X <= 440) {
    f.Window->SetCursor(platform::CURSOR_ARROW);
    ResetButton(f, f.NextHover, f.NextOff, NEXT_Y);
    ResetButton(f, f.AgainHover, f.AgainOff, AGAIN_Y);
    ResetButton(f, f.MainHover, f.MainOff, MAIN_Y);
    return;
  }
  if (Y < 0) {
    f.Window->SetCursor(platform::CURSOR_ARROW);
    return;
  }
  switch (ButtonAtRow(Y)) {
    case PanelButton::Next:
      HoverButton(f, f.NextHover, f.Next, NEXT_Y);
      ResetButton(f, f.AgainHover, f.AgainOff, AGAIN_Y);
      ResetButton(f, f.MainHover, f.MainOff, MAIN_Y);
      break;
    case PanelButton::Again:
      HoverButton(f, f.AgainHover, f.Again, AGAIN_Y);
      ResetButton(f, f.NextHover, f.NextOff, NEXT_Y);
      ResetButton(f, f.MainHover, f.MainOff, MAIN_Y);
      break;
    case PanelButton::Main:
      HoverButton(f, f.MainHover, f.Main, MAIN_Y);
      ResetButton(f, f.NextHover, f.NextOff, NEXT_Y);
      ResetButton(f, f.AgainHover, f.AgainOff, AGAIN_Y);
      break;
    case PanelButton::None:
      // Above the buttons only Next is reset; the strip below Main changes
      // nothing at all.
      if (Y < NEXT_TOP) {
        f.Window->SetCursor(platform::CURSOR_ARROW);
        ResetButton(f, f.NextHover, f.NextOff, NEXT_Y);
      }
      break;
  }
}

void GameMouseDown(TMainForm& f, int X, int Y) {
  if (X < PANEL_LEFT) {
    f.PlayfieldMouseDown(X, Y);
    return;
  }
  switch (ButtonAtRow(Y)) {
    case PanelButton::Next:
      f.PlaySound(f.SoundSelect);
      f.Draw(f.Next, BUTTON_X, NEXT_Y);
      break;
    case PanelButton::Again:
      f.PlaySound(f.SoundSelect);
      f.Draw(f.Again, BUTTON_X, AGAIN_Y);
      break;
    case PanelButton::Main:
      f.PlaySound(f.SoundSelect);
      f.Draw(f.Main, BUTTON_X, MAIN_Y);
      break;
    case PanelButton::None:
      break;
  }
}

// The same level again from its start; the ball keeps falling if it was.
void RestartLevel(TMainForm& f) {
  f.Timer1.SetEnabled(false);
  *f.Board = *f.SavedBoard;
  game::PlaceBall(f, f.Board->StartCol, f.Board->StartRow);
  f.SpeedX = 0;
  f.DrawBoard();
  f.DrawBall();
  f.Timer1.SetEnabled(true);
}

void BackToTitle(TMainForm& f) {
  f.Timer1.SetEnabled(false);
  f.DelayWithMessages(100);
  f.ScreenMode = SCREEN_TITLE;
  f.Draw(f.Title, 0, 0);
}

void GameMouseUp(TMainForm& f, int X, int Y) {
  // Every release shows all three buttons unlit, the hover flags stay.
  f.Draw(f.NextOff, BUTTON_X, NEXT_Y);
  f.Draw(f.AgainOff, BUTTON_X, AGAIN_Y);
  f.Draw(f.MainOff, BUTTON_X, MAIN_Y);
  if (X < PANEL_LEFT || X > PANEL_RELEASE_RIGHT) return;
  const PanelButton button = ButtonAtRow(Y);
  if (button == PanelButton::None) return;
  // A button used while the exit animation runs ends it first, or the win
  // screen would come up over the level the player has just asked for.
  f.Timer2.SetEnabled(false);
  switch (button) {
    case PanelButton::Next:
      f.StartNewLevel();
      break;
    case PanelButton::Again:
      RestartLevel(f);
      break;
    case PanelButton::Main:
      BackToTitle(f);
      break;
    case PanelButton::None:
      break;
  }
}

}  // namespace

// ---- The window's mouse handlers ----

void TMainForm::FormMouseMove(int X, int Y) {
  switch (ScreenMode) {
    case SCREEN_TITLE:
      TitleMouseMove(*this, X, Y);
      break;
    case SCREEN_GAME:
      GameMouseMove(*this, X, Y);
      break;
    case SCREEN_WIN:
      Window->SetCursor(platform::CURSOR_ARROW);
      break;
    default:
      break;
  }
}

void TMainForm::FormMouseDown(int X, int Y) {
  switch (ScreenMode) {
    case SCREEN_TITLE:
      TitleMouseDown(*this, X, Y);
      break;
    case SCREEN_GAME:
      GameMouseDown(*this, X, Y);
      break;
    case SCREEN_WIN:
      // The release of this same click then acts on the game screen.
      StartNewLevel();
      break;
    default:
      break;
  }
}

void TMainForm::FormMouseUp(int X, int Y) {
  switch (ScreenMode) {
    case SCREEN_TITLE:
      TitleMouseUp(*this, X, Y);
      break;
    case SCREEN_GAME:
      GameMouseUp(*this, X, Y);
      break;
    default:
      break;
  }
}

// ---- Screen changes ----

void TMainForm::StartNewLevel() {
  Draw(Walpaper, 0, 0);
  ScreenMode = SCREEN_GAME;
  OutFrame = 0;
  GenerateLevel();  // the ball waits on the new start
  SpeedX = 0;  // a fall goes on: SpeedY and the motion period stay
  DrawBoard();
  DrawBall();
  Timer1.SetEnabled(true);
}

void TMainForm::ShowWinScreen() {
  Timer2.SetEnabled(false);
  Draw(Frames[0], 0, 0);
  ScreenMode = SCREEN_WIN;
  // The fanfare plays to its end; the picture is on screen before it starts.
  PlaySound(SoundWow, platform::PlayMode::Sync);
}

void TMainForm::DelayWithMessages(std::int32_t ms) {
  // Handles messages as they come, so the window stays alive, and sleeps
  // between them; at least one pass.
  const std::uint32_t start = platform::GetTickCount();
  platform::ProcessMessages();
  for (;;) {
    const std::int64_t left = std::int64_t{ms} - static_cast<std::int32_t>(platform::GetTickCount() - start);
    if (left <= 0) return;
    platform::WaitMessageTimeout(static_cast<std::int32_t>(left));
    platform::ProcessMessages();
  }
}
