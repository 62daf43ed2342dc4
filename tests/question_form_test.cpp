// The difficulty question: how it looks, how its buttons answer, and that it
// cannot be closed without an answer.

#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>

#include "test_support.h"
#include "tests/queued_events.h"
#include "ui/question_form.h"

namespace {

class QuestionDialog : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    dialog = std::make_unique<TQuestionForm>();
  }
  void TearDown() override {
    dialog.reset();
    FormTest::TearDown();
  }
  std::uint32_t DialogPixel(int x, int y) const { return dialog->Window->Pixel(x, y); }
  void PushMouse(std::uint32_t type, int x, int y) { PushPointer(type, dialog->Window->Id(), x, y); }
  void PushClose() { PushWindowEvent(dialog->Window->Id(), SDL_WINDOWEVENT_CLOSE); }
  std::unique_ptr<TQuestionForm> dialog;
};

TEST_F(QuestionDialog, PaintsTheTileTheSunkenFrameTheLabelAndTheDigits) {
  dialog->FormPaint();
  const platform::Bitmap& tile = dialog->Background;
  ASSERT_EQ(tile.Width(), 163);
  ASSERT_EQ(tile.Height(), 149);
  // The tile repeats from the top-left corner.
  EXPECT_EQ(DialogPixel(0, 0), tile.Pixel(0, 0));
  EXPECT_EQ(DialogPixel(2, 95), tile.Pixel(2, 95));
  EXPECT_EQ(DialogPixel(163, 0), tile.Pixel(0, 0));
  EXPECT_EQ(DialogPixel(267, 97), tile.Pixel(267 - 163, 97));
  // Sunken: dark on the top and left, light on the bottom and right.
  EXPECT_EQ(DialogPixel(100, 5), 0x808080u);
  EXPECT_EQ(DialogPixel(6, 50), 0x808080u);
  EXPECT_EQ(DialogPixel(100, 92), 0xFFFFFFu);
  EXPECT_EQ(DialogPixel(261, 50), 0xFFFFFFu);
  // The label darkens the tile where its strokes are, and only inside its box.
  int darkened = 0;
  for (int y = 16; y < 48; ++y)
    for (int x = 22; x < 252; ++x) darkened += DialogPixel(x, y) != tile.Pixel(x % 163, y);
  EXPECT_GT(darkened, 200);
  // Each button shows its digit centred, on the tile.
  for (const auto& button : dialog->SpeedButtons) {
    const int gx = button.Left + (button.Width - 16) / 2, gy = button.Top + (button.Height - 16) / 2;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) ASSERT_EQ(DialogPixel(gx + x, gy + y), button.Glyph.Pixel(x, y));
    EXPECT_EQ(DialogPixel(button.Left, button.Top), tile.Pixel(button.Left % 163, button.Top));
  }
}

TEST_F(QuestionDialog, AFlatButtonRaisesUnderThePointerAndSinksWhilePressed) {
  dialog->FormPaint();
  const auto& one = dialog->SpeedButtons[0];
  dialog->OnMouseMove(one.Left + 5, one.Top + 5);
  EXPECT_EQ(one.State, TQuestionForm::TButtonState::Hot);
  EXPECT_EQ(DialogPixel(one.Left + 30, one.Top), 0xFFFFFFu);
  EXPECT_EQ(DialogPixel(one.Left + 30, one.Top + one.Height - 1), 0x808080u);
  dialog->OnMouseDown(one.Left + 5, one.Top + 5);
  EXPECT_EQ(DialogPixel(one.Left + 30, one.Top), 0x808080u);
  EXPECT_EQ(DialogPixel(one.Left + 30, one.Top + one.Height - 1), 0xFFFFFFu);
  // Dragged off and released elsewhere: no answer, and the edge goes.
  dialog->OnMouseMove(5, 5);
  dialog->OnMouseUp(5, 5);
  EXPECT_EQ(dialog->Tag, 0);
  EXPECT_EQ(one.State, TQuestionForm::TButtonState::Up);
  EXPECT_EQ(DialogPixel(one.Left + 30, one.Top), dialog->Background.Pixel(one.Left + 30, one.Top));
}

TEST_F(QuestionDialog, EachButtonAnswersItsDigit) {
  for (int i = 0; i < 3; ++i) {
    TQuestionForm fresh;
    const auto& b = fresh.SpeedButtons[i];
    fresh.OnMouseDown(b.Left + b.Width / 2, b.Top + b.Height / 2);
    EXPECT_EQ(fresh.ModalResult, TQuestionForm::mrNone);
    fresh.OnMouseUp(b.Left + b.Width / 2, b.Top + b.Height / 2);
    EXPECT_EQ(fresh.Tag, i + 1);
    EXPECT_EQ(fresh.ModalResult, TQuestionForm::mrOk);
  }
}

TEST_F(QuestionDialog, ButtonEdgesAreExact) {
  const auto& two = dialog->SpeedButtons[1];  // (97, 60), 75 x 22
  dialog->OnMouseDown(96, 70);
  dialog->OnMouseUp(96, 70);
  dialog->OnMouseDown(97 + 75, 70);
  dialog->OnMouseUp(97 + 75, 70);
  dialog->OnMouseDown(120, 59);
  dialog->OnMouseUp(120, 59);
  EXPECT_EQ(dialog->Tag, 0);
  dialog->OnMouseDown(two.Left + two.Width - 1, two.Top + two.Height - 1);
  dialog->OnMouseUp(two.Left + two.Width - 1, two.Top + two.Height - 1);
  EXPECT_EQ(dialog->Tag, 2);
}

TEST_F(QuestionDialog, ACloseRequestIsRefusedUntilADigitIsChosen) {
  dialog->Window->RequestClose();
  EXPECT_EQ(dialog->ModalResult, TQuestionForm::mrNone);
  EXPECT_FALSE(platform::QuitPosted());
  EXPECT_FALSE(dialog->FormCloseQuery());
  dialog->SpeedButton3Click();
  EXPECT_TRUE(dialog->FormCloseQuery());
}

TEST_F(QuestionDialog, TheFirstShowAsksFirstAndTakesTheAnswerAsDifficulty) {
  form->QuestionForm = dialog.get();
  const auto& three = dialog->SpeedButtons[2];
  // The player tries to close the dialog, then picks 3.
  PushClose();
  PushMouse(SDL_MOUSEBUTTONDOWN, three.Left + 10, three.Top + 10);
  PushMouse(SDL_MOUSEBUTTONUP, three.Left + 10, three.Top + 10);
  form->FormShow();
  EXPECT_EQ(form->Difficulty, 3);
  EXPECT_FALSE(dialog->Window->Visible());
  // The probe ran after the answer.
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].image, form->SoundStart.data());
}

TEST_F(QuestionDialog, WhileItIsUpTheMainWindowGetsNoInput) {
  form->QuestionForm = dialog.get();
  form->Window->Show();
  PushPointer(SDL_MOUSEBUTTONDOWN, form->Window->Id(), 500, 400);  // the start spot: a press there plays "Select"
  const auto& one = dialog->SpeedButtons[0];
  PushMouse(SDL_MOUSEBUTTONDOWN, one.Left + 3, one.Top + 3);
  PushMouse(SDL_MOUSEBUTTONUP, one.Left + 3, one.Top + 3);
  form->FormShow();
  EXPECT_EQ(form->Difficulty, 1);
  EXPECT_EQ(Played(form->SoundSelect), 0);
}

}  // namespace
