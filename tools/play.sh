#!/bin/sh
# Installs what the game needs (Debian 12; through sudo when not root), then
# builds the game and starts it as the user who runs this.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-missing.sh cmake g++ make pkg-config libsdl2-dev wayland-protocols
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUILLAMOR_TESTS=OFF -DQUILLAMOR_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target quillamor2000
exec ./build/quillamor2000
