#pragma once
// What the headless suites share: a main window made fresh for each test,
// with its sounds noted and, where asked, a fixed clock.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/app.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "ui/main_form.h"

class FormTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::RecordSoundsForTest(&sounds);
    form = std::make_unique<TMainForm>();
    platform::SetActiveWindowForTest(form->Window.get());
  }
  void TearDown() override {
    form.reset();
    platform::RecordSoundsForTest(nullptr);
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
  // How often each sound image was played.
  int Played(std::span<const std::uint8_t> image) const {
    int n = 0;
    for (const auto& s : sounds) n += s.image == image.data();
    return n;
  }

  std::vector<platform::PlayedSound> sounds;
  std::unique_ptr<TMainForm> form;
};
