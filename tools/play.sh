#!/bin/sh
# Installs what the game needs (Debian 12, as root), builds it and starts it.
set -eu
cd "$(dirname "$0")/.."
need="cmake g++ make pkg-config libsdl2-dev"
missing=""
for p in $need; do dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"; done
if [ -n "$missing" ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUILLAMOR_TESTS=OFF -DQUILLAMOR_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target quillamor2000
exec ./build/quillamor2000
