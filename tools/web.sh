#!/bin/sh
# The game in a web browser, built to WebAssembly with Debian's Emscripten:
#
#   sh tools/web.sh          build-web/page/: index.html, quillamor2000.js,
#                            quillamor2000.wasm, the icons, the app's manifest
#                            and the service worker that keeps it offline;
#                            and build-web/Quillamor2000-VERSION-web.zip, the
#                            page with the licence as a web host takes it
#   sh tools/web.sh serve    serves build-web/page/ on 127.0.0.1 (PORT, else
#                            8000) and prints its address
#   sh tools/web.sh test     also plays it in Chromium, Firefox and WebKitGTK,
#                            by touch at phone and tablet sizes, and offline
#                            (tests/browser_test.sh)
#   sh tools/web.sh deps     only installs and builds what the others need
#                            (for CI: Emscripten, the three browsers, SDL2)
#
# SDL2 comes from Debian's own source package, built once with emcmake as a
# static library and kept in the user's cache (tools/debian_sdl2.sh), as the
# Windows build does. The test installs puppeteer-core from npm into
# build-web/node_modules.
set -eu
cd "$(dirname "$0")/.."
mode=${1:-build}
case $mode in build | serve | test | deps) ;; *) echo "usage: sh tools/web.sh [serve|test|deps]" >&2; exit 2 ;; esac
top=$PWD
out=$top/build-web
. tools/debian_sdl2.sh
# Set QUILLAMOR_WEB_DEPS to keep SDL2 elsewhere.
deps=${QUILLAMOR_WEB_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/quillamor2000/web-deps-sdl$sdl_build}

if [ "$mode" = serve ]; then
  [ -f "$out/page/index.html" ] || { echo "web.sh: nothing built yet: sh tools/web.sh" >&2; exit 1; }
  exec python3 tests/harness/serve_web.py "$out/page" "${PORT:-8000}"
fi

need="cmake make emscripten dpkg-dev python3 zip"
# The test's three engines: Chromium, Firefox ESR, and WebKitGTK's
# MiniBrowser driven by WebKitWebDriver in an Xvfb.
[ "$mode" = build ] || need="$need chromium firefox-esr webkit2gtk-driver xvfb xdotool python3-pil"
# shellcheck disable=SC2086
sh tools/install-missing.sh $need
# Debian's emcc looks for its JavaScript modules (acorn) among Debian's.
export NODE_PATH=/usr/share/nodejs

build_debian_sdl2 "$out" "$deps" emcmake cmake || exit 1
[ "$mode" = deps ] && exit 0
# SDL2_DIR named, so that a build folder configured with another kept build
# moves to this one.
emcmake cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DCMAKE_FIND_ROOT_PATH="$deps" -DSDL2_DIR="$deps/lib/cmake/SDL2" \
  -DQUILLAMOR_TESTS=OFF -DQUILLAMOR_BENCH=OFF >/dev/null
cmake --build "$out" -j2 --target quillamor2000_page quillamor2000_zip
[ "$mode" = build ] && exit 0

bash tests/browser_test.sh "$out"
