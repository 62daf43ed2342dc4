#include "platform/window.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/app.h"
#include "platform/cursor.h"
#include "platform/internal.h"
#include "platform/scale.h"
#include "platform/sdl_handle.h"
#include "platform/seams.h"
#include "platform/system.h"
#include "platform/window_screen.h"

namespace platform {
namespace {

// The frame that the pointer offsets of the bar moves were made for.
constexpr int kFrameSide = 3;
constexpr int kFrameTop = 20;

bool HasInputFocus(const Window& window) {
  return (SDL_GetWindowFlags(SDL_GetWindowFromID(window.Id())) & SDL_WINDOW_INPUT_FOCUS) != 0;
}
FocusCheck g_focusCheck = HasInputFocus;

}  // namespace

Window::Window(const WindowOptions& options, WindowEvents* events)
    : screen_(MakeWindowScreen(options)),
      window_(screen_->Shown()),
      originX_(screen_->OriginX()),
      originY_(screen_->OriginY()),
      scale_(screen_->Scale()),
      events_(events),
      width_(options.clientWidth),
      height_(options.clientHeight),
      isMain_(options.isMainWindow) {
  // The canvas takes the screen's pixel format, so presenting is a plain copy.
  canvas_.reset(SDL_CreateRGBSurfaceWithFormat(0, width_, height_, 32, screen_->Format()));
  if (canvas_ == nullptr) throw std::runtime_error(std::string("cannot create a canvas: ") + SDL_GetError());
  // Copied as it is, also where the screen's format has an alpha channel.
  SDL_SetSurfaceBlendMode(canvas_.get(), SDL_BLENDMODE_NONE);
  id_ = SDL_GetWindowID(window_);
  RegisterWindow(this);
}

Window::~Window() { UnregisterWindow(this); }

void Window::Show() {
  if (visible_) return;
  screen_->Show();
  visible_ = true;
  // The canvas is filled before the first present, so no stale pixels show.
  events_->OnPaint();
  dirty_ = false;
  AddDirty(0, 0, width_, height_);
  Present();
  ShowCursorNumber(cursor_);
}

void Window::Hide() {
  if (!visible_) return;
  visible_ = false;
  screen_->Hide();
}

void Window::ShowModal(const std::function<bool()>& done) {
  Window* previous = ModalWindow();
  SetModalWindow(this);
  Show();
  Activate();
  ProcessMessagesUntil(done);
  SetModalWindow(previous);
  Hide();
  if (Window* main = MainWindow(); main != nullptr && main != this && main->Visible()) main->Activate();
}

void Window::AddDirty(int x, int y, int w, int h) {
  const int left = std::max(x, 0), top = std::max(y, 0);
  const int right = std::min(x + w, width_), bottom = std::min(y + h, height_);
  if (left >= right || top >= bottom) return;
  if (!dirty_) {
    dirtyLeft_ = left, dirtyTop_ = top, dirtyRight_ = right, dirtyBottom_ = bottom;
    dirty_ = true;
    return;
  }
  dirtyLeft_ = std::min(dirtyLeft_, left), dirtyTop_ = std::min(dirtyTop_, top);
  dirtyRight_ = std::max(dirtyRight_, right), dirtyBottom_ = std::max(dirtyBottom_, bottom);
}

void Window::NoteOutside(int x, int y, int w, int h) {
  if (x < 0 || y < 0 || x + w > width_ || y + h > height_) ++drawsOutside_;
}

void Window::Draw(const Bitmap& picture, int x, int y) {
  if (picture.Empty()) return;
  NoteOutside(x, y, picture.Width(), picture.Height());
  SDL_Rect target{x, y, picture.Width(), picture.Height()};
  SDL_BlitSurface(picture.Surface(), nullptr, canvas_.get(), &target);
  AddDirty(x, y, picture.Width(), picture.Height());
}

void Window::DrawClipped(const Bitmap& picture, int x, int y, int clipX, int clipY, int clipWidth,
                         int clipHeight) {
  if (picture.Empty()) return;
  SDL_Rect clip{clipX, clipY, clipWidth, clipHeight};
  SDL_SetClipRect(canvas_.get(), &clip);
  SDL_Rect target{x, y, picture.Width(), picture.Height()};
  SDL_BlitSurface(picture.Surface(), nullptr, canvas_.get(), &target);
  SDL_SetClipRect(canvas_.get(), nullptr);
  SDL_Rect drawn;
  if (SDL_IntersectRect(&clip, &target, &drawn)) AddDirty(drawn.x, drawn.y, drawn.w, drawn.h);
}

void Window::FillRect(int x, int y, int width, int height, std::uint32_t rgb) {
  NoteOutside(x, y, width, height);
  SDL_Rect target{x, y, width, height};
  SDL_FillRect(canvas_.get(), &target, SDL_MapRGB(canvas_->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
  AddDirty(x, y, width, height);
}

std::uint32_t Window::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= canvas_->w || y >= canvas_->h) return 0;
  const auto* row = static_cast<const Uint8*>(canvas_->pixels) + y * canvas_->pitch;
  Uint32 raw = 0;
  std::memcpy(&raw, row + x * canvas_->format->BytesPerPixel, canvas_->format->BytesPerPixel);
  Uint8 r, g, b;
  SDL_GetRGB(raw, canvas_->format, &r, &g, &b);
  return (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

void Window::Present() {
  if (!dirty_ || !visible_) return;
  screen_->Present(canvas_.get(), SDL_Rect{dirtyLeft_, dirtyTop_, dirtyRight_ - dirtyLeft_, dirtyBottom_ - dirtyTop_});
  dirty_ = false;
}

void Window::SetCursor(int number) {
  if (number == cursor_) return;  // the pointer moves often; the cursor seldom changes
  cursor_ = number;
  SDL_Window* underPointer = SDL_GetMouseFocus();
  if (underPointer == window_ || underPointer == nullptr) ShowCursorNumber(number);
}

bool Window::IsActive() const { return g_focusCheck(*this); }

void Window::Activate() {
  if (!visible_) return;
  SDL_RaiseWindow(window_);
  SDL_SetWindowInputFocus(window_);
}

int Window::Left() const {
  int x = 0, y = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  return x + (originX_ - kFrameSide) * scale_;
}

int Window::Top() const {
  int x = 0, y = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  return y + (originY_ - kFrameTop) * scale_;
}

void Window::RequestClose() {
  bool allowed = true;  // a query that fails lets the window close
  Guarded([&] { allowed = events_->OnCloseQuery(); });
  if (allowed) Close();
}

void Window::Close() {
  Guarded([&] { events_->OnClose(); });  // it closes all the same
  Hide();
  if (isMain_) PostQuit();
}

void ShowWindowCursor(const Window* window) { ShowCursorNumber(window->Cursor()); }

void UseFocusCheck(FocusCheck check) { g_focusCheck = check ? std::move(check) : HasInputFocus; }

}  // namespace platform
