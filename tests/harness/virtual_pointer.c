/* A pointer of the test's own on a wlroots compositor (sway), for the
 * Wayland real-window test: moves it and clicks with it as a player's mouse
 * would. It stays plugged in while it runs, as a mouse does: a seat that
 * gains a pointer only as it moves would tell the game too late.
 *
 *   virtual_pointer < COMMANDS
 *
 * Reads one command a line and answers each with "ok" once the compositor
 * has it: `move X Y WIDTH HEIGHT` (to that point of a WIDTH x HEIGHT
 * desktop, in the desktop's own units: the output's size over its scale),
 * `rel DX DY` (that far from where the pointer is), `press`, `release` (the
 * left button). Exits 1 when the compositor offers
 * no virtual pointer. */
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#define LEFT_BUTTON 0x110 /* BTN_LEFT */

static struct zwlr_virtual_pointer_manager_v1 *manager;

static void global(void *data, struct wl_registry *registry, uint32_t name, const char *interface, uint32_t version) {
  (void)data, (void)version;
  if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
    manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}
static void global_remove(void *data, struct wl_registry *registry, uint32_t name) { (void)data, (void)registry, (void)name; }
static const struct wl_registry_listener registry_listener = {global, global_remove};

static uint32_t now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

int main(void) {
  struct wl_display *display = wl_display_connect(NULL);
  if (display == NULL) {
    fprintf(stderr, "virtual_pointer: no Wayland display\n");
    return 1;
  }
  struct wl_registry *registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registry_listener, NULL);
  wl_display_roundtrip(display);
  if (manager == NULL) {
    fprintf(stderr, "virtual_pointer: the compositor offers no virtual pointer\n");
    return 1;
  }
  struct zwlr_virtual_pointer_v1 *pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, NULL);
  wl_display_roundtrip(display);
  char line[200];
  while (fgets(line, sizeof line, stdin) != NULL) {
    unsigned x, y, width, height;
    int dx, dy;
    if (sscanf(line, "move %u %u %u %u", &x, &y, &width, &height) == 4) {
      zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), x, y, width, height);
    } else if (sscanf(line, "rel %d %d", &dx, &dy) == 2) {
      zwlr_virtual_pointer_v1_motion(pointer, now_ms(), wl_fixed_from_int(dx), wl_fixed_from_int(dy));
    } else if (strncmp(line, "press", 5) == 0 || strncmp(line, "release", 7) == 0) {
      zwlr_virtual_pointer_v1_button(pointer, now_ms(), LEFT_BUTTON,
                                     line[0] == 'p' ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    } else {
      fprintf(stderr, "virtual_pointer: unknown command %s", line);
      return 2;
    }
    zwlr_virtual_pointer_v1_frame(pointer);
    if (wl_display_roundtrip(display) < 0) return 1;
    printf("ok\n");
    fflush(stdout);
  }
  zwlr_virtual_pointer_v1_destroy(pointer);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
