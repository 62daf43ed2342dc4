#!/bin/sh
# Measures how smooth, light and quick the game is, each figure beside a
# baseline taken in the same run (these machines are shared: a time alone
# means little from one run to the next), and prints one table.
#
#   sh tools/bench.sh        (Debian 12, as root: installs what is missing)
#
# Builds the game and the benchmarks as a player's build (Release) in
# build-bench/, starts an Xvfb of its own, runs everything once (the timer
# twice: on a quiet machine and with the other core kept busy) and prints the
# table in Markdown. Everything each benchmark printed is kept in
# build-bench/bench.log. Takes about five minutes.

if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
sh tools/install-missing.sh cmake g++ make pkg-config libsdl2-dev wayland-protocols xvfb xauth xdotool imagemagick x11-utils \
  xfonts-base python3 python3-pil >&2
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DQUILLAMOR_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target quillamor2000 deal_bench timer_bench handler_bench memory_bench \
  sound_bench empty_window startup_probe fall_bench >/dev/null
B=$ROOT/build-bench
LOG=$B/bench.log

. tests/harness/x_session.sh
export XVFB_PID=
trap '[ -n "$XVFB_PID" ] && kill -TERM "$XVFB_PID" 2>/dev/null; wait 2>/dev/null' EXIT
start_xvfb 1024 768 "$B/xvfb.log" || { echo "bench.sh: no free X display for Xvfb" >&2; exit 1; }

: >"$LOG"
run() {  # run WHAT COMMAND...: its output goes to the log
  echo "== $1" >>"$LOG"
  echo "bench.sh: $1" >&2
  shift
  "$@" >>"$LOG" 2>&1 || { echo "bench.sh: failed: $*; see $LOG" >&2; exit 1; }
}
started=$(date -u '+%Y-%m-%d %H:%M UTC')
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# The share of time some task waited for a CPU: how much else the machine was doing.
pressure() { awk '/^some/ {sub("avg60=", "", $3); print $3 " %"}' /proc/pressure/cpu 2>/dev/null || echo unknown; }
pressure_before=$(pressure)
run "tick periods, quiet machine" "$B/bench/timer_bench"
run "tick periods, the other core busy" "$B/bench/timer_bench" --busy
run "handler times" "$B/bench/handler_bench"
run "dealing" "$B/bench/deal_bench" 1000
run "memory while dealing" "$B/bench/memory_bench"
run "sound latency" "$B/bench/sound_bench"
run "failed sound plays, no usable device" "$B/bench/sound_bench" failed
run "failed sound plays, ALSA" env SDL_AUDIODRIVER=alsa "$B/bench/sound_bench" failed
run "the game under X" bash bench/session.sh "$B"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
pressure_after=$(pressure)

echo "Quillamor 2000 benchmarks, $started"
echo "Machine: $(nproc) cores, $(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo), $(uname -sr)"
echo "Load average $load_before before, $load_after after; CPU pressure (some task waiting, over a minute)" \
  "$pressure_before before, $pressure_after after"
echo "Command: sh tools/bench.sh (commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown))"
echo
awk -F '\t' -f bench/table.awk "$LOG"
