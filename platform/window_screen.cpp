#include "platform/window_screen.h"

#include <stdexcept>
#include <string>

#include "platform/cursor_icon_files.h"
#include "platform/internal.h"
#include "platform/presenter.h"
#include "platform/resources.h"
#include "platform/scale.h"
#include "platform/sdl_handle.h"
#include "platform/window.h"

namespace platform {
namespace {

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

class Own final : public WindowScreen {
 public:
  Own(const WindowOptions& options, int scale, Uint32 flags)
      : scale_(scale), width_(options.clientWidth * scale), height_(options.clientHeight * scale) {
    if (options.borderless) flags |= SDL_WINDOW_BORDERLESS;
    window_.reset(SDL_CreateWindow(options.caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width_,
                                   height_, SDL_WINDOW_HIDDEN | flags));
    if (window_ == nullptr)
      throw std::runtime_error(std::string("cannot create a window (") + SDL_GetError() +
                               "); try another video driver, e.g. SDL_VIDEODRIVER=x11");
    presenter_ = std::make_unique<Presenter>(window_.get());
    SetIcon(window_.get(), options.iconResource);
    NoteDisplayConnection(window_.get());
  }

  SDL_Window* Shown() const override { return window_.get(); }
  int Scale() const override { return scale_; }
  Uint32 Format() const override { return presenter_->Format(); }

  void Show() override {
    SDL_SetWindowPosition(window_.get(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    SDL_ShowWindow(window_.get());
    // A window of one size only, said before its first frame: a tiling
    // desktop then floats it at this size instead of stretching it. Wayland
    // makes the window anew on every show and forgets a size said earlier.
    SDL_SetWindowMinimumSize(window_.get(), width_, height_);
    SDL_SetWindowMaximumSize(window_.get(), width_, height_);
  }

  void Hide() override { SDL_HideWindow(window_.get()); }

  void Present(SDL_Surface* canvas, const SDL_Rect& rect) override {
    presenter_->Show(canvas, rect.x, rect.y, rect.w, rect.h);
  }

 private:
  // The presenter goes first: its renderer belongs to the window.
  SdlHandle<SDL_Window> window_;
  std::unique_ptr<Presenter> presenter_;
  int scale_;
  int width_, height_;  // in screen pixels
};

}  // namespace

std::unique_ptr<WindowScreen> DesktopWindow(const WindowOptions& options) {
  return OwnWindow(options, ScaleForNewWindow(options.clientWidth, options.clientHeight), SDL_WINDOW_ALLOW_HIGHDPI);
}

std::unique_ptr<WindowScreen> OwnWindow(const WindowOptions& options, int scale, Uint32 flags) {
  return std::make_unique<Own>(options, scale, flags);
}

}  // namespace platform
