# What `cmake --install` puts beside the executable so that the game sits on
# a Linux desktop like any other: its desktop entry, its icon at every size a
# menu or task bar asks for, and its AppStream metainfo for software centres.
# And the Debian package of all that: `cpack -G DEB` in the build folder.
# (The executable's own rule sits with its target.)

set(QUILLAMOR_DESKTOP_ID org.quillamor.Quillamor2000)

install(FILES ${CMAKE_SOURCE_DIR}/desktop/${QUILLAMOR_DESKTOP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/desktop/${QUILLAMOR_DESKTOP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/${QUILLAMOR_DESKTOP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

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
