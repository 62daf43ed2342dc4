#include "platform/message_box.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/app.h"
#include "platform/internal.h"

namespace platform {
namespace {

// The letter strip "MsgFont" (tools/make_assets.py): ASCII 32..126, one cell
// each, and under each cell a ruler as long as the letter's advance.
constexpr int kFirstLetter = 32, kLastLetter = 126;
constexpr int kCellWidth = 16, kCellHeight = 16, kPenX = 2;
constexpr int kLineHeight = 15;

constexpr int kMargin = 16;
constexpr int kMaxTextWidth = 330;
constexpr int kMinTextWidth = 160;
constexpr int kButtonWidth = 75, kButtonHeight = 23;

constexpr std::uint32_t kFace = 0xD4D0C8;
constexpr std::uint32_t kHighlight = 0xFFFFFF;
constexpr std::uint32_t kShadow = 0x808080;
constexpr std::uint32_t kOutline = 0x404040;

// The cell of a letter; anything outside the strip shows as a question mark.
int Cell(unsigned char c) { return (c >= kFirstLetter && c <= kLastLetter ? c : '?') - kFirstLetter; }

}  // namespace

std::vector<std::string> WrapText(std::string_view text, int width,
                                  const std::function<int(std::string_view)>& measure) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string line;
    std::size_t at = start;
    while (at < end) {
      const std::size_t wordEnd = std::min(text.find(' ', at), end);
      const std::string_view word = text.substr(at, wordEnd - at);
      at = wordEnd + 1;
      if (word.empty()) continue;
      std::string longer = line.empty() ? std::string(word) : line + ' ' + std::string(word);
      if (!line.empty() && measure(longer) > width) {
        lines.push_back(line);
        line = word;
      } else {
        line = std::move(longer);
      }
    }
    lines.push_back(line);
    if (end == text.size()) return lines;
    start = end + 1;
  }
}

MessageBoxForm::MessageBoxForm(const std::string& caption, const std::string& text) {
  font_.Load("MsgFont");
  for (int cell = 0; cell <= kLastLetter - kFirstLetter; ++cell) {
    int advance = 0;
    while (advance < kCellWidth - kPenX && font_.Alpha(cell * kCellWidth + kPenX + advance, kCellHeight) != 0)
      ++advance;
    advances_.push_back(advance);
  }
  lines_ = WrapText(text, kMaxTextWidth, [this](std::string_view line) { return Measure(line); });
  int widest = kMinTextWidth;
  for (const std::string& line : lines_) widest = std::max(widest, Measure(line));
  text_ = {kMargin, kMargin, widest, static_cast<int>(lines_.size()) * kLineHeight};
  const int width = widest + 2 * kMargin;
  button_ = {(width - kButtonWidth) / 2, text_.y + text_.h + kMargin, kButtonWidth, kButtonHeight};
  WindowOptions options;
  options.caption = caption;
  options.clientWidth = width;
  options.clientHeight = button_.y + button_.h + kMargin * 3 / 4;
  window_ = std::make_unique<platform::Window>(options, this);
}

MessageBoxForm::~MessageBoxForm() = default;

void MessageBoxForm::ShowModal() {
  window_->ShowModal([this] { return answered_; });
}

int MessageBoxForm::Measure(std::string_view line) const {
  int width = 0;
  for (unsigned char c : line) width += advances_[Cell(c)];
  return width;
}

void MessageBoxForm::DrawLine(std::string_view line, int x, int y) {
  for (unsigned char c : line) {
    const int cell = Cell(c);
    // The whole strip, clipped to this letter's cell at the pen position.
    window_->DrawClipped(font_, x - kPenX - cell * kCellWidth, y, x - kPenX, y, kCellWidth, kCellHeight);
    x += advances_[cell];
  }
}

void MessageBoxForm::PaintButton(bool down) {
  const Area& b = button_;
  window_->FillRect(b.x, b.y, b.w, b.h, kFace);
  // Raised: light top and left, dark bottom and right; pressed: the other way.
  window_->FillRect(b.x, b.y, b.w, 1, down ? kOutline : kHighlight);
  window_->FillRect(b.x, b.y, 1, b.h, down ? kOutline : kHighlight);
  window_->FillRect(b.x, b.y + b.h - 1, b.w, 1, down ? kHighlight : kOutline);
  window_->FillRect(b.x + b.w - 1, b.y, 1, b.h, down ? kHighlight : kOutline);
  window_->FillRect(b.x + 1, b.y + b.h - 2, b.w - 2, 1, down ? kFace : kShadow);
  window_->FillRect(b.x + b.w - 2, b.y + 1, 1, b.h - 2, down ? kFace : kShadow);
  const int shift = down ? 1 : 0;
  DrawLine("OK", b.x + (b.w - Measure("OK")) / 2 + shift, b.y + (b.h - kLineHeight) / 2 + shift);
}

void MessageBoxForm::OnPaint() {
  window_->FillRect(0, 0, window_->ClientWidth(), window_->ClientHeight(), kFace);
  for (std::size_t i = 0; i < lines_.size(); ++i)
    DrawLine(lines_[i], text_.x, text_.y + static_cast<int>(i) * kLineHeight);
  PaintButton(false);
}

void MessageBoxForm::OnMouseDown(int x, int y) {
  if (!button_.Contains(x, y)) return;
  pressed_ = true;
  PaintButton(true);
}

void MessageBoxForm::OnMouseMove(int x, int y) {
  // A held button shows pressed only while the pointer is on it.
  if (pressed_) PaintButton(button_.Contains(x, y));
}

void MessageBoxForm::OnMouseUp(int x, int y) {
  if (!pressed_) return;
  pressed_ = false;
  PaintButton(false);
  if (button_.Contains(x, y)) answered_ = true;
}

void MessageBox(Window* owner, const std::string& caption, const std::string& text) {
  PresentAllWindows();
  // Without a display there is nobody to click OK: say it on stderr instead.
  if (HeadlessVideo()) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return;
  }
  // Answered boxes stay, hidden, until the program ends. SDL wakes its event
  // wait with an X event sent to the newest window over a second connection;
  // destroying that window can overtake the wake-up, and Xlib then ends the
  // program with an error (1 notice in 20 did, dismissed at 2x).
  static std::vector<std::unique_ptr<MessageBoxForm>> answered;
  answered.push_back(std::make_unique<MessageBoxForm>(caption, text));
  answered.back()->ShowModal();
  if (owner != nullptr) owner->Activate();
}

}  // namespace platform
