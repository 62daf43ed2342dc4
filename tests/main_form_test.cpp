// The main window's life: what creation sets up, what a repaint draws on
// each screen, the sound probe at the first show, and closing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/cursor.h"
#include "platform/messages.h"
#include "game/level_generator.h"
#include "test_support.h"

namespace {

using MainForm = FormTest;

TEST_F(MainForm, CreationSetsUpTheInitialState) {
  EXPECT_EQ(form->ScreenMode, SCREEN_TITLE);
  EXPECT_FALSE(form->LevelReady);
  EXPECT_TRUE(form->SoundOn);
  EXPECT_EQ(form->Difficulty, 0);
  EXPECT_EQ(form->BoardLeft, 20);
  EXPECT_EQ(form->BoardTop, 20);
  EXPECT_EQ(form->OutFrame, 0);
  EXPECT_FALSE(form->GameHover || form->SiteHover || form->NextHover || form->AgainHover || form->MainHover);
  EXPECT_TRUE(form->Board && form->SavedBoard);
  EXPECT_FALSE(form->Timer1.Enabled());
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_EQ(form->Timer1.Interval(), 33);
  EXPECT_EQ(form->Timer1.Resolution(), 33);
  EXPECT_EQ(form->Timer2.Interval(), 70);
  EXPECT_EQ(form->Timer2.Resolution(), 70);
  EXPECT_EQ(form->Window->Cursor(), platform::CURSOR_HANDPOINT);
  EXPECT_EQ(form->Window->ClientWidth(), 550);
  EXPECT_EQ(form->Window->ClientHeight(), 440);
  for (int n = CURSOR_DOWN; n <= CURSOR_RIGHT; ++n) EXPECT_TRUE(platform::CursorRegistered(n)) << n;
}

TEST_F(MainForm, CreationLoadsEveryPictureAndSoundByName) {
  EXPECT_EQ(form->Walpaper.Width(), 550);
  EXPECT_EQ(form->Title.Height(), 440);
  EXPECT_EQ(form->Frames[0].Width(), 550);  // the win picture
  for (int n = 1; n <= 8; ++n) EXPECT_EQ(form->Frames[n].Width(), 20) << "Out" << n;
  EXPECT_EQ(form->Vertical.Height(), 40);
  EXPECT_EQ(form->Horizont.Width(), 40);
  EXPECT_EQ(form->NoV.Width(), 2);
  EXPECT_EQ(form->NoH.Height(), 2);
  for (auto sound : {form->SoundBam, form->SoundMove, form->SoundOut, form->SoundWow, form->SoundSelect,
                     form->SoundStart})
    EXPECT_GT(sound.size(), 44u);
  EXPECT_NE(form->SoundOut.data(), form->SoundWow.data());
}

TEST_F(MainForm, RepaintDrawsTheScreenInFront) {
  form->FormPaint();
  EXPECT_TRUE(Shows(form->Title, 0, 0));

  form->ScreenMode = SCREEN_WIN;
  form->FormPaint();
  EXPECT_TRUE(Shows(form->Frames[0], 0, 0));

  TBoard& board = *form->Board;
  game::FrameBoard(*form->Board);
  game::ClearBoard(*form->Board);
  board.Cells[5][6] = CELL_VBAR_TOP;
  board.Cells[5][7] = CELL_VBAR_BOTTOM;
  board.ExitCol = 12, board.ExitRow = 19;
  form->BallX = 60, form->BallY = 40;
  form->ScreenMode = SCREEN_GAME;
  form->FormPaint();
  // The background around the playfield, the board, then the ball on top.
  EXPECT_EQ(Pixel(5, 5), form->Walpaper.Pixel(5, 5));
  EXPECT_TRUE(Shows(form->NextOff, 440, 245));
  EXPECT_TRUE(Shows(form->Vertical, game::CellX(5), game::CellY(6)));
  EXPECT_TRUE(Shows(form->Exit, game::CellX(12), game::CellY(19)));
  EXPECT_TRUE(Shows(form->Ball, 60, 40));
}

TEST_F(MainForm, RepaintOfAnUnknownScreenDrawsNothing) {
  form->FormPaint();
  form->ScreenMode = 3;
  form->FormPaint();
  EXPECT_TRUE(Shows(form->Title, 0, 0));
}

TEST_F(MainForm, TheProbeKeepsSoundOnWhenTheDevicePlays) {
  form->SoundOn = false;
  form->FormShow();
  EXPECT_TRUE(form->SoundOn);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].image, form->SoundStart.data());
  EXPECT_EQ(sounds[0].mode, platform::PlayMode::Async);
  // A press on a title spot cuts the jingle off with its own sound.
  const std::uint32_t jingle = platform::QueuedSoundBytes();
  platform::PlaySoundImage(form->SoundSelect, platform::PlayMode::Async);
  const std::uint32_t selectAlone = platform::QueuedSoundBytes();
  ASSERT_LT(selectAlone, jingle);
  form->FormShow();
  form->FormMouseDown(500, 400);
  EXPECT_LE(platform::QueuedSoundBytes(), selectAlone);
}

// With no device the player is told once, and the game stays silent.
TEST_F(MainForm, WithoutASoundDeviceThePlayerIsToldOnceAndNothingPlaysLater) {
  platform::CloseSound();
  const char* before = getenv("SDL_AUDIODRIVER");
  const std::string saved = before ? before : "";
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);

  testing::internal::CaptureStderr();
  form->FormShow();
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(form->SoundOn);
  EXPECT_NE(told.find(MESSAGE_NO_SOUND), std::string::npos);
  EXPECT_EQ(told.find(MESSAGE_NO_SOUND), told.rfind(MESSAGE_NO_SOUND));

  sounds.clear();
  form->Difficulty = 1;
  form->FormMouseDown(500, 400);  // the start spot
  form->FormMouseUp(500, 400);
  form->FormMouseDown(480, 270);  // Next
  form->ShowWinScreen();
  EXPECT_TRUE(sounds.empty());

  setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
  platform::CloseSound();
}

// A device lost in play (here at the fanfare, which waits for its end) is
// not heard and says nothing; sound stays as the start settled it, and a
// device that comes back plays the next sound.
TEST_F(MainForm, ASoundDeviceLostInPlayIsTriedAgainByTheNextSound) {
  form->FormShow();
  ASSERT_TRUE(form->SoundOn);
  platform::BreakSoundDeviceForTest(platform::SoundDeviceFault::Lost);
  testing::internal::CaptureStderr();
  form->Difficulty = 1;
  form->ShowWinScreen();
  form->FormMouseDown(480, 270);  // the next level
  form->FormMouseDown(480, 270);  // Next, still lost
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(form->SoundOn);
  EXPECT_FALSE(platform::SoundDeviceOpen());
  platform::BreakSoundDeviceForTest(platform::SoundDeviceFault::None);
  sounds.clear();
  form->FormMouseDown(480, 270);  // Next, with the device back
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_TRUE(platform::SoundDeviceOpen());
  EXPECT_TRUE(form->SoundOn);
  platform::CloseSound();
}

TEST_F(MainForm, ClosingStopsBothTimersAndReleasesTheBoards) {
  form->Timer1.SetEnabled(true);
  form->Timer2.SetEnabled(true);
  form->FormClose();
  EXPECT_FALSE(form->Timer1.Enabled());
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_FALSE(form->Board);
  EXPECT_FALSE(form->SavedBoard);
}

TEST_F(MainForm, AfterTheWindowClosesNothingMoreIsHandled) {
  int handled = 0;
  const platform::HWND probe = platform::AllocateHWnd([&](std::uint32_t, std::uintptr_t, std::intptr_t) { ++handled; });
  platform::PostMessage(probe, platform::WM_USER, 0, 0);
  form->Window->RequestClose();
  EXPECT_TRUE(platform::QuitPosted());
  EXPECT_FALSE(form->Board);
  // Whatever was still queued goes nowhere.
  platform::ProcessMessages();
  EXPECT_EQ(handled, 0);
  platform::DeallocateHWnd(probe);
  form.reset();
  std::string error;
  ASSERT_TRUE(platform::Init(error));  // a fresh start for the next tests
}

}  // namespace
