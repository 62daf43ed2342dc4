#pragma once
// The display wait (platform/system.h) opened on the connection's file
// itself: `display` is the X connection whose buffered input is pumped
// first (null for a file that stands in for one, as the display wait's
// test has it). Linux only; Xlib's Display, without Xlib's macros.

struct _XDisplay;

namespace platform {

bool OpenDisplayWaitOn(_XDisplay* display, int fd);

}  // namespace platform
