#pragma once
// The small modal dialog that asks for the difficulty, 1 (easiest) to 3,
// before the title screen comes up. It cannot be closed without an answer.

#include <array>
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"
#include "platform/window.h"

class TQuestionForm : public platform::WindowEvents {
 public:
  static constexpr int mrNone = 0;
  static constexpr int mrOk = 1;

  TQuestionForm();
  ~TQuestionForm() override;

  // Shows the dialog and handles messages until a button is pressed (or
  // the program is asked to end); returns the modal result.
  int ShowModal();

  void FormCreate();
  void FormPaint();
  bool FormCloseQuery();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();

  // Flat buttons: nothing but the glyph until the pointer comes over them.
  enum class TButtonState { Up, Hot, Down };
  struct TSpeedButton {
    int Left, Top, Width, Height;
    platform::Bitmap Glyph;
    TButtonState State = TButtonState::Up;
    bool Contains(int x, int y) const { return x >= Left && x < Left + Width && y >= Top && y < Top + Height; }
  };

  // The answer: 0 until a button is pressed, then 1, 2 or 3.
  std::int32_t Tag = 0;
  int ModalResult = mrNone;
  std::unique_ptr<platform::Window> Window;
  platform::Bitmap Background;  // the "bg" tile
  platform::Bitmap Label;
  std::array<TSpeedButton, 3> SpeedButtons{{{18, 60, 75, 22, {}}, {97, 60, 75, 22, {}}, {175, 60, 75, 22, {}}}};

  // platform::WindowEvents, public so that tests can drive the dialog.
  void OnPaint() override { FormPaint(); }
  void OnMouseDown(int x, int y) override;
  void OnMouseMove(int x, int y) override;
  void OnMouseUp(int x, int y) override;
  void OnMouseLeave() override;
  bool OnCloseQuery() override { return FormCloseQuery(); }

 private:
  void Choose(std::int32_t difficulty);
  void PaintButton(const TSpeedButton& button);
  // Tiles "bg" over the dialog, painting only inside the given rectangle.
  void TileBackground(int x, int y, int width, int height);
  void SetButtonState(TSpeedButton& button, TButtonState state);
};
