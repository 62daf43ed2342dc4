# Windows' side of the platform layer.
target_sources(quillamor_platform PRIVATE
  platform/windows/system.cpp
  platform/no_display_wait.cpp
  platform/window_surface_update.cpp)
target_link_libraries(quillamor_platform PRIVATE winmm shell32)
