# The browser build (cross-compiled by tools/web.sh with Debian's Emscripten
# through emcmake): SDL2 built from Debian's source as a static library, the
# game linked with ASYNCIFY so that its blocking waits, modal loops and
# sounds played to their end run unchanged in the page, and the folder a web
# server hands out: our own page, the script and the WebAssembly, the icons,
# the manifest that makes it an app and the service worker that keeps it.

find_package(SDL2 REQUIRED CONFIG)
# Under the name the Linux build's pkg-config gives it, so that every target
# links SDL the same way.
add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_link_libraries(PkgConfig::SDL2 INTERFACE SDL2::SDL2-static)
# The message loop catches what a handler throws (without this the catch
# would be dead code and a throw would end the program).
add_compile_options(-fexceptions)
# SDL's sound starts on the player's first click and calls back through
# these; a file of options keeps their $ from make and the shell.
file(WRITE ${CMAKE_BINARY_DIR}/sdl-audio.rsp "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=[$autoResumeAudioContext,$dynCall]\n")
add_link_options(-fexceptions -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH -sENVIRONMENT=web
  @${CMAKE_BINARY_DIR}/sdl-audio.rsp)

# The page names its version in its source; the bench pages below are made
# from it too.
configure_file(${CMAKE_SOURCE_DIR}/resources/web/index.html ${CMAKE_BINARY_DIR}/web/index.html @ONLY)

function(quillamor_program target)
  set(page ${CMAKE_BINARY_DIR}/page)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${page})
  set(web ${CMAKE_SOURCE_DIR}/resources/web)
  set(icon ${CMAKE_SOURCE_DIR}/resources/icons/hicolor/64x64/apps/org.quillamor.Quillamor2000.png)
  set(copied manifest.webmanifest icon-192.png icon-512.png)
  set(outputs ${page}/icon.png ${page}/index.html)
  set(commands COMMAND ${CMAKE_COMMAND} -E copy ${icon} ${page}/icon.png
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/web/index.html ${page}/index.html)
  foreach(name IN LISTS copied)
    list(APPEND outputs ${page}/${name})
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy ${web}/${name} ${page}/${name})
  endforeach()
  list(TRANSFORM copied PREPEND ${web}/ OUTPUT_VARIABLE sources)
  add_custom_command(OUTPUT ${outputs} ${commands} DEPENDS ${sources} ${icon} ${CMAKE_BINARY_DIR}/web/index.html VERBATIM)
  # The service worker keeps every file of the page for playing offline.
  set(kept index.html ${copied} icon.png ${target}.js ${target}.wasm)
  list(JOIN kept , kept_arg)
  add_custom_command(OUTPUT ${page}/service-worker.js
    COMMAND ${CMAKE_COMMAND} -DPAGE=${page} -DTEMPLATE=${web}/service-worker.js -DFILES=${kept_arg}
      -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/WebServiceWorker.cmake
    DEPENDS ${target} ${outputs} ${web}/service-worker.js ${CMAKE_SOURCE_DIR}/cmake/WebServiceWorker.cmake
    VERBATIM)
  add_custom_target(${target}_page ALL DEPENDS ${target} ${outputs} ${page}/service-worker.js)
  # The page as a web host takes a game: one zip, index.html at its root,
  # with the licence.
  set(zip ${CMAKE_BINARY_DIR}/Quillamor2000-${PROJECT_VERSION}-web.zip)
  configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/web/LICENSE.txt COPYONLY)
  list(TRANSFORM kept PREPEND ${page}/ OUTPUT_VARIABLE files)
  list(APPEND files ${page}/service-worker.js ${CMAKE_BINARY_DIR}/web/LICENSE.txt)
  add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -DZIP=${zip} "-DFILES=$<JOIN:${files},,>" -P ${CMAKE_SOURCE_DIR}/cmake/Zip.cmake
    DEPENDS ${target}_page ${files} ${CMAKE_SOURCE_DIR}/cmake/Zip.cmake
    VERBATIM)
  add_custom_target(${target}_zip DEPENDS ${zip})
endfunction()

# For bench/web.sh, each on a page of its own like the game's: a plain SDL
# program that shows one window and waits in SDL's own way, the baseline of
# the page's figures; one that answers a press by drawing, the baseline of
# its answers (bench/click_window.cpp); and the main window with its ball
# falling at the fastest ticks (bench/fall_bench.cpp).
file(READ ${CMAKE_BINARY_DIR}/web/index.html page)
function(quillamor_web_bench_page target)
  add_executable(${target} EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/${target}.cpp)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${target})
  string(REPLACE quillamor2000.js ${target}.js own "${page}")
  file(WRITE ${CMAKE_BINARY_DIR}/${target}/index.html "${own}")
endfunction()
quillamor_web_bench_page(empty_window)
target_link_libraries(empty_window PRIVATE PkgConfig::SDL2)
quillamor_web_bench_page(click_window)
target_link_libraries(click_window PRIVATE PkgConfig::SDL2)
# The game's library is made after this file is read; the name is enough.
quillamor_web_bench_page(fall_bench)
target_link_libraries(fall_bench PRIVATE quillamor_ui)
