# The Linux build: SDL2 from Debian's package through pkg-config, the Wayland
# protocols the game speaks itself, and the desktop entry, metainfo and
# Debian package.

find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
include(${CMAKE_CURRENT_LIST_DIR}/Wayland.cmake)

macro(quillamor_program target)
  include(${CMAKE_SOURCE_DIR}/cmake/Install.cmake)
endmacro()

# Installed as Debian installs games: the program in /usr/games (on every
# player's PATH), its manual page in section 6.
set(CMAKE_INSTALL_BINDIR games CACHE PATH "Where the game's executable is installed")

# Built with the hardening Debian builds its packages with: checked buffer
# functions, stack protectors, and relocations read-only once loaded. (The
# checked functions need an optimised build; the sanitizers check more.)
if(NOT QUILLAMOR_SANITIZE)
  add_compile_options("$<$<AND:$<COMPILE_LANGUAGE:C,CXX>,$<NOT:$<CONFIG:Debug>>>:-D_FORTIFY_SOURCE=2>"
    $<$<COMPILE_LANGUAGE:C,CXX>:-fstack-protector-strong>)
  add_link_options(-Wl,-z,relro,-z,now)
endif()
