/* From a press to the screen on a wlroots desktop (sway): presses the left
 * button with a virtual pointer of its own (as a mouse's press reaches the
 * compositor) and times each press until the compositor has put a frame on
 * its output in which a given rectangle of the desktop shows something new
 * (screen copy, copy_with_damage: the copy is made from the first frame
 * drawn after damage, and its pixels are compared with a copy made just
 * before the press). The time runs to the moment the copy is reported
 * ready; a copy that shows the same pixels (the damage was elsewhere: the
 * ball) is followed by another. Before each press the pointer is put back
 * on the spot, a pixel off each time, and the press waits a random 20-50 ms
 * after that move has been drawn.
 *
 *   wayland_click DESK_W DESK_H < COMMANDS
 *
 * The pointer stays plugged in while it runs, as a mouse does. Reads one
 * command a line, in desktop units of a DESK_W x DESK_H desktop of one
 * output at scale 1: `move X Y` and `click X Y` answer "ok" once the
 * compositor has the move, or the move, the press and the release; `presses N X Y WX WY WW WH` presses N times at X Y,
 * WX WY WW WH being the rectangle whose drawing answers a press, writes each
 * answer's time on stderr and answers one "answers" line, as click_to_screen
 * does. A press that nothing answers within 300 ms is counted as moving
 * nothing. */
#define _GNU_SOURCE
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#define LEFT_BUTTON 0x110 /* BTN_LEFT */

static struct wl_shm *shm;
static struct wl_output *output;
static struct zwlr_screencopy_manager_v1 *copier;
static struct zwlr_virtual_pointer_manager_v1 *pointers;

static void global(void *data, struct wl_registry *registry, uint32_t name, const char *interface, uint32_t version) {
  (void)data;
  if (strcmp(interface, wl_shm_interface.name) == 0)
    shm = wl_registry_bind(registry, name, &wl_shm_interface, 1);
  else if (strcmp(interface, wl_output_interface.name) == 0 && output == NULL)
    output = wl_registry_bind(registry, name, &wl_output_interface, 1);
  else if (strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0 && version >= 2)
    copier = wl_registry_bind(registry, name, &zwlr_screencopy_manager_v1_interface, 2);
  else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
    pointers = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}
static void global_remove(void *data, struct wl_registry *registry, uint32_t name) { (void)data, (void)registry, (void)name; }
static const struct wl_registry_listener registry_listener = {global, global_remove};

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* One copy of the rectangle: what the compositor said of it. */
struct copy {
  uint32_t format, width, height, stride;
  int described, ready, failed;
  double ready_at;
};
static void on_buffer(void *data, struct zwlr_screencopy_frame_v1 *frame, uint32_t format, uint32_t width,
                      uint32_t height, uint32_t stride) {
  (void)frame;
  struct copy *c = data;
  c->format = format, c->width = width, c->height = height, c->stride = stride, c->described = 1;
}
static void on_flags(void *data, struct zwlr_screencopy_frame_v1 *frame, uint32_t flags) { (void)data, (void)frame, (void)flags; }
static void on_ready(void *data, struct zwlr_screencopy_frame_v1 *frame, uint32_t hi, uint32_t lo, uint32_t ns) {
  (void)frame, (void)hi, (void)lo, (void)ns;
  struct copy *c = data;
  c->ready = 1;
  c->ready_at = now_ms();
}
static void on_failed(void *data, struct zwlr_screencopy_frame_v1 *frame) {
  (void)frame;
  ((struct copy *)data)->failed = 1;
}
static void on_damage(void *data, struct zwlr_screencopy_frame_v1 *frame, uint32_t x, uint32_t y, uint32_t w, uint32_t h) {
  (void)data, (void)frame, (void)x, (void)y, (void)w, (void)h;
}
static void on_dmabuf(void *data, struct zwlr_screencopy_frame_v1 *frame, uint32_t f, uint32_t w, uint32_t h) {
  (void)data, (void)frame, (void)f, (void)w, (void)h;
}
static void on_buffer_done(void *data, struct zwlr_screencopy_frame_v1 *frame) { (void)data, (void)frame; }
static const struct zwlr_screencopy_frame_v1_listener copy_listener = {on_buffer, on_flags, on_ready, on_failed,
                                                                       on_damage, on_dmabuf, on_buffer_done};

static struct wl_display *display;
static int rect[4];
static struct wl_buffer *buffer;
static unsigned char *pixels;
static size_t size;

/* Asks for a copy of the rectangle into the one shared buffer, made on first
 * use; with `damage`, from the first frame drawn after damage. */
static struct zwlr_screencopy_frame_v1 *ask(struct copy *c, int damage) {
  memset(c, 0, sizeof *c);
  struct zwlr_screencopy_frame_v1 *frame =
      zwlr_screencopy_manager_v1_capture_output_region(copier, 0, output, rect[0], rect[1], rect[2], rect[3]);
  zwlr_screencopy_frame_v1_add_listener(frame, &copy_listener, c);
  while (!c->described && !c->failed)
    if (wl_display_dispatch(display) < 0) return NULL;
  if (c->failed) return NULL;
  if (buffer == NULL) {
    size = (size_t)c->stride * c->height;
    int fd = memfd_create("wayland_click", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, (off_t)size) != 0) return NULL;
    pixels = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    struct wl_shm_pool *pool = wl_shm_create_pool(shm, fd, (int32_t)size);
    buffer = wl_shm_pool_create_buffer(pool, 0, (int32_t)c->width, (int32_t)c->height, (int32_t)c->stride, c->format);
    wl_shm_pool_destroy(pool);
    close(fd);
  }
  if (damage)
    zwlr_screencopy_frame_v1_copy_with_damage(frame, buffer);
  else
    zwlr_screencopy_frame_v1_copy(frame, buffer);
  wl_display_flush(display);
  return frame;
}

/* Handles what the compositor sends until `until` (monotonic ms). */
static int dispatch_until(double until) {
  while (wl_display_prepare_read(display) != 0) wl_display_dispatch_pending(display);
  wl_display_flush(display);
  int left = (int)(until - now_ms()) + 1;
  struct pollfd fd = {wl_display_get_fd(display), POLLIN, 0};
  if (left > 0 && poll(&fd, 1, left) > 0) {
    if (wl_display_read_events(display) < 0) return -1;
  } else {
    wl_display_cancel_read(display);
  }
  return wl_display_dispatch_pending(display);
}

static int compare(const void *a, const void *b) {
  const double x = *(const double *)a, y = *(const double *)b;
  return x < y ? -1 : x > y;
}
static double quantile(const double *sorted, int n, double q) {
  int rank = (int)(q * n + 0.999999);
  return n == 0 ? 0 : sorted[(rank < 1 ? 1 : rank > n ? n : rank) - 1];
}

static struct zwlr_virtual_pointer_v1 *pointer;
static unsigned desk_w, desk_h;

static void move(int x, int y) {
  zwlr_virtual_pointer_v1_motion_absolute(pointer, (uint32_t)now_ms(), (uint32_t)x, (uint32_t)y, desk_w, desk_h);
  zwlr_virtual_pointer_v1_frame(pointer);
  wl_display_roundtrip(display);
}
static void button(int pressed) {
  zwlr_virtual_pointer_v1_button(pointer, (uint32_t)now_ms(), LEFT_BUTTON,
                                 pressed ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
  zwlr_virtual_pointer_v1_frame(pointer);
}

/* One press where the pointer is: the milliseconds until a frame showed the
 * rectangle changed, or -1. */
static double timed_press(unsigned char *seen) {
  struct copy c;
  struct zwlr_screencopy_frame_v1 *frame = ask(&c, 1);
  if (frame == NULL) return -1;
  button(1);
  wl_display_flush(display);
  const double pressed = now_ms(), deadline = pressed + 300;
  double ms = -1;
  while (now_ms() < deadline) {
    if (dispatch_until(deadline) < 0 || c.failed) break;
    if (!c.ready) continue;
    if (memcmp(seen, pixels, size) != 0) {
      ms = c.ready_at - pressed;
      break;
    }
    zwlr_screencopy_frame_v1_destroy(frame); /* drawn elsewhere: the next frame */
    if ((frame = ask(&c, 1)) == NULL) break;
  }
  if (frame != NULL) zwlr_screencopy_frame_v1_destroy(frame);
  button(0);
  wl_display_roundtrip(display);
  return ms;
}

/* A copy of the rectangle as it is now, into `seen`. */
static int look(unsigned char **seen) {
  struct copy c;
  struct zwlr_screencopy_frame_v1 *frame = ask(&c, 0);
  const double deadline = now_ms() + 1000;
  while (frame != NULL && !c.ready && !c.failed && now_ms() < deadline) dispatch_until(deadline);
  if (frame != NULL) zwlr_screencopy_frame_v1_destroy(frame);
  if (!c.ready) {
    fprintf(stderr, "wayland_click: the compositor made no copy of the rectangle\n");
    return 0;
  }
  if (*seen == NULL) *seen = malloc(size);
  memcpy(*seen, pixels, size);
  return 1;
}

/* The "presses" command; prints its "answers" line. The pixels to tell a
 * frame apart from are taken anew once the pointer has come (the compositor
 * draws the pointer into its copies), before the wait: a press comes any
 * time after the compositor's last frame, as a player's does. */
static int presses(int count, int x, int y) {
  unsigned char *seen = NULL;
  double *answered = malloc(sizeof(double) * (size_t)(count > 0 ? count : 1));
  int n = 0, nothing = 0;
  for (int i = 0; i < count; ++i) {
    move(x, y + i % 2);
    if (!look(&seen)) return 1;
    usleep((useconds_t)(20 + rand() % 31) * 1000);
    const double ms = timed_press(seen);
    if (ms < 0)
      ++nothing;
    else
      answered[n++] = ms;
    fprintf(stderr, "press %d: %s%.3f ms\n", i + 1, ms < 0 ? "nothing, " : "", ms < 0 ? 0.0 : ms);
  }
  qsort(answered, (size_t)n, sizeof *answered, compare);
  printf("answers n=%d median=%.4g p99=%.4g max=%.4g ms, moved nothing %d\n", n, quantile(answered, n, 0.5),
         quantile(answered, n, 0.99), n ? answered[n - 1] : 0.0, nothing);
  fflush(stdout);
  free(answered);
  free(seen);
  return 0;
}

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: wayland_click DESK_W DESK_H < COMMANDS\n");
    return 2;
  }
  desk_w = (unsigned)atoi(argv[1]), desk_h = (unsigned)atoi(argv[2]);
  display = wl_display_connect(NULL);
  if (display == NULL) {
    fprintf(stderr, "wayland_click: no Wayland display\n");
    return 1;
  }
  struct wl_registry *registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registry_listener, NULL);
  wl_display_roundtrip(display);
  if (shm == NULL || output == NULL || copier == NULL || pointers == NULL) {
    fprintf(stderr, "wayland_click: the compositor offers no screen copy with damage or no virtual pointer\n");
    return 1;
  }
  pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointers, NULL);
  wl_display_roundtrip(display);
  srand((unsigned)getpid());
  char line[200];
  while (fgets(line, sizeof line, stdin) != NULL) {
    int count, x, y, wx, wy, ww, wh;
    if (sscanf(line, "move %d %d", &x, &y) == 2) {
      move(x, y);
      printf("ok\n");
      fflush(stdout);
    } else if (sscanf(line, "click %d %d", &x, &y) == 2) {
      move(x, y);
      button(1);
      button(0);
      wl_display_roundtrip(display);
      printf("ok\n");
      fflush(stdout);
    } else if (sscanf(line, "presses %d %d %d %d %d %d %d", &count, &x, &y, &wx, &wy, &ww, &wh) == 7) {
      if (buffer != NULL && (ww != rect[2] || wh != rect[3])) {
        wl_buffer_destroy(buffer);
        munmap(pixels, size);
        buffer = NULL;
      }
      rect[0] = wx, rect[1] = wy, rect[2] = ww, rect[3] = wh;
      if (presses(count, x, y) != 0) return 1;
    } else {
      fprintf(stderr, "wayland_click: unknown command %s", line);
      return 2;
    }
  }
  zwlr_virtual_pointer_v1_destroy(pointer);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
