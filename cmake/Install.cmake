# What `cmake --install` puts beside the executable so that the game sits on
# a Linux desktop like any other: its desktop entry, its icon at every size a
# menu or task bar asks for, and its AppStream metainfo for software centres.
# And the Debian package of all that: `cpack -G DEB` in the build folder.
# (The executable's own rule sits with its target.)

set(QUILLAMOR_DESKTOP_ID org.quillamor.Quillamor2000)

install(FILES ${CMAKE_SOURCE_DIR}/desktop/${QUILLAMOR_DESKTOP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The metainfo's newest release is this one, with its notes (cmake/Release.cmake).
configure_file(${CMAKE_SOURCE_DIR}/desktop/${QUILLAMOR_DESKTOP_ID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/desktop/${QUILLAMOR_DESKTOP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${QUILLAMOR_DESKTOP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/${QUILLAMOR_DESKTOP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# What Debian asks of every package: the licence in its machine-readable
# form (LICENSE's text, indented, blank lines as " ."), the changelog (from
# NEWS.md) and a manual page, the last two compressed at their best and
# without a time stamp, so that two builds make the same bytes.
set(doc ${CMAKE_BINARY_DIR}/debian)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
string(REGEX MATCH "^MIT License\n\nCopyright \\(c\\) ([^\n]*)\n\n(.*[^\n])" _ "${licence}")
set(copyright_holder "${CMAKE_MATCH_1}")
set(licence_terms "${CMAKE_MATCH_2}")
string(REPLACE "\n\n" "\n.\n" licence_terms "${licence_terms}")
string(REPLACE "\n" "\n " licence_terms " ${licence_terms}")
file(WRITE ${doc}/copyright "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Quillamor 2000
Upstream-Contact: The Quillamor 2000 developers <developers@quillamor.org>
Source: https://quillamor.org/

Files: *
Copyright: ${copyright_holder}
License: Expat
${licence_terms}
")
file(WRITE ${doc}/changelog "${QUILLAMOR_CHANGELOG}")
configure_file(${CMAKE_SOURCE_DIR}/desktop/quillamor2000.6 ${doc}/quillamor2000.6 @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
foreach(name changelog quillamor2000.6)
  execute_process(COMMAND gzip -9 -n -c INPUT_FILE ${doc}/${name} OUTPUT_FILE ${doc}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${doc}/copyright ${doc}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillamor2000)
install(FILES ${doc}/quillamor2000.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

set(CPACK_PACKAGE_NAME quillamor2000)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Quillamor 2000 developers <developers@quillamor.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://quillamor.org/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "maze puzzle: shift the bars to steer a rolling ball out")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "A ball rolls and falls on its own through a 20 by 20 maze of movable"
  "bars. Click one half of a bar and the whole bar shifts one cell the way"
  "that half points; steer the ball until it drops out through the star."
  "Levels are dealt at random on three difficulties. Played with the mouse.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debug information stays in the build; the package carries the game.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The dependencies are the libraries the executable links, as dpkg-shlibdeps
# finds them: SDL2, the Wayland client and the C and C++ runtimes. On a
# Wayland desktop SDL draws through EGL, and where the desktop draws no
# title bars (GNOME) it draws them itself with a libdecor plugin.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libegl1, libgl1-mesa-dri, libdecor-0-plugin-1-cairo | libdecor-0-plugin-1")
include(CPack)

# The package built and unpacked, its files checked and validated.
option(QUILLAMOR_PACKAGE_TEST "Build the Debian package and check it as a test" ON)
if(QUILLAMOR_TESTS AND QUILLAMOR_PACKAGE_TEST)
  add_test(NAME package COMMAND sh ${CMAKE_SOURCE_DIR}/tests/package_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(package PROPERTIES TIMEOUT 300)
endif()
