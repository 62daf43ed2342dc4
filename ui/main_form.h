#pragma once
// The main window: the one owner of the game's state. Its handlers ask the
// rules in game/ what happens and do the drawing, sounds and timers.
//
// Where each group of members is defined:
//   ui/main_form.cpp   creation, the first show, painting, closing, Draw, PlaySound
//   ui/level.cpp       GenerateLevel, DrawBoard, DrawBall
//   ui/motion.cpp      Timer1Timer, Timer2Timer, EraseBallTrail
//   ui/bar_moves.cpp   the playfield's presses and moves, SettleBall, AlignBall
//   ui/screens.cpp     the mouse handlers, StartNewLevel, ShowWinScreen, DelayWithMessages
// The ball's fields (BallX, BallY, BallCol, BallRow, SpeedX, SpeedY) are the
// record TBallFields of game/ball.h, which the rules move.

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "game/ball.h"
#include "game/bar_moves.h"
#include "game/board.h"
#include "game/random.h"
#include "platform/bitmap.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "timing/hires_timer.h"

class TQuestionForm;

constexpr std::uint8_t SCREEN_TITLE = 1;
constexpr std::uint8_t SCREEN_GAME = 2;
constexpr std::uint8_t SCREEN_WIN = 4;

// Custom cursors, by the numbers they are registered under.
constexpr int CURSOR_DOWN = 1;
constexpr int CURSOR_UP = 2;
constexpr int CURSOR_LEFT = 3;
constexpr int CURSOR_RIGHT = 4;

constexpr int CLIENT_WIDTH = 550;
constexpr int CLIENT_HEIGHT = 440;

constexpr const char* MESSAGE_NO_SOUND =
    "Can not find audio card or the card is busy. So the game will run without any sounds";

class TMainForm : public platform::WindowEvents, public TBallFields {
 public:
  // Creates the window (hidden) and runs FormCreate.
  TMainForm();
  ~TMainForm() override;

  // The first show: FormShow (the difficulty question, then the sound
  // probe), and only then the window comes on screen.
  void Show();

  // Window handlers.
  void FormCreate();
  void FormShow();
  void FormPaint();
  void FormClose();
  void FormMouseDown(int X, int Y);
  void FormMouseMove(int X, int Y);
  void FormMouseUp(int X, int Y);

  // Board drawing.
  void DrawBoard();
  void DrawBall();
  // Ball motion: the motion tick, the exit animation, and wiping the strip
  // the coming step uncovers.
  void Timer1Timer(TcsCustomTimer* Sender);
  void Timer2Timer(TcsCustomTimer* Sender);
  void EraseBallTrail();
  // Bar moves: the playfield's part of the mouse handlers, and finishing the
  // ball's partial step before a bar moves.
  void PlayfieldMouseDown(int X, int Y);
  void PlayfieldMouseMove(int X, int Y);
  void SettleBall(std::int32_t col, std::int32_t row);
  void AlignBall(game::TDirection Direction);
  // Deals a level into Board and SavedBoard and puts the ball on its start.
  void GenerateLevel();
  // Screens.
  void StartNewLevel();
  void ShowWinScreen();
  void DelayWithMessages(std::int32_t ms);

  // Draws a picture opaque at its natural size on the window's canvas.
  void Draw(const platform::Bitmap& picture, int x, int y);
  // Plays a sound while sounds are on: asynchronously, or to its end.
  void PlaySound(std::span<const std::uint8_t> image, platform::PlayMode mode = platform::PlayMode::Async);

  // The difficulty question, asked at the first show (set by the program).
  TQuestionForm* QuestionForm = nullptr;

  std::unique_ptr<platform::Window> Window;
  TcsHiResTimer Timer1;
  TcsHiResTimer Timer2;
  // Pictures.
  platform::Bitmap Walpaper, Title, Main, MainOff, Next, NextOff, Again, AgainOff, Game, Site, Vertical, Horizont,
      Exit, Ball, NoBall, NoV, NoH;
  // Element 0 is the win picture "WOW", 1..8 the exit animation "Out1".."Out8".
  std::array<platform::Bitmap, 9> Frames;
  std::int32_t OutFrame = 0;
  std::uint8_t ScreenMode = SCREEN_TITLE;
  std::unique_ptr<TBoard> Board;
  std::unique_ptr<TBoard> SavedBoard;
  std::int32_t BoardLeft = BOARD_LEFT;
  std::int32_t BoardTop = BOARD_TOP;
  bool LevelReady = false;
  bool SoundOn = true;
  std::int32_t Difficulty = 0;
  // The one random generator, seeded from the clock.
  game::TRandom Random;
  // The sounds, read-only images inside the program.
  std::span<const std::uint8_t> SoundBam, SoundMove, SoundOut, SoundWow, SoundSelect, SoundStart;
  bool GameHover = false, SiteHover = false, NextHover = false, AgainHover = false, MainHover = false;

 private:
  // platform::WindowEvents
  void OnPaint() override { FormPaint(); }
  void OnMouseDown(int x, int y) override { FormMouseDown(x, y); }
  void OnMouseMove(int x, int y) override { FormMouseMove(x, y); }
  void OnMouseUp(int x, int y) override { FormMouseUp(x, y); }
  void OnClose() override { FormClose(); }
};
