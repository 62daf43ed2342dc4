// The start-up baseline: a plain SDL program that opens one window the size
// of the difficulty dialog, fills it with the grey that the probe looks for,
// and waits. It presents its surface directly, as the game does, so that the
// baseline is the quickest plain window, not the slower texture path.

#include <SDL.h>

int main(int, char**) {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("empty_window", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 268, 98,
                                        SDL_WINDOW_BORDERLESS);
  if (window == nullptr) return 1;
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0x80, 0x80, 0x80));
  SDL_UpdateWindowSurface(window);
  SDL_Event event;
  while (SDL_WaitEvent(&event) && event.type != SDL_QUIT) {
  }
  SDL_Quit();
  return 0;
}
