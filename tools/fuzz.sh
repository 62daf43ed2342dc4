#!/bin/sh
# Runs the random driver for a long time under the address and
# undefined-behaviour sanitizers, headless:
#   sh tools/fuzz.sh [SEED [EVENTS]]     from SEED (default 1), EVENTS in all
#                                        (default 10000000), 100000 a seed
#   sh tools/fuzz.sh --replay SEED EVENTS   one seed again, as a failure named it
# Prints each seed's figures, and the seed of any failure with the command
# that replays it. Builds in build-fuzz.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-missing.sh cmake g++ make pkg-config libsdl2-dev wayland-protocols libgtest-dev
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLAMOR_SANITIZE=ON -DQUILLAMOR_BENCH=OFF \
  -DQUILLAMOR_REAL_WINDOW_TEST=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_driver >/dev/null
if [ "${1:-}" = --replay ]; then
  exec build-fuzz/tests/fuzz_driver --replay "$2" "$3"
fi
exec build-fuzz/tests/fuzz_driver "${1:-1}" "${2:-10000000}"
