#pragma once
// A top-level window with a canvas. Handlers paint pictures straight onto
// the canvas; what they drew is presented once the events waiting have been
// handled (at least once a frame while they keep coming) and before anything
// that blocks. On a large screen the window shows its canvas at a
// whole-number scale (platform/scale.h); the canvas, the coordinates of its
// events and everything drawn keep the canvas's own pixels.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/sdl_handle.h"

namespace platform {

class WindowScreen;

// What a window tells its owner. Coordinates are client-area pixels and may
// lie outside the client area while a button is held.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void OnPaint() {}
  virtual void OnMouseDown(int x, int y) { (void)x, (void)y; }
  virtual void OnMouseMove(int x, int y) { (void)x, (void)y; }
  virtual void OnMouseUp(int x, int y) { (void)x, (void)y; }
  virtual void OnMouseLeave() {}
  // Return, Enter, Escape or Space: the keys that answer a message box.
  virtual void OnAnswerKey() {}
  // Asked before a close request is honoured.
  virtual bool OnCloseQuery() { return true; }
  virtual void OnClose() {}
};

struct WindowOptions {
  std::string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  bool borderless = false;
  const char* iconResource = nullptr;
  bool isMainWindow = false;  // closing it ends the message loop
};

class Window {
 public:
  Window(const WindowOptions& options, WindowEvents* events);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Comes on screen at the centre of the display, and paints.
  void Show();
  void Hide();
  bool Visible() const { return visible_; }
  // Runs a nested message loop until `done` holds; meanwhile other windows
  // get no input. Hides the window afterwards and gives the focus back to
  // the main window.
  void ShowModal(const std::function<bool()>& done);

  void Draw(const Bitmap& picture, int x, int y);
  // Draws only the part of the picture that falls inside the clip rectangle.
  void DrawClipped(const Bitmap& picture, int x, int y, int clipX, int clipY, int clipWidth, int clipHeight);
  void FillRect(int x, int y, int width, int height, std::uint32_t rgb);
  std::uint32_t Pixel(int x, int y) const;
  // Puts what was drawn since the last call on the screen.
  void Present();

  // The window's cursor property, shown at once while the pointer is over it.
  void SetCursor(int number);
  int Cursor() const { return cursor_; }

  // The window holds the activation (input focus).
  bool IsActive() const;
  void Activate();
  // Screen position of the window's outer top-left corner, for a frame 3
  // pixels wide at the sides and 20 high at the top. On a scaled window the
  // frame is as many blocks wide, so a position past the corner in canvas
  // pixels (Left + 3 + x) is a screen position once that part is scaled.
  int Left() const;
  int Top() const;

  // Asks the window to close, as the window manager's close button does.
  void RequestClose();
  // Closes it without asking (the system ends the program).
  void Close();

  // Pictures and fills that reached outside the canvas (for tests: the game
  // draws only inside its client area).
  int DrawsOutside() const { return drawsOutside_; }
  // Marks this part of the canvas to be put on the screen again at the next
  // Present (what an overlay gone uncovers, platform/window_screen.h).
  void AddDirty(int x, int y, int w, int h);

  // Screen pixels per canvas pixel, along each axis.
  int Scale() const { return scale_; }
  // Where the canvas starts on the window it is drawn on, in canvas pixels:
  // 0, 0 but for an overlay on a web page's one canvas
  // (platform/window_screen.h).
  int OriginX() const { return originX_; }
  int OriginY() const { return originY_; }
  int ClientWidth() const { return width_; }
  int ClientHeight() const { return height_; }
  std::uint32_t Id() const { return id_; }
  WindowEvents* Events() const { return events_; }
  bool IsMainWindow() const { return isMain_; }

 private:
  void NoteOutside(int x, int y, int w, int h);

  // Where the canvas is shown (platform/window_screen.h), and what of it the
  // window keeps at hand: the SDL window, where the canvas starts on it.
  std::unique_ptr<WindowScreen> screen_;
  SDL_Window* window_ = nullptr;
  int originX_ = 0, originY_ = 0;
  // What the game draws on, at its own size; presenting copies it onto the
  // window in blocks (platform/presenter.h).
  SdlHandle<SDL_Surface> canvas_;
  int scale_ = 1;
  WindowEvents* events_;
  std::uint32_t id_ = 0;
  int width_;
  int height_;
  bool isMain_;
  bool visible_ = false;
  int cursor_ = 0;
  // The bounding box of what was drawn since the last present.
  int dirtyLeft_ = 0, dirtyTop_ = 0, dirtyRight_ = 0, dirtyBottom_ = 0;
  bool dirty_ = false;
  int drawsOutside_ = 0;
};

// A modal information box with one OK button and no icon
// (platform/message_box.h).
void MessageBox(Window* owner, const std::string& caption, const std::string& text);

}  // namespace platform
