#!/bin/sh
# Installs what the game needs (Debian 12, as root), builds it and starts it.
# xfonts-base gives the no-sound notice its letters under X.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-missing.sh cmake g++ make pkg-config libsdl2-dev xfonts-base
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUILLAMOR_TESTS=OFF -DQUILLAMOR_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target quillamor2000
exec ./build/quillamor2000
