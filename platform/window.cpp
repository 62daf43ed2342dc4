#include "platform/window.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/app.h"
#include "platform/cursor.h"
#include "platform/internal.h"
#include "platform/presenter.h"
#include "platform/resources.h"
#include "platform/scale.h"
#include "platform/sdl_handle.h"
#include "platform/seams.h"
#include "platform/system.h"
#include "platform/cursor_icon_files.h"

namespace platform {
namespace {

// The frame that the pointer offsets of the bar moves were made for.
constexpr int kFrameSide = 3;
constexpr int kFrameTop = 20;

// What shows on a web page's canvas where no window is drawn, as before
// anything is: the page around the canvas has the same colour.
constexpr std::uint32_t kPageRgb = 0x000000;

bool HasInputFocus(const Window& window) {
  return (SDL_GetWindowFlags(SDL_GetWindowFromID(window.Id())) & SDL_WINDOW_INPUT_FOCUS) != 0;
}
FocusCheck g_focusCheck = HasInputFocus;

void SetIcon(SDL_Window* window, const char* resource) {
  if (resource == nullptr) return;
  const auto icon = ReadIcon(FindResource(ResourceKind::Icon, resource));
  if (!icon) return;
  const SdlHandle<SDL_Surface> surface(SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<std::uint32_t*>(icon->argb.data()), icon->width, icon->height, 32, icon->width * 4,
      SDL_PIXELFORMAT_ARGB8888));
  if (surface == nullptr) return;
  SDL_SetWindowIcon(window, surface.get());  // the window keeps its own copy
}

}  // namespace

Window::Window(const WindowOptions& options, WindowEvents* events)
    : scale_(ScaleForNewWindow(options.clientWidth, options.clientHeight)),
      events_(events),
      width_(options.clientWidth),
      height_(options.clientHeight),
      isMain_(options.isMainWindow) {
  Uint32 format = SDL_PIXELFORMAT_RGB888;
  if (const Window* first = WindowsOnOneCanvas() ? FirstWindow() : nullptr) {
    // On a web page: drawn over the first window's canvas, centred.
    window_ = first->window_;
    overlay_ = true;
    scale_ = first->scale_;
    originX_ = (first->width_ - width_) / 2;
    originY_ = (first->height_ - height_) / 2;
    format = first->presenter_->Format();
  } else {
    // High-DPI: on an output at scale 2 the window gets twice the pixels, and
    // the blocks are drawn into them rather than stretched by the desktop
    // (a web page shows its canvas in blocks itself).
    Uint32 flags = SDL_WINDOW_HIDDEN | (WindowsOnOneCanvas() ? 0 : SDL_WINDOW_ALLOW_HIGHDPI);
    if (options.borderless) flags |= SDL_WINDOW_BORDERLESS;
    ownWindow_.reset(SDL_CreateWindow(options.caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      width_ * scale_, height_ * scale_, flags));
    window_ = ownWindow_.get();
    if (window_ == nullptr)
      throw std::runtime_error(std::string("cannot create a window (") + SDL_GetError() +
                               "); try another video driver, e.g. SDL_VIDEODRIVER=x11");
    presenter_ = std::make_unique<Presenter>(window_);
    format = presenter_->Format();
  }
  // The canvas takes the screen's pixel format, so presenting is a plain copy.
  canvas_.reset(SDL_CreateRGBSurfaceWithFormat(0, width_, height_, 32, format));
  if (canvas_ == nullptr) throw std::runtime_error(std::string("cannot create a canvas: ") + SDL_GetError());
  // Copied as it is, also where the screen's format has an alpha channel.
  SDL_SetSurfaceBlendMode(canvas_.get(), SDL_BLENDMODE_NONE);
  id_ = SDL_GetWindowID(window_);
  if (!overlay_) {
    SetIcon(window_, options.iconResource);
    NoteDisplayConnection(window_);
  }
  RegisterWindow(this);
}

Window::~Window() { UnregisterWindow(this); }

void Window::Show() {
  if (visible_) return;
  if (!overlay_) {
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    SDL_ShowWindow(window_);
    // A window of one size only, said before its first frame: a tiling
    // desktop then floats it at this size instead of stretching it. Wayland
    // makes the window anew on every show and forgets a size said earlier.
    SDL_SetWindowMinimumSize(window_, width_ * scale_, height_ * scale_);
    SDL_SetWindowMaximumSize(window_, width_ * scale_, height_ * scale_);
  }
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
  if (overlay_)
    Uncover();
  else
    SDL_HideWindow(window_);
}

// The overlays come up while the first window is hidden (the difficulty
// question and the no-sound notice come before the title), so an overlay
// gone leaves the page's colour, or the first window's picture, and nothing
// is ever drawn over a visible overlay.
void Window::Uncover() {
  Window* first = FirstWindow();
  if (first != nullptr && first->visible_) {
    first->AddDirty(originX_, originY_, width_, height_);
    first->Present();
    return;
  }
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (screen == nullptr) return;
  SDL_Rect rect{originX_, originY_, width_, height_};
  SDL_FillRect(screen, &rect, SDL_MapRGB(screen->format, (kPageRgb >> 16) & 0xFF, (kPageRgb >> 8) & 0xFF, kPageRgb & 0xFF));
  UpdateSurfaceRect(window_, rect);
}

// An overlay goes straight onto the page's window surface, which is never
// scaled (the page shows it in blocks).
void Window::ShowOverlay() {
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (screen == nullptr) return;
  SDL_Rect from{dirtyLeft_, dirtyTop_, dirtyRight_ - dirtyLeft_, dirtyBottom_ - dirtyTop_};
  SDL_Rect to{originX_ + from.x, originY_ + from.y, from.w, from.h};
  SDL_BlitSurface(canvas_.get(), &from, screen, &to);
  UpdateSurfaceRect(window_, to);
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
  if (overlay_) {
    ShowOverlay();
  } else {
    presenter_->Show(canvas_.get(), dirtyLeft_, dirtyTop_, dirtyRight_ - dirtyLeft_, dirtyBottom_ - dirtyTop_);
  }
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
