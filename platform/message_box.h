#pragma once
// The message box, drawn by the game itself like its other windows: wrapped
// text and one OK button. So it is scaled with them on a large screen, and it
// needs no fonts from the desktop.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bitmap.h"
#include "platform/window.h"

namespace platform {

// Breaks text into lines no wider than `width` as `measure` counts, at spaces
// and at '\n'; a word wider than a line stands on a line of its own.
std::vector<std::string> WrapText(std::string_view text, int width,
                                  const std::function<int(std::string_view)>& measure);

class MessageBoxForm : public WindowEvents {
 public:
  struct Area {
    int x, y, w, h;
    bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
  };

  MessageBoxForm(const std::string& caption, const std::string& text);
  ~MessageBoxForm() override;

  // Shows the box and handles messages until it is answered (or the program
  // is asked to end).
  void ShowModal();
  bool Answered() const { return answered_; }
  platform::Window& Window() { return *window_; }
  // Where the lines of text and the button are, in client pixels.
  Area Text() const { return text_; }
  Area Button() const { return button_; }
  // How wide a line is set, in pixels.
  int Measure(std::string_view line) const;

  void OnPaint() override;
  void OnMouseDown(int x, int y) override;
  void OnMouseMove(int x, int y) override;
  void OnMouseUp(int x, int y) override;
  void OnAnswerKey() override { answered_ = true; }
  void OnClose() override { answered_ = true; }

 private:
  void DrawLine(std::string_view line, int x, int y);
  void PaintButton(bool down);

  Bitmap font_;
  std::vector<int> advances_;
  std::vector<std::string> lines_;
  Area text_{}, button_{};
  std::unique_ptr<platform::Window> window_;
  bool pressed_ = false;  // the button went down and has not come up yet
  bool answered_ = false;
};

}  // namespace platform
