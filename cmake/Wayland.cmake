# The Wayland protocols the game speaks itself, beside SDL: their client
# code made from Debian's protocol descriptions by wayland-scanner at build
# time.
enable_language(C)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
if(NOT WAYLAND_PROTOCOLS_DIR OR NOT WAYLAND_SCANNER)
  message(FATAL_ERROR "needs Debian's wayland-protocols and libwayland-bin (apt-get install wayland-protocols libwayland-dev)")
endif()

# quillamor_wayland_protocol(TARGET XML): TARGET, a static library, holds
# the protocol's client code; its header, NAME-client-protocol.h, is on the
# include path of whatever links it.
function(quillamor_wayland_protocol target xml)
  get_filename_component(name ${xml} NAME_WE)
  set(dir ${CMAKE_BINARY_DIR}/wayland)
  add_custom_command(
    OUTPUT ${dir}/${name}-client-protocol.h ${dir}/${name}-protocol.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${dir}/${name}-client-protocol.h
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${dir}/${name}-protocol.c
    DEPENDS ${xml}
    VERBATIM)
  add_library(${target} STATIC ${dir}/${name}-protocol.c ${dir}/${name}-client-protocol.h)
  target_include_directories(${target} PUBLIC ${dir})
  target_link_libraries(${target} PUBLIC PkgConfig::WAYLAND_CLIENT)
endfunction()

quillamor_wayland_protocol(quillamor_pointer_constraints
  ${WAYLAND_PROTOCOLS_DIR}/unstable/pointer-constraints/pointer-constraints-unstable-v1.xml)
