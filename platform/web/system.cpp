// The web browser's side of platform/system.h (built with Emscripten and
// -sASYNCIFY, so that the game's blocking waits, nested modal loops and
// sounds played to their end run unchanged: a wait hands the page back to
// the browser until input or the deadline, then carries on where it was).

#include <emscripten.h>

#include <chrono>
#include <cmath>
#include <cstdint>

#include "platform/system.h"

namespace {

// Gives the page back to the browser until one of the canvas's, the
// document's or the window's events that SDL listens for has been handled
// by SDL, or `ms` have passed (negative: no time limit; 0: only what is
// waiting now runs, a timeout set from a timeout's own callback would wait
// at least 4 ms). Our listeners go on the same targets as SDL's and after
// them, so SDL has queued the event before the game looks.
EM_ASYNC_JS(void, WaitOnPage, (double ms), {
  const page = Module.quillamorWait || (Module.quillamorWait = {});
  if (!page.listening) {
    page.listening = true;
    const wake = () => { if (page.wake) page.wake(); };
    const on = (target, types) => { for (const type of types) target.addEventListener(type, wake, {passive: true}); };
    on(Module.canvas, ['mousemove', 'mousedown', 'mouseenter', 'mouseleave', 'wheel',
                       'touchstart', 'touchmove', 'touchend', 'touchcancel']);
    on(document, ['mouseup', 'visibilitychange']);
    on(window, ['keydown', 'keyup', 'focus', 'blur', 'resize']);
    page.channel = new MessageChannel();
    page.channel.port1.onmessage = wake;
  }
  await new Promise(resolve => {
    let timer = 0;
    page.wake = () => { page.wake = null; clearTimeout(timer); resolve(); };
    if (ms > 0) timer = setTimeout(page.wake, ms);
    else if (ms === 0) page.channel.port2.postMessage(0);
  });
});

// Opens the page's homepage link, or else the address, in a new tab; a
// blocked pop-up opens nothing.
EM_JS(void, OpenInNewTab, (const char* address), {
  const link = document.querySelector('link[rel=homepage]');
  window.open(link ? link.href : new URL(UTF8ToString(address), document.baseURI).href, '_blank', 'noopener');
});

// The rectangle of a surface's pixels (in the canvas's byte order, red
// first) onto the page's canvas, opaque.
EM_JS(void, PutOnCanvas, (const unsigned char* pixels, int pitch, int x, int y, int w, int h), {
  const context = Module.canvas.getContext("2d");
  const image = context.createImageData(w, h);
  for (let row = 0; row < h; ++row) {
    const from = pixels + (y + row) * pitch + x * 4;
    image.data.set(HEAPU8.subarray(from, from + w * 4), row * w * 4);
  }
  for (let alpha = 3; alpha < image.data.length; alpha += 4) image.data[alpha] = 255;
  context.putImageData(image, x, y);
});

}  // namespace

namespace platform {

bool DisplayNamed() { return true; }  // the page's canvas

const char* RunHint() { return "open it in a web browser that runs WebAssembly"; }

std::vector<const char*> PreferredVideoDrivers() { return {}; }  // the page's canvas

void ShowStartupError(const std::string&) {}  // the caller's stderr is the page's console

void NeedFineTimerGranularity(bool) {}

// A timeout fires up to a millisecond late, and one set from a timeout's
// own callback no sooner than 4 ms (the ticks' waits are such): it is set for
// all but the last millisecond, and the last stretch, or a wait of 4 ms or
// less, is waited out by handing the page back without a delay, again and
// again, until the deadline.
void WaitForInputUntil(std::int64_t deadlineNs) {
  if (deadlineNs == kNoDeadline) {
    WaitOnPage(-1);
    return;
  }
  const double leftMs = static_cast<double>(deadlineNs - MonotonicNs()) / 1e6;
  if (leftMs <= 0) return;
  WaitOnPage(leftMs > 4 ? std::floor(leftMs - 1) : 0);
}

void UpdateSurfaceRect(SDL_Window* window, const SDL_Rect& rect) {
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  SDL_Rect shown;
  if (surface == nullptr || !SDL_IntersectRect(&rect, &surface->clip_rect, &shown)) return;
  PutOnCanvas(static_cast<const unsigned char*>(surface->pixels), surface->pitch, shown.x, shown.y, shown.w, shown.h);
}

// A page cannot move the pointer: the game takes it to be where it was put
// until it next really moves (platform/cursor.h).
bool MovePointer(SDL_Window*, int, int) { return false; }
void ClosePointerMover() {}

// The homepage link, the page's own (<link rel="homepage">), else the file
// named, beside the page as the desktop game has it in its folder. A page
// starts no programs.
std::uint32_t StartDetached(const std::vector<std::string>& words) {
  if (words[0] != "start" || words.size() < 2) return 2;
  OpenInNewTab(words[1].c_str());
  return 33;
}

}  // namespace platform
