# The web browser's side of the platform layer; like Windows, it has no
# display connection of ours to wait on.
target_sources(quillamor_platform PRIVATE
  platform/web/system.cpp
  platform/web/one_canvas.cpp
  platform/windows/no_display_wait.cpp)
