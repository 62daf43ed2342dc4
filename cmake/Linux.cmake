# The Linux build: SDL2 from Debian's package through pkg-config, the Wayland
# protocols the game speaks itself, and the desktop entry, metainfo and
# Debian package.

find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
include(${CMAKE_CURRENT_LIST_DIR}/Wayland.cmake)

macro(quillamor_program target)
  include(${CMAKE_SOURCE_DIR}/cmake/Install.cmake)
endmacro()
