// The title, game and win screens and the way between them, driven through
// the window's own mouse handlers: what each point does on each screen, which
// picture ends up on the canvas, which cursor shows, which sound plays, and
// what state the level and the timers are left in.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/app.h"
#include "platform/cursor.h"
#include "platform/launch.h"
#include "platform/messages.h"
#include "tests/test_support.h"

namespace {

// Painted over the canvas first: a region still all in it was not drawn on.
constexpr std::uint32_t SMEAR = 0xFF00FF;

enum Button { NONE = -1, NEXT = 0, AGAIN = 1, MAIN = 2 };
constexpr int BUTTON_Y[] = {245, 310, 375};
enum class Cur { Arrow, Hand, Keep };

// A level no dealer would make: one vertical bar, so a fresh deal can never
// be mistaken for it.
TBoard KnownLevel() {
  TBoard b{};
  for (int i = 0; i < BOARD_CELLS; ++i)
    b.Cells[i][0] = b.Cells[i][BOARD_CELLS - 1] = b.Cells[0][i] = b.Cells[BOARD_CELLS - 1][i] = CELL_BORDER;
  b.Cells[5][5] = CELL_VBAR_TOP;
  b.Cells[5][6] = CELL_VBAR_BOTTOM;
  b.StartCol = 3, b.StartRow = 2, b.ExitCol = 17, b.ExitRow = 19;
  return b;
}

// The known level after the player has moved its bar one cell right.
TBoard KnownLevelPlayed() {
  TBoard b = KnownLevel();
  std::swap(b.Cells[5], b.Cells[6]);  // columns 5 and 6 differ only by the bar
  return b;
}

bool Same(const TBoard& a, const TBoard& b) { return std::memcmp(&a, &b, sizeof(TBoard)) == 0; }

// Names a table row by its point, e.g. x441_ym1 for (441, -1).
template <typename Row>
std::string RowName(const testing::TestParamInfo<Row>& info) {
  const auto n = [](int v) { return v < 0 ? "m" + std::to_string(-v) : std::to_string(v); };
  return "x" + n(info.param.x) + "_y" + n(info.param.y);
}

// A hidden message window counting what reaches it: proof that the message
// pump ran, and a view of the game's state at that moment.
class PostedProbe {
 public:
  explicit PostedProbe(std::function<void()> onMessage)
      : handle_(platform::AllocateHWnd([f = std::move(onMessage)](std::uint32_t, std::uintptr_t, std::intptr_t) { f(); })) {}
  ~PostedProbe() { platform::DeallocateHWnd(handle_); }
  bool Post() { return platform::PostMessage(handle_, platform::WM_USER, 0, 0); }

 private:
  platform::HWND handle_;
};

class ScreenTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->Difficulty = 1;
    // Every seed read is a new one, so two deals never come out alike.
    platform::SetClockForTest([t = 1000u]() mutable { return t += 7919; });
  }

  void Move(int x, int y) { form->FormMouseMove(x, y); }
  void Down(int x, int y) { form->FormMouseDown(x, y); }
  void Up(int x, int y) { form->FormMouseUp(x, y); }
  void Click(int x, int y) { Down(x, y), Up(x, y); }

  void Smear() { form->Window->FillRect(0, 0, CLIENT_WIDTH, CLIENT_HEIGHT, SMEAR); }
  bool Smeared(int x, int y, int w, int h) const {
    for (int py = y; py < y + h; ++py)
      for (int px = x; px < x + w; ++px)
        if (Pixel(px, py) != SMEAR) return false;
    return true;
  }

  bool& Hover(int b) { return b == NEXT ? form->NextHover : b == AGAIN ? form->AgainHover : form->MainHover; }
  bool ShowsLit(int b) const { return Shows(b == NEXT ? form->Next : b == AGAIN ? form->Again : form->Main, 440, BUTTON_Y[b]); }
  bool ShowsOff(int b) const {
    return Shows(b == NEXT ? form->NextOff : b == AGAIN ? form->AgainOff : form->MainOff, 440, BUTTON_Y[b]);
  }
  bool ButtonSmeared(int b) const { return Smeared(440, BUTTON_Y[b], 110, 65); }
  bool PanelNormal() const { return ShowsOff(NEXT) && ShowsOff(AGAIN) && ShowsOff(MAIN); }
  bool BallOnStartCell() const {
    const TBoard& b = *form->Board;
    return form->BallCol == b.StartCol && form->BallRow == b.StartRow && form->BallX == 20 + 20 * (b.StartCol - 1) &&
           form->BallY == 20 + 20 * (b.StartRow - 1);
  }

  // The game screen as the start spot brings it up the first time.
  void StartGame() { Click(505, 400), sounds.clear(); }
  // The game screen with the known level part-played: a bar moved, the ball
  // falling between cells, the motion timer shortened for the fall.
  void PlayKnownLevel() {
    StartGame();
    *form->SavedBoard = KnownLevel();
    *form->Board = KnownLevelPlayed();
    form->BallCol = 3, form->BallRow = 4, form->BallX = 60, form->BallY = 87;
    form->SpeedX = 1, form->SpeedY = 2, form->OutFrame = 3;
    form->Timer1.SetInterval(21);
    Smear();
  }
  // The win screen, entered silently so that only what follows is heard.
  void ToWinScreen() { form->SoundOn = false, form->ShowWinScreen(), form->SoundOn = true; }
  std::array<int, 7> BallState() const {
    return {form->BallCol, form->BallRow, form->BallX, form->BallY, form->SpeedX, form->SpeedY, form->OutFrame};
  }
};

// ---- Title screen ----

enum class Spot { None, Start, Site };
struct TitleMoveRow { int x, y; Spot lit; };
constexpr TitleMoveRow kTitleMoves[] = {
    {471, 381, Spot::Start}, {470, 381, Spot::None}, {471, 380, Spot::None}, {549, 439, Spot::Start},
    {900, 900, Spot::Start},  // outside the window while a button is held
    {89, 381, Spot::Site},   {90, 381, Spot::None},  {89, 380, Spot::None},  {0, 439, Spot::Site},
    {-40, 600, Spot::Site},  {45, 370, Spot::None},  {275, 420, Spot::None}, {275, 100, Spot::None},
    {465, 370, Spot::None},  // no highlight, yet a click here starts the game
};

class TitleMove : public ScreenTest, public testing::WithParamInterface<TitleMoveRow> {};

TEST_P(TitleMove, HighlightsOnlyInsideTheSmallerHoverAreas) {
  const auto [x, y, lit] = GetParam();
  form->FormPaint();
  form->Window->SetCursor(platform::CURSOR_HOURGLASS);
  Move(x, y);
  EXPECT_EQ(form->Window->Cursor(), lit == Spot::None ? platform::CURSOR_ARROW : platform::CURSOR_HANDPOINT);
  EXPECT_EQ(form->GameHover, lit == Spot::Start);
  EXPECT_EQ(form->SiteHover, lit == Spot::Site);
  EXPECT_EQ(Shows(form->Game, 460, 360), lit == Spot::Start);
  EXPECT_EQ(Shows(form->Site, 0, 360), lit == Spot::Site);
  EXPECT_TRUE(lit != Spot::None || Shows(form->Title, 0, 0));
  EXPECT_TRUE(sounds.empty());
}

TEST_P(TitleMove, WithBothFlagsSetDrawsOnlyWhenLeavingTheSpots) {
  const auto [x, y, lit] = GetParam();
  form->GameHover = form->SiteHover = true;
  Smear();
  Move(x, y);
  if (lit == Spot::None) {
    EXPECT_TRUE(Shows(form->Title, 0, 0));
    EXPECT_FALSE(form->GameHover || form->SiteHover);
  } else {
    // Entering one spot neither redraws it nor touches the other's flag.
    EXPECT_TRUE(Smeared(0, 0, CLIENT_WIDTH, CLIENT_HEIGHT));
    EXPECT_TRUE(form->GameHover && form->SiteHover);
  }
}

INSTANTIATE_TEST_SUITE_P(Screen, TitleMove, testing::ValuesIn(kTitleMoves), RowName<TitleMoveRow>);

// The press and release areas of the two spots, larger than their hover areas.
struct TitleClickRow { int x, y; Spot spot; };
constexpr TitleClickRow kTitleClicks[] = {
    {0, 361, Spot::Site},     {90, 361, Spot::Site},    {90, 439, Spot::Site},   {91, 361, Spot::None},
    {-1, 400, Spot::None},    {45, 360, Spot::None},    {460, 361, Spot::Start}, {550, 361, Spot::Start},
    {505, 5000, Spot::Start}, {465, 370, Spot::Start},  {459, 400, Spot::None},  {551, 400, Spot::None},
    {505, 360, Spot::None},   {275, 420, Spot::None},   {275, 10, Spot::None},
};

class TitleClick : public ScreenTest, public testing::WithParamInterface<TitleClickRow> {};

TEST_P(TitleClick, PressSoundsSelectOnlyOnTheSpotsAndChangesNothingElse) {
  const auto [x, y, spot] = GetParam();
  const bool select = spot != Spot::None;
  form->GameHover = true;
  form->Window->SetCursor(platform::CURSOR_HOURGLASS);
  Smear();
  Down(x, y);
  ASSERT_EQ(sounds.size(), select ? 1u : 0u);
  if (select) {
    EXPECT_EQ(sounds[0].image, form->SoundSelect.data());
    EXPECT_EQ(sounds[0].mode, platform::PlayMode::Async);
  }
  EXPECT_TRUE(Smeared(0, 0, CLIENT_WIDTH, CLIENT_HEIGHT));
  EXPECT_EQ(form->Window->Cursor(), platform::CURSOR_HOURGLASS);
  EXPECT_TRUE(form->GameHover && !form->SiteHover);
  EXPECT_EQ(form->ScreenMode, SCREEN_TITLE);
}

// The homepage spot launches its shortcut; the screen stays as it was.
TEST_P(TitleClick, ReleaseRedrawsTheTitleAndOnlyTheStartSpotStartsTheGame) {
  const auto [x, y, spot] = GetParam();
  const bool starts = spot == Spot::Start;
  form->GameHover = form->SiteHover = true;
  form->Window->SetCursor(platform::CURSOR_HOURGLASS);
  Smear();
  Up(x, y);
  EXPECT_TRUE(sounds.empty());
  EXPECT_TRUE(form->GameHover && form->SiteHover);  // a release never touches a flag
  EXPECT_EQ(form->LevelReady, starts);
  EXPECT_EQ(form->Timer1.Enabled(), starts);  // only the start spot starts the ball
  EXPECT_FALSE(form->Timer2.Enabled());
  if (starts) {
    EXPECT_EQ(form->ScreenMode, SCREEN_GAME);
    EXPECT_TRUE(Same(*form->Board, *form->SavedBoard));
    EXPECT_TRUE(BallOnStartCell());
    EXPECT_TRUE(Shows(form->Ball, form->BallX, form->BallY));
    EXPECT_TRUE(Shows(form->Exit, game::CellX(form->Board->ExitCol), game::CellY(form->Board->ExitRow)));
    EXPECT_TRUE(PanelNormal());  // the background with its buttons
    EXPECT_EQ(form->Window->Cursor(), platform::CURSOR_ARROW);  // the dealer's hour-glass is gone
  } else {
    EXPECT_EQ(form->ScreenMode, SCREEN_TITLE);
    EXPECT_TRUE(Shows(form->Title, 0, 0));
    EXPECT_EQ(form->Window->Cursor(), platform::CURSOR_HOURGLASS);
  }
}

INSTANTIATE_TEST_SUITE_P(Screen, TitleClick, testing::ValuesIn(kTitleClicks), RowName<TitleClickRow>);

TEST_F(ScreenTest, TitleReleaseAndRepaintHideTheHighlightWhichReturnsOnlyAfterLeavingBothSpots) {
  form->FormPaint();
  Move(500, 400);
  ASSERT_TRUE(Shows(form->Game, 460, 360));
  Up(275, 100);
  EXPECT_TRUE(Shows(form->Title, 0, 0));
  EXPECT_TRUE(form->GameHover);
  Move(501, 401);  // the flag says it is lit already
  EXPECT_FALSE(Shows(form->Game, 460, 360));
  Move(275, 100);
  EXPECT_FALSE(form->GameHover);
  Move(500, 400);
  EXPECT_TRUE(Shows(form->Game, 460, 360));
  form->SiteHover = true;
  form->FormPaint();  // a repaint shows no highlight either, and clears nothing
  EXPECT_TRUE(Shows(form->Title, 0, 0));
  EXPECT_TRUE(form->GameHover && form->SiteHover);
}

TEST_F(ScreenTest, HomepageSpotOpensTheShortcutWithTheDesktopOpener) {
  // Whether or not an opener or the file is there, the game goes on unchanged.
  form->FormPaint();
  Move(40, 400);
  Click(40, 400);
  EXPECT_EQ(commandLines, (std::vector<std::string>{"start \"Quillamor 2000 homepage.url\""}));
  EXPECT_EQ(form->ScreenMode, SCREEN_TITLE);
  EXPECT_TRUE(Shows(form->Title, 0, 0));
  EXPECT_FALSE(form->LevelReady || form->Timer1.Enabled());
  EXPECT_EQ(form->Window->Cursor(), platform::CURSOR_HANDPOINT);
  EXPECT_TRUE(form->SiteHover);
  EXPECT_EQ(sounds.size(), 1u);  // Select, on the press
}

// ---- Game screen panel ----

// lit: the button hovered; resets: the buttons put back to normal, a bit each.
struct GameMoveRow { int x, y; Cur cursor; int lit, resets; };
constexpr int R_NEXT = 1 << NEXT, R_AGAIN = 1 << AGAIN, R_MAIN = 1 << MAIN, R_ALL = R_NEXT | R_AGAIN | R_MAIN;
constexpr GameMoveRow kGameMoves[] = {
    {441, 245, Cur::Hand, NEXT, R_AGAIN | R_MAIN}, {441, 309, Cur::Hand, NEXT, R_AGAIN | R_MAIN},
    {549, 280, Cur::Hand, NEXT, R_AGAIN | R_MAIN}, {800, 280, Cur::Hand, NEXT, R_AGAIN | R_MAIN},
    {441, 310, Cur::Hand, AGAIN, R_NEXT | R_MAIN}, {441, 374, Cur::Hand, AGAIN, R_NEXT | R_MAIN},
    {441, 375, Cur::Hand, MAIN, R_NEXT | R_AGAIN}, {441, 435, Cur::Hand, MAIN, R_NEXT | R_AGAIN},
    {440, 280, Cur::Arrow, NONE, R_ALL},  {440, 400, Cur::Arrow, NONE, R_ALL},  {-5, 300, Cur::Arrow, NONE, R_ALL},
    {441, 244, Cur::Arrow, NONE, R_NEXT}, {441, 0, Cur::Arrow, NONE, R_NEXT},   {549, 100, Cur::Arrow, NONE, R_NEXT},
    {441, -1, Cur::Arrow, NONE, 0},       {441, 436, Cur::Keep, NONE, 0},       {441, 439, Cur::Keep, NONE, 0},
    {500, 900, Cur::Keep, NONE, 0},
    // The playfield is the bars' business; just outside it is the panel's.
    {21, 21, Cur::Keep, NONE, 0},         {419, 419, Cur::Keep, NONE, 0},       {20, 21, Cur::Arrow, NONE, R_ALL},
    {21, 20, Cur::Arrow, NONE, R_ALL},    {420, 419, Cur::Arrow, NONE, R_ALL},  {419, 420, Cur::Arrow, NONE, R_ALL},
};

class GameMove : public ScreenTest, public testing::WithParamInterface<GameMoveRow> {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    StartGame();
    // No bar in the corner cells, whatever level was dealt: over an empty
    // cell the pointer is left as it was.
    form->Board->Cells[1][1] = form->Board->Cells[20][20] = CELL_EMPTY;
    Smear();
    form->Window->SetCursor(platform::CURSOR_HOURGLASS);
  }
  static int ExpectedCursor(Cur c) {
    return c == Cur::Arrow ? platform::CURSOR_ARROW : c == Cur::Hand ? platform::CURSOR_HANDPOINT : platform::CURSOR_HOURGLASS;
  }
};

TEST_P(GameMove, LightsTheButtonUnderThePointerWhenItsFlagIsClear) {
  const auto [x, y, cursor, lit, resets] = GetParam();
  Move(x, y);
  EXPECT_EQ(form->Window->Cursor(), ExpectedCursor(cursor));
  for (int b : {NEXT, AGAIN, MAIN}) {
    SCOPED_TRACE(b);
    EXPECT_EQ(Hover(b), b == lit);
    EXPECT_TRUE(b == lit ? ShowsLit(b) : ButtonSmeared(b));  // a clear flag needs no reset
  }
  EXPECT_TRUE(sounds.empty());
}

TEST_P(GameMove, WithEveryFlagSetResetsOnlyTheButtonsOfItsArea) {
  const auto [x, y, cursor, lit, resets] = GetParam();
  form->NextHover = form->AgainHover = form->MainHover = true;
  Move(x, y);
  EXPECT_EQ(form->Window->Cursor(), ExpectedCursor(cursor));
  for (int b : {NEXT, AGAIN, MAIN}) {
    SCOPED_TRACE(b);
    const bool reset = resets & (1 << b);  // every flag was set, so a reset shows
    EXPECT_EQ(Hover(b), !reset);
    EXPECT_TRUE(reset ? ShowsOff(b) : ButtonSmeared(b));  // a lit button is not drawn again
  }
}

INSTANTIATE_TEST_SUITE_P(Screen, GameMove, testing::ValuesIn(kGameMoves), RowName<GameMoveRow>);

// The button a press lights and the one a release runs: a press has no
// right-hand bound, a release ends at column 549.
struct GameClickRow { int x, y, press, release; };
constexpr GameClickRow kGameClicks[] = {
    {441, 245, NEXT, NEXT},   {441, 309, NEXT, NEXT},   {549, 280, NEXT, NEXT},   {550, 280, NEXT, NONE},
    {441, 310, AGAIN, AGAIN}, {441, 374, AGAIN, AGAIN}, {549, 340, AGAIN, AGAIN}, {441, 375, MAIN, MAIN},
    {441, 435, MAIN, MAIN},   {900, 400, MAIN, NONE},   {440, 280, NONE, NONE},   {441, 244, NONE, NONE},
    {441, 436, NONE, NONE},   {441, 439, NONE, NONE},   {441, -1, NONE, NONE},    {200, 200, NONE, NONE},
    {430, 300, NONE, NONE},   {20, 420, NONE, NONE},
};

class GameClick : public ScreenTest, public testing::WithParamInterface<GameClickRow> {};

TEST_P(GameClick, PressLightsTheButtonWithSelectButStartsNothing) {
  const auto [x, y, button, release] = GetParam();
  PlayKnownLevel();
  form->Window->SetCursor(platform::CURSOR_HOURGLASS);
  Down(x, y);
  EXPECT_EQ(sounds.size(), button == NONE ? 0u : 1u);
  EXPECT_EQ(Played(form->SoundSelect), button == NONE ? 0 : 1);
  for (int b : {NEXT, AGAIN, MAIN}) {
    SCOPED_TRACE(b);
    EXPECT_TRUE(b == button ? ShowsLit(b) : ButtonSmeared(b));
    EXPECT_FALSE(Hover(b));
  }
  EXPECT_EQ(form->Window->Cursor(), platform::CURSOR_HOURGLASS);
  EXPECT_EQ(form->ScreenMode, SCREEN_GAME);
  EXPECT_TRUE(Same(*form->Board, KnownLevelPlayed()) && Same(*form->SavedBoard, KnownLevel()));
  EXPECT_EQ(form->BallY, 87);
}

// Checks what the release of a level in play did, button by button.
TEST_P(GameClick, ReleaseRunsTheButtonUnderItAndShowsTheButtonsNormal) {
  const auto [x, y, press, button] = GetParam();
  PlayKnownLevel();
  form->NextHover = form->AgainHover = form->MainHover = true;
  Up(x, y);
  EXPECT_TRUE(sounds.empty());
  EXPECT_TRUE(form->NextHover && form->AgainHover && form->MainHover);  // whatever the release did
  EXPECT_EQ(form->Timer1.Enabled(), button != MAIN);
  EXPECT_EQ(form->Timer1.Interval(), 21);
  EXPECT_EQ(form->SpeedY, 2);
  EXPECT_EQ(form->ScreenMode, button == MAIN ? SCREEN_TITLE : SCREEN_GAME);
  switch (button) {
    case NEXT:  // a fresh deal, the ball on its start cell
      EXPECT_FALSE(Same(*form->SavedBoard, KnownLevel()));
      EXPECT_TRUE(Same(*form->Board, *form->SavedBoard));
      EXPECT_TRUE(BallOnStartCell());
      EXPECT_EQ(form->SpeedX, 0);
      EXPECT_EQ(form->OutFrame, 0);
      break;
    case AGAIN:  // the level as dealt, the ball back on its start cell
      EXPECT_TRUE(Same(*form->Board, KnownLevel()) && Same(*form->SavedBoard, KnownLevel()));
      EXPECT_EQ(BallState(), (std::array<int, 7>{3, 2, 60, 40, 0, 2, 3}));
      EXPECT_TRUE(Shows(form->Vertical, game::CellX(5), game::CellY(5)));
      EXPECT_TRUE(Shows(form->Ball, 60, 40));
      break;
    case MAIN:  // back to the title, the level kept as it stands
      EXPECT_TRUE(Shows(form->Title, 0, 0));
      [[fallthrough]];
    default:
      EXPECT_TRUE(Same(*form->Board, KnownLevelPlayed()) && Same(*form->SavedBoard, KnownLevel()));
      EXPECT_EQ(BallState(), (std::array<int, 7>{3, 4, 60, 87, 1, 2, 3}));
  }
  EXPECT_TRUE(button == MAIN || PanelNormal());
}

// Using a button while the exit animation runs ends the animation first.
TEST_P(GameClick, ReleaseDuringTheExitAnimationStopsItOnlyForAButton) {
  const auto [x, y, press, button] = GetParam();
  PlayKnownLevel();
  form->Timer1.SetEnabled(false);
  form->Timer2.SetEnabled(true);
  Up(x, y);
  EXPECT_EQ(form->Timer2.Enabled(), button == NONE);
  EXPECT_EQ(form->Timer1.Enabled(), button == NEXT || button == AGAIN);
  EXPECT_EQ(form->ScreenMode, button == MAIN ? SCREEN_TITLE : SCREEN_GAME);
}

INSTANTIATE_TEST_SUITE_P(Screen, GameClick, testing::ValuesIn(kGameClicks), RowName<GameClickRow>);

TEST_F(ScreenTest, GameReleaseAloneChoosesTheAction) {
  PlayKnownLevel();
  Down(500, 280);  // on Next ...
  Up(500, 400);    // ... released on Main
  EXPECT_EQ(form->ScreenMode, SCREEN_TITLE);
  EXPECT_TRUE(Same(*form->SavedBoard, KnownLevel()));  // Next dealt nothing

  PlayKnownLevel();
  Down(500, 340);  // on Again, released beside the panel
  ASSERT_TRUE(ShowsLit(AGAIN));
  Up(560, 340);
  EXPECT_TRUE(PanelNormal());
  EXPECT_TRUE(Same(*form->Board, KnownLevelPlayed()));

  Down(200, 200);  // in the playfield, released on Again
  Up(500, 340);
  EXPECT_TRUE(Same(*form->Board, KnownLevel()));
  EXPECT_TRUE(BallOnStartCell());
  EXPECT_EQ(Played(form->SoundSelect), 1);
}

TEST_F(ScreenTest, GameReleaseLeavesTheFlagSoTheButtonLightsAgainOnlyAfterLeaving) {
  PlayKnownLevel();
  Move(500, 340);
  ASSERT_TRUE(ShowsLit(AGAIN));
  Click(500, 340);
  EXPECT_TRUE(PanelNormal());
  EXPECT_TRUE(form->AgainHover);
  Move(501, 341);
  EXPECT_TRUE(ShowsOff(AGAIN));
  Down(501, 341);  // a press lights it at once
  EXPECT_TRUE(ShowsLit(AGAIN));
  Up(501, 341);
  Move(500, 280);
  EXPECT_FALSE(form->AgainHover);
  Move(500, 340);
  EXPECT_TRUE(ShowsLit(AGAIN));
}

TEST_F(ScreenTest, GameRepaintShowsTheButtonsAsTheBackgroundHasThem) {
  StartGame();
  Move(500, 400);
  ASSERT_TRUE(ShowsLit(MAIN));
  form->FormPaint();
  EXPECT_TRUE(PanelNormal());
  EXPECT_TRUE(form->MainHover);
  EXPECT_TRUE(Shows(form->Ball, form->BallX, form->BallY));
}

TEST_F(ScreenTest, MainWaitsWithTheMotionStoppedAndTheGameStillInFront) {
  PlayKnownLevel();
  std::vector<std::pair<int, bool>> seen;  // screen and motion timer, as each message is handled
  PostedProbe probe([&] { seen.emplace_back(form->ScreenMode, form->Timer1.Enabled()); });
  ASSERT_TRUE(probe.Post());
  const std::uint32_t before = platform::GetTickCount();
  Click(500, 400);
  EXPECT_GE(platform::GetTickCount() - before, 100u);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], std::make_pair(int(SCREEN_GAME), false));
  EXPECT_EQ(form->ScreenMode, SCREEN_TITLE);
  EXPECT_FALSE(form->Timer1.Enabled());
}

TEST_F(ScreenTest, StartAfterMainResumesTheSameLevelAndBall) {
  Move(505, 400);  // lights the start spot; the flag outlives the game
  PlayKnownLevel();
  Move(500, 400);
  Click(500, 400);
  ASSERT_EQ(form->ScreenMode, SCREEN_TITLE);
  Move(500, 400);
  EXPECT_FALSE(Shows(form->Game, 460, 360));  // GameHover is still set from before the game
  Smear();
  Click(500, 400);
  EXPECT_EQ(form->ScreenMode, SCREEN_GAME);
  EXPECT_TRUE(Same(*form->Board, KnownLevelPlayed()) && Same(*form->SavedBoard, KnownLevel()));
  EXPECT_EQ(BallState(), (std::array<int, 7>{3, 4, 60, 87, 1, 2, 3}));
  EXPECT_TRUE(form->Timer1.Enabled());
  EXPECT_TRUE(Shows(form->Ball, 60, 87));
  EXPECT_TRUE(Shows(form->Vertical, game::CellX(6), game::CellY(5)));
  EXPECT_TRUE(PanelNormal());
}

// ---- Screen changes ----

TEST_F(ScreenTest, StartNewLevelDealsAndKeepsTheFall) {
  form->SpeedX = -1, form->SpeedY = 2, form->OutFrame = 8;
  form->Timer1.SetInterval(21);
  form->Timer2.SetEnabled(true);
  *form->SavedBoard = KnownLevel();
  Smear();
  form->StartNewLevel();
  EXPECT_EQ(form->ScreenMode, SCREEN_GAME);
  EXPECT_EQ((std::array{form->SpeedX, form->SpeedY, form->OutFrame}), (std::array{0, 2, 0}));
  EXPECT_EQ(form->Timer1.Interval(), 21);
  EXPECT_TRUE(form->Timer1.Enabled());
  EXPECT_TRUE(form->Timer2.Enabled());  // not its business
  EXPECT_FALSE(form->LevelReady);
  EXPECT_FALSE(Same(*form->SavedBoard, KnownLevel()));
  EXPECT_TRUE(Same(*form->Board, *form->SavedBoard));
  EXPECT_TRUE(BallOnStartCell());
  EXPECT_TRUE(Shows(form->Ball, form->BallX, form->BallY));
  EXPECT_TRUE(PanelNormal());
  EXPECT_TRUE(sounds.empty());
}

class WinScreen : public ScreenTest, public testing::WithParamInterface<bool> {};

TEST_P(WinScreen, ShowsWowAndPlaysItToTheEndOnlyWithSoundOn) {
  form->SoundOn = GetParam();
  form->Timer2.SetEnabled(true);
  Smear();
  form->ShowWinScreen();
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_EQ(form->ScreenMode, SCREEN_WIN);
  EXPECT_TRUE(Shows(form->Frames[0], 0, 0));
  ASSERT_EQ(sounds.size(), GetParam() ? 1u : 0u);
  if (GetParam()) {
    EXPECT_EQ(sounds[0].image, form->SoundWow.data());
    EXPECT_EQ(sounds[0].mode, platform::PlayMode::Sync);
  }
}

INSTANTIATE_TEST_SUITE_P(Screen, WinScreen, testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "SoundOn" : "SoundOff");
});

TEST_F(ScreenTest, SilentGamePlaysNoSelectEither) {
  form->SoundOn = false;
  Down(40, 400);  // on the homepage spot, released on the start spot
  Up(505, 400);
  Down(500, 340);
  EXPECT_TRUE(ShowsLit(AGAIN));
  EXPECT_TRUE(sounds.empty());
}

TEST_F(ScreenTest, WinScreenMoveSetsTheArrowAndReleaseDoesNothing) {
  ToWinScreen();
  form->NextHover = true;
  Smear();
  Move(500, 280);
  EXPECT_EQ(form->Window->Cursor(), platform::CURSOR_ARROW);
  Up(500, 280);
  EXPECT_EQ(form->ScreenMode, SCREEN_WIN);
  EXPECT_TRUE(Smeared(0, 0, CLIENT_WIDTH, CLIENT_HEIGHT));
  EXPECT_TRUE(form->NextHover);
  EXPECT_FALSE(form->Timer1.Enabled());
  EXPECT_TRUE(sounds.empty());
}

// The click that leaves the win screen acts twice: its press deals at once,
// its release then acts on the game screen at the same point.
TEST_P(GameClick, WinScreenPressDealsAndItsReleaseThenActsOnTheGameScreen) {
  const auto [x, y, press, button] = GetParam();
  form->LevelReady = true;  // a win comes only after the first level
  ToWinScreen();
  Down(x, y);
  ASSERT_EQ(form->ScreenMode, SCREEN_GAME);
  EXPECT_TRUE(form->Timer1.Enabled());
  const TBoard dealt = *form->SavedBoard;
  EXPECT_TRUE(Same(*form->Board, dealt));
  // What became of the new level before the release: Again undoes it.
  form->Board->Cells[1][1] = CELL_BORDER;
  form->BallY += 5;
  Up(x, y);
  EXPECT_TRUE(sounds.empty());  // the press was no button press
  EXPECT_EQ(form->ScreenMode, button == MAIN ? SCREEN_TITLE : SCREEN_GAME);
  EXPECT_EQ(form->Timer1.Enabled(), button != MAIN);
  EXPECT_EQ(Same(*form->SavedBoard, dealt), button != NEXT);  // Next deals a second level
  EXPECT_EQ(Same(*form->Board, *form->SavedBoard), button == NEXT || button == AGAIN);
  EXPECT_EQ(BallOnStartCell(), button == NEXT || button == AGAIN);
  if (button == MAIN) {
    // The level dealt by the press waits behind the title.
    EXPECT_TRUE(Shows(form->Title, 0, 0));
    const TBoard kept = *form->Board;
    const int keptY = form->BallY;
    Click(500, 400);
    EXPECT_EQ(form->ScreenMode, SCREEN_GAME);
    EXPECT_TRUE(Same(*form->Board, kept));
    EXPECT_TRUE(Same(*form->SavedBoard, dealt));
    EXPECT_EQ(form->BallY, keptY);
  }
}

// ---- The wait ----

class Delay : public ScreenTest, public testing::WithParamInterface<std::int32_t> {};

// Lasts at least its time and handles messages as they come, each message
// here posting the next; with no time to wait, one pass handles what was
// pending when it began.
TEST_P(Delay, WaitsItsTimeAndHandlesMessagesAsTheyCome) {
  int handled = 0;
  std::unique_ptr<PostedProbe> probe;
  probe = std::make_unique<PostedProbe>([&] {
    if (++handled < 5) probe->Post();
  });
  ASSERT_TRUE(probe->Post());
  const std::uint32_t start = platform::GetTickCount();
  form->DelayWithMessages(GetParam());
  EXPECT_GE(static_cast<std::int64_t>(platform::GetTickCount() - start), std::max(GetParam(), 0));
  EXPECT_EQ(handled, GetParam() > 0 ? 5 : 1);
  platform::ProcessMessages();  // the rest of the chain goes before the next test
}

INSTANTIATE_TEST_SUITE_P(Screen, Delay, testing::Values(100, 0, -1, INT_MIN));

}  // namespace
