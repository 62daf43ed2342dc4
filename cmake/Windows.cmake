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
add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)

# The executable with its icon, version and manifest, and the zip.
function(quillamor_program target)
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/resources/windows/quillamor2000.rc)
  set_property(SOURCE ${CMAKE_SOURCE_DIR}/resources/windows/quillamor2000.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/resources/windows/quillamor2000.ico ${CMAKE_SOURCE_DIR}/resources/windows/quillamor2000.manifest)
  # The executable and how to play, as a player downloads them.
  set(zip ${CMAKE_BINARY_DIR}/Quillamor2000-windows-x64.zip)
  set(staging ${CMAKE_BINARY_DIR}/zip)
  add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${staging}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${staging}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${CMAKE_SOURCE_DIR}/resources/windows/README.txt ${staging}
    COMMAND ${CMAKE_COMMAND} -E chdir ${staging} ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip
      $<TARGET_FILE_NAME:${target}> README.txt
    DEPENDS ${target} ${CMAKE_SOURCE_DIR}/resources/windows/README.txt
    VERBATIM)
  add_custom_target(${target}_zip ALL DEPENDS ${zip})
endfunction()
