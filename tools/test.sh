#!/bin/sh
# Installs what the tests need (Debian 12; through sudo when not root),
# builds everything and runs every test as the user who runs this: the
# game in a real X server and on a headless Wayland desktop (sway), the
# Debian package built and checked, the Windows build under Wine (when Wine
# and MinGW-w64 are there), the browser build in Chromium, Firefox and WebKit (when
# Emscripten and Chromium are), the headless suites under the address and
# undefined-behaviour sanitizers, and the same suites built with clang and
# libc++. Says how long each part took.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-missing.sh cmake g++ make pkg-config libsdl2-dev wayland-protocols libgtest-dev xvfb xauth xdotool imagemagick \
  x11-utils python3 python3-pil sway grim wtype xwayland dpkg-dev file desktop-file-utils appstream \
  clang libc++-14-dev libc++abi-14-dev googletest
jobs=$(nproc)
start=$(date +%s)
mark=$start
took() {  # took WHAT: the seconds since the last mark
  now=$(date +%s)
  parts="${parts:-}${parts:+, }$1 $((now - mark)) s"
  mark=$now
}

# Line tables are debug information enough for a failure's backtrace, and
# build in two thirds of the time; under the sanitizers an optimised build
# takes several times longer to compile than the tests take to run. The
# headless suites are built and run once, under the sanitizers (below).
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO='-O2 -g1 -DNDEBUG' \
  -DQUILLAMOR_SUITES=OFF >/dev/null
cmake --build build-test -j"$jobs"
took build

# The game in a real X server spends its minutes waiting on the game's own
# clock, so it plays beside the rest, which runs at a lower priority so that
# the game and its player keep their pace. Its report comes at the end.
rm -f build-test/real_window.status
setsid sh -c "cd build-test && ctest --output-on-failure -R '^real_window\$' >real_window.log 2>&1; echo \$? \$(date +%s) >real_window.status" &
window_test=$!
trap 'kill -TERM -- -$window_test 2>/dev/null || :' EXIT  # a part failed first: take the window test down
window_start=$(date +%s)
(cd build-test && ctest --output-on-failure -j2 -E '^real_window$')
took tests

# The Windows build, its headless suites under Wine and the game played
# under Wine, where Wine and MinGW are installed (sh tools/windows.sh deps).
if command -v wine >/dev/null 2>&1 && command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1; then
  nice -n 5 sh tools/windows.sh test
  took windows
else
  echo "test.sh: no Wine or MinGW-w64 here, so the Windows build is not tested (sh tools/windows.sh deps installs them)"
fi

# The browser build played in Chromium, Firefox and WebKit, by touch and
# offline, where Emscripten and Chromium are installed (sh tools/web.sh deps
# installs them and the other two engines).
if command -v emcc >/dev/null 2>&1 && command -v chromium >/dev/null 2>&1; then
  sh tools/web.sh test
  took web
else
  echo "test.sh: no Emscripten or Chromium here, so the browser build is not tested (sh tools/web.sh deps installs them)"
fi

# The release made twice and compared, and checked as players get it
# (tests/release_test.sh), where the Windows and browser builds' tools are.
if command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 && command -v emcc >/dev/null 2>&1 && command -v chromium >/dev/null 2>&1; then
  sh tests/release_test.sh
  took release
else
  echo "test.sh: no MinGW-w64, Emscripten or Chromium here, so the release is not tested (sh tools/windows.sh deps; sh tools/web.sh deps)"
fi

# The rules' tests and the headless suites (the recorded games among them)
# again with clang and libc++, the C++ library of the page, macOS and
# Android: one seed must deal one level under either library. GoogleTest is
# built for libc++ once, from Debian's sources.
libcxx=$PWD/build-libcxx
if [ ! -f "$libcxx/gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$libcxx/gtest-build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS=-stdlib=libc++ \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$libcxx/gtest" >/dev/null
  nice -n 10 cmake --build "$libcxx/gtest-build" -j"$jobs" >/dev/null
  cmake --install "$libcxx/gtest-build" >/dev/null
fi
cmake -S . -B "$libcxx" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS=-stdlib=libc++ \
  -DCMAKE_PREFIX_PATH="$libcxx/gtest" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO='-O1 -g0 -DNDEBUG' \
  -DQUILLAMOR_BENCH=OFF -DQUILLAMOR_REAL_WINDOW_TEST=OFF -DQUILLAMOR_PACKAGE_TEST=OFF >/dev/null
nice -n 10 cmake --build "$libcxx" -j"$jobs" --target quillamor_tests rules_tests
(cd "$libcxx" && nice -n 5 ctest --output-on-failure -j2 -E '^layering$')
took "clang and libc++"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG='-Og -g1' -DQUILLAMOR_SANITIZE=ON -DQUILLAMOR_BENCH=OFF \
  -DQUILLAMOR_REAL_WINDOW_TEST=OFF -DQUILLAMOR_PACKAGE_TEST=OFF >/dev/null
nice -n 10 cmake --build build-sanitize -j"$jobs" --target quillamor_tests rules_tests
took "sanitizer build"
(cd build-sanitize && nice -n 5 ctest --output-on-failure -j2)
took "sanitizer tests"

wait "$window_test" || :
trap - EXIT
cat build-test/real_window.log
read -r status window_end <build-test/real_window.status
parts="$parts, real window (beside the rest) $((window_end - window_start)) s"
mark=$(date +%s)
echo "test.sh: $parts; $((mark - start)) s in all"
[ "$status" = 0 ]
