// The baseline of the game's answer to a press (bench/click.sh on the
// desktop and under Wine, bench/web.sh in the browser): a plain SDL window
// the size of the game's canvas that answers each press by drawing, in
// SDL's own way: it waits with SDL_WaitEvent, fills a bar-sized block where
// the press was, the other colour each time, and updates the whole window
// surface. It presents its surface directly, as the game does, so that the
// baseline is the quickest plain window, not the slower texture path; on
// Wayland, which has no such surface, SDL's texture path is its own way.

#include <SDL.h>

#include <cstring>

int main(int, char**) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  // Read once, at the first window surface.
  if (std::strcmp(SDL_GetCurrentVideoDriver(), "wayland") != 0) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_Window* window = SDL_CreateWindow("click_window", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 550, 440, 0);
  if (window == nullptr) return 1;
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  SDL_UpdateWindowSurface(window);
  SDL_Event event;
  bool lit = false;
  while (SDL_WaitEvent(&event) && event.type != SDL_QUIT) {
    if (event.type != SDL_MOUSEBUTTONDOWN) continue;
    lit = !lit;
    const SDL_Rect block{event.button.x / 20 * 20, event.button.y / 20 * 20, 20, 40};
    SDL_FillRect(surface, &block, SDL_MapRGB(surface->format, lit ? 0xC0 : 0x40, 0x60, 0x20));
    SDL_UpdateWindowSurface(window);
  }
  SDL_Quit();
  return 0;
}
