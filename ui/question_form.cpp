#include "ui/question_form.h"

#include <string>

namespace {

constexpr int DIALOG_WIDTH = 268;
constexpr int DIALOG_HEIGHT = 98;
constexpr std::uint32_t BTN_HIGHLIGHT = 0xFFFFFF;
constexpr std::uint32_t BTN_SHADOW = 0x808080;

// A one-pixel box edge: `topLeft` on the top and left sides, `bottomRight`
// on the others. Raised or sunken by the choice of colours.
void Edge(platform::Window& w, int x, int y, int width, int height, std::uint32_t topLeft,
          std::uint32_t bottomRight) {
  w.FillRect(x, y, width, 1, topLeft);
  w.FillRect(x, y, 1, height, topLeft);
  w.FillRect(x, y + height - 1, width, 1, bottomRight);
  w.FillRect(x + width - 1, y, 1, height, bottomRight);
}

}  // namespace

TQuestionForm::TQuestionForm() {
  platform::WindowOptions options;
  options.caption = "游戏难度";
  options.clientWidth = DIALOG_WIDTH;
  options.clientHeight = DIALOG_HEIGHT;
  options.borderless = true;
  Window = std::make_unique<platform::Window>(options, this);
  FormCreate();
}

TQuestionForm::~TQuestionForm() = default;

void TQuestionForm::FormCreate() {
  Background.Load("bg");
  Label.Load("DiffLabel");
  for (int i = 0; i < 3; ++i) SpeedButtons[i].Glyph.Load("Digit" + std::to_string(i + 1));
}

int TQuestionForm::ShowModal() {
  ModalResult = mrNone;
  Window->ShowModal([this] { return ModalResult != mrNone; });
  return ModalResult;
}

void TQuestionForm::FormPaint() {
  TileBackground(0, 0, DIALOG_WIDTH, DIALOG_HEIGHT);
  Edge(*Window, 6, 5, 256, 88, BTN_SHADOW, BTN_HIGHLIGHT);  // the sunken frame
  Window->Draw(Label, 22, 16);
  for (const TSpeedButton& button : SpeedButtons) PaintButton(button);
}

void TQuestionForm::TileBackground(int x, int y, int width, int height) {
  for (int ty = 0; ty < DIALOG_HEIGHT; ty += Background.Height())
    for (int tx = 0; tx < DIALOG_WIDTH; tx += Background.Width())
      Window->DrawClipped(Background, tx, ty, x, y, width, height);
}

void TQuestionForm::PaintButton(const TSpeedButton& b) {
  // A flat button has no face of its own: the tile shows through.
  TileBackground(b.Left, b.Top, b.Width, b.Height);
  const int shift = b.State == TButtonState::Down ? 1 : 0;
  Window->Draw(b.Glyph, b.Left + (b.Width - b.Glyph.Width()) / 2 + shift,
               b.Top + (b.Height - b.Glyph.Height()) / 2 + shift);
  if (b.State == TButtonState::Hot) Edge(*Window, b.Left, b.Top, b.Width, b.Height, BTN_HIGHLIGHT, BTN_SHADOW);
  if (b.State == TButtonState::Down) Edge(*Window, b.Left, b.Top, b.Width, b.Height, BTN_SHADOW, BTN_HIGHLIGHT);
}

void TQuestionForm::SetButtonState(TSpeedButton& button, TButtonState state) {
  if (button.State == state) return;
  button.State = state;
  PaintButton(button);
}

void TQuestionForm::OnMouseMove(int x, int y) {
  for (TSpeedButton& b : SpeedButtons) {
    if (b.State == TButtonState::Down) continue;  // stays sunken until the release
    SetButtonState(b, b.Contains(x, y) ? TButtonState::Hot : TButtonState::Up);
  }
}

void TQuestionForm::OnMouseDown(int x, int y) {
  for (TSpeedButton& b : SpeedButtons)
    if (b.Contains(x, y)) SetButtonState(b, TButtonState::Down);
}

void TQuestionForm::OnMouseUp(int x, int y) {
  // A button acts when the press that sank it is released over it.
  for (int i = 0; i < 3; ++i) {
    TSpeedButton& b = SpeedButtons[i];
    if (b.State != TButtonState::Down) continue;
    const bool over = b.Contains(x, y);
    SetButtonState(b, over ? TButtonState::Hot : TButtonState::Up);
    if (!over) continue;
    if (i == 0) SpeedButton1Click();
    if (i == 1) SpeedButton2Click();
    if (i == 2) SpeedButton3Click();
  }
}

void TQuestionForm::OnMouseLeave() {
  for (TSpeedButton& b : SpeedButtons)
    if (b.State == TButtonState::Hot) SetButtonState(b, TButtonState::Up);
}

bool TQuestionForm::FormCloseQuery() { return Tag != 0; }

void TQuestionForm::SpeedButton1Click() { Choose(1); }
void TQuestionForm::SpeedButton2Click() { Choose(2); }
void TQuestionForm::SpeedButton3Click() { Choose(3); }

void TQuestionForm::Choose(std::int32_t difficulty) {
  Tag = difficulty;
  ModalResult = mrOk;
}
