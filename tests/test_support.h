#pragma once
// What the headless suites share: a main window made fresh for each test,
// with its sounds, command lines and pointer moves noted, ticks fired by the
// test and, where asked, a fixed clock.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/cursor.h"
#include "platform/launch.h"
#include "platform/mmtimer.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "tests/test_seams.h"
#include "ui/main_form.h"

// The playfield as the window's canvas shows it, row by row.
inline std::vector<std::uint32_t> PlayfieldPixels(const TMainForm& form) {
  std::vector<std::uint32_t> pixels;
  pixels.reserve(400 * 400);
  for (int y = 20; y < 420; ++y)
    for (int x = 20; x < 420; ++x) pixels.push_back(form.Window->Pixel(x, y));
  return pixels;
}
// Whether the playfield on the canvas is what a fresh paint of the state
// shows: no trail, nothing stale. Leaves the canvas freshly painted.
inline bool PlayfieldIsFresh(TMainForm& form) {
  const auto shown = PlayfieldPixels(form);
  form.FormPaint();
  return shown == PlayfieldPixels(form);
}

// Command lines of tests that do not look at them: noted, never run.
inline std::vector<std::string>& IgnoredCommandLines() {
  static std::vector<std::string> lines;
  return lines;
}

// Fires the timer's next tick as its clock would: the tick is posted, and
// runs when messages are next handled. False when the timer is not running.
inline bool QueueTick(const TcsHiResTimer& timer) { return platform::FireTimerEventForTest(timer.TimerId()); }
// Fires the next tick and handles it.
inline bool Tick(const TcsHiResTimer& timer) {
  const bool fired = QueueTick(timer);
  platform::ProcessMessages();
  return fired;
}

class FormTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::RecordSoundsForTest(&sounds);
    platform::RecordCommandLinesForTest(&commandLines);
    platform::RecordPointerMovesForTest(&pointerMoves);
    form = std::make_unique<TMainForm>();
    platform::SetActiveWindowForTest(form->Window.get());
  }
  void TearDown() override {
    form.reset();
    platform::RecordSoundsForTest(nullptr);
    platform::RecordCommandLinesForTest(&IgnoredCommandLines());
    platform::RecordPointerMovesForTest(nullptr);
    platform::ClearActiveWindowOverride();
    platform::SetClockForTest(nullptr);
  }

  // The colour of a canvas pixel, 0xRRGGBB.
  std::uint32_t Pixel(int x, int y) const { return form->Window->Pixel(x, y); }
  // Whether the canvas shows `picture` with its top-left corner at (x, y).
  bool Shows(const platform::Bitmap& picture, int x, int y) const {
    for (int py = 0; py < picture.Height(); ++py)
      for (int px = 0; px < picture.Width(); ++px)
        if (Pixel(x + px, y + py) != picture.Pixel(px, py)) return false;
    return true;
  }
  std::vector<std::uint32_t> Playfield() const { return PlayfieldPixels(*form); }
  bool PlayfieldIsFresh() { return ::PlayfieldIsFresh(*form); }
  // Puts a hand-made level in play: the ball on its start cell, at rest.
  void Play(const TBoard& level) {
    *form->Board = *form->SavedBoard = level;
    game::PlaceBall(*form, level.StartCol, level.StartRow);
    form->SpeedX = form->SpeedY = 0;
    form->ScreenMode = SCREEN_GAME;
    form->LevelReady = true;
    form->FormPaint();
    form->Timer1.SetEnabled(true);
  }
  // How often each sound image was played.
  int Played(std::span<const std::uint8_t> image) const {
    int n = 0;
    for (const auto& s : sounds) n += s.image == image.data();
    return n;
  }

  std::vector<platform::PlayedSound> sounds;
  std::vector<std::string> commandLines;
  std::vector<platform::PointerMove> pointerMoves;
  std::unique_ptr<TMainForm> form;
};
