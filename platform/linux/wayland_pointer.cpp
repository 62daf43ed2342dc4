#include "platform/linux/wayland_pointer.h"

#include <SDL_syswm.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "pointer-constraints-unstable-v1-client-protocol.h"

namespace platform {
namespace {

// What the game binds of the display itself. Everything lives on a queue of
// our own, so SDL's dispatch of the display never sees these objects and
// a round trip of ours dispatches nothing of SDL's.
struct Globals {
  wl_event_queue* queue = nullptr;
  wl_registry* registry = nullptr;
  wl_seat* seat = nullptr;
  zwp_pointer_constraints_v1* constraints = nullptr;
  bool hasPointer = false;
};

void OnSeatCapabilities(void* data, wl_seat*, uint32_t capabilities) {
  static_cast<Globals*>(data)->hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
}
void OnSeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeatListener = {OnSeatCapabilities, OnSeatName};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
  auto* globals = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr) {
    // Version 3 lets a pointer be released; 5 is as far as SDL goes.
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 5u)));
    wl_seat_add_listener(globals->seat, &kSeatListener, globals);
  } else if (std::strcmp(interface, zwp_pointer_constraints_v1_interface.name) == 0 && globals->constraints == nullptr) {
    globals->constraints = static_cast<zwp_pointer_constraints_v1*>(
        wl_registry_bind(registry, name, &zwp_pointer_constraints_v1_interface, 1));
  }
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

// Binds the globals on a queue of our own; two round trips: the globals,
// then the seat's capabilities.
void Bind(wl_display* display, Globals& globals) {
  globals.queue = wl_display_create_queue(display);
  auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), globals.queue);
  globals.registry = wl_display_get_registry(wrapper);
  wl_proxy_wrapper_destroy(wrapper);
  wl_registry_add_listener(globals.registry, &kRegistryListener, &globals);
  wl_display_roundtrip_queue(display, globals.queue);
  if (globals.seat != nullptr) wl_display_roundtrip_queue(display, globals.queue);
}

void Unbind(Globals& globals) {
  if (globals.constraints != nullptr) zwp_pointer_constraints_v1_destroy(globals.constraints);
  if (globals.seat != nullptr) {
    if (wl_seat_get_version(globals.seat) >= WL_SEAT_RELEASE_SINCE_VERSION)
      wl_seat_release(globals.seat);
    else
      wl_seat_destroy(globals.seat);
  }
  if (globals.registry != nullptr) wl_registry_destroy(globals.registry);
  if (globals.queue != nullptr) wl_event_queue_destroy(globals.queue);
  globals = Globals{};
}

bool Usable(const Globals& globals) { return globals.seat != nullptr && globals.hasPointer && globals.constraints != nullptr; }

// The game's display, bound on the first move.
wl_display* g_display = nullptr;
Globals g_globals;

bool WaylandInfo(SDL_Window* window, SDL_SysWMinfo& info) {
  SDL_VERSION(&info.version);
  return SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_WAYLAND;
}

void OnLocked(void* data, zwp_locked_pointer_v1*) { *static_cast<bool*>(data) = true; }
void OnUnlocked(void*, zwp_locked_pointer_v1*) {}
const zwp_locked_pointer_v1_listener kLockListener = {OnLocked, OnUnlocked};

}  // namespace

bool WaylandCarriesPointer() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return false;
  Globals globals;
  Bind(display, globals);
  const bool usable = Usable(globals);
  Unbind(globals);
  wl_display_disconnect(display);
  return usable;
}

bool OnWayland(SDL_Window* window) {
  SDL_SysWMinfo info;
  return WaylandInfo(window, info);
}

bool MoveWaylandPointer(SDL_Window* window, int x, int y) {
  SDL_SysWMinfo info;
  if (!WaylandInfo(window, info)) return false;
  // Never over SDL's own constraints (relative mode, a grab). Whether the
  // window has the keyboard focus, which the lock needs, the compositor
  // knows better than SDL, which learns it only from a keyboard: asked.
  if (SDL_GetRelativeMouseMode() || SDL_GetWindowMouseGrab(window)) return false;
  if (g_display != info.info.wl.display) {
    CloseWaylandPointer();
    g_display = info.info.wl.display;
    Bind(g_display, g_globals);
  }
  if (!Usable(g_globals)) return false;
  wl_surface* surface = info.info.wl.surface;
  wl_pointer* pointer = wl_seat_get_pointer(g_globals.seat);
  zwp_locked_pointer_v1* lock = zwp_pointer_constraints_v1_lock_pointer(
      g_globals.constraints, surface, pointer, nullptr, ZWP_POINTER_CONSTRAINTS_V1_LIFETIME_ONESHOT);
  bool locked = false;
  zwp_locked_pointer_v1_add_listener(lock, &kLockListener, &locked);
  wl_display_roundtrip_queue(g_display, g_globals.queue);
  if (locked) {
    zwp_locked_pointer_v1_set_cursor_position_hint(lock, wl_fixed_from_int(x), wl_fixed_from_int(y));
    wl_surface_commit(surface);  // the hint is the surface's state: nothing moves without it
  }
  // Letting go of the lock leaves the pointer on the hint.
  zwp_locked_pointer_v1_destroy(lock);
  if (wl_pointer_get_version(pointer) >= WL_POINTER_RELEASE_SINCE_VERSION)
    wl_pointer_release(pointer);
  else
    wl_pointer_destroy(pointer);
  wl_display_flush(g_display);
  return locked;
}

void CloseWaylandPointer() {
  if (g_display == nullptr) return;
  Unbind(g_globals);
  wl_display_flush(g_display);
  g_display = nullptr;
}

}  // namespace platform
