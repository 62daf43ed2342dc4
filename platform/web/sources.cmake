# The web browser's side of the platform layer.
target_sources(quillamor_platform PRIVATE
  platform/web/system.cpp
  platform/no_display_wait.cpp)
