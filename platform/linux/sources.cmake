# Linux's side of the platform layer: X11 and Wayland, with the detached
# launch that any POSIX system shares.
target_sources(quillamor_platform PRIVATE
  platform/linux/system.cpp
  platform/linux/wayland_pointer.cpp
  platform/linux/x11_event_wait.cpp
  platform/posix/start_detached.cpp)
target_link_libraries(quillamor_platform PRIVATE quillamor_pointer_constraints)
