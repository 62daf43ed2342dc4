# The Windows build (cross-compiled by tools/windows.sh with
# cmake/mingw-w64.cmake): SDL2 as a static library and the C++ runtime and
# threads linked in, so that the executable needs no DLL beside it; a GUI
# program with its icon, version and manifest; and a zip to hand out.

enable_language(RC)
find_package(SDL2 REQUIRED CONFIG)
# Under the name the Linux build's pkg-config gives it, so that every target
# links SDL the same way on both.
add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_link_libraries(PkgConfig::SDL2 INTERFACE SDL2::SDL2-static)
# Our main() is the program's entry (SDL would rename it to SDL_main).
add_compile_definitions(SDL_MAIN_HANDLED)
# No link time in the executable: a release is the same bytes from any build.
add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s> -Wl,--no-insert-timestamp)

# The executable with its icon, version and manifest, and the zip.
function(quillamor_program target)
  # The resource script takes the version from a header, and finds the
  # manifest made with it in the same folder.
  set(generated ${CMAKE_BINARY_DIR}/windows)
  file(CONFIGURE OUTPUT ${generated}/quillamor2000_version.h CONTENT
    "#define QUILLAMOR_VERSION_NUMBERS @PROJECT_VERSION_MAJOR@,@PROJECT_VERSION_MINOR@,@PROJECT_VERSION_PATCH@,0\n#define QUILLAMOR_VERSION \"@PROJECT_VERSION@\"\n" @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/resources/windows/quillamor2000.manifest.in ${generated}/quillamor2000.manifest @ONLY)
  target_include_directories(${target} PRIVATE ${generated})
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/resources/windows/quillamor2000.rc)
  set_property(SOURCE ${CMAKE_SOURCE_DIR}/resources/windows/quillamor2000.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/resources/windows/quillamor2000.ico ${generated}/quillamor2000.manifest ${generated}/quillamor2000_version.h)
  # The executable, how to play and the licence, as a player downloads them.
  set(zip ${CMAKE_BINARY_DIR}/Quillamor2000-${PROJECT_VERSION}-windows-x64.zip)
  configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${generated}/LICENSE.txt COPYONLY)
  set(files $<TARGET_FILE:${target}> ${CMAKE_SOURCE_DIR}/resources/windows/README.txt ${generated}/LICENSE.txt)
  add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -DZIP=${zip} "-DFILES=$<JOIN:${files},,>" -P ${CMAKE_SOURCE_DIR}/cmake/Zip.cmake
    DEPENDS ${target} ${files} ${CMAKE_SOURCE_DIR}/cmake/Zip.cmake
    VERBATIM)
  add_custom_target(${target}_zip ALL DEPENDS ${zip})
endfunction()
