# Windows' side of the platform layer.
target_sources(quillamor_platform PRIVATE
  platform/windows/system.cpp
  platform/windows/no_display_wait.cpp)
target_link_libraries(quillamor_platform PRIVATE winmm shell32)
