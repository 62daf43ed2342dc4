#!/bin/sh
# Measures how smooth, light and quick the game is, each figure beside a
# baseline taken in the same run (these machines are shared: a time alone
# means little from one run to the next), and prints one table.
#
#   sh tools/bench.sh        (Debian 12, as root: installs what is missing)
#
# Builds the game and the benchmarks as a player's build (Release) in
# build-bench/, and the Windows build of the game and of the click baseline
# in build-bench-windows/ (tools/windows.sh deps: MinGW, Wine and SDL2 for
# Windows, built once), starts an Xvfb of its own and runs every benchmark
# three times (QUILLAMOR_BENCH_RUNS), ours and the baseline taking turns
# within each run: the timer on a quiet machine and with the other core kept
# busy, the handlers, the dealer, the sound, the game under X, and the time
# from a click to the screen under X and under Wine. The table gives the
# median of the runs and their spread, and judges each row on the medians.
# Everything each benchmark printed is kept in build-bench/bench.log. Takes
# about eight minutes once built.

if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
sh tools/install-missing.sh cmake g++ make pkg-config libsdl2-dev wayland-protocols xvfb xauth xdotool imagemagick x11-utils \
  xfonts-base python3 python3-pil libx11-dev libxtst-dev libxdamage-dev >&2
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DQUILLAMOR_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target quillamor2000 deal_bench timer_bench handler_bench memory_bench \
  sound_bench empty_window startup_probe fall_bench click_window click_to_screen >/dev/null
B=$ROOT/build-bench
LOG=$B/bench.log
RUNS=${QUILLAMOR_BENCH_RUNS:-3}

# The Windows build, as tools/windows.sh makes it, with the click baseline.
sh tools/windows.sh deps >&2
. tools/debian_sdl2.sh
W=$ROOT/build-bench-windows
cmake -S . -B "$W" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release -DQUILLAMOR_TESTS=OFF \
  -DQUILLAMOR_WINDOWS_DEPS="${QUILLAMOR_WINDOWS_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/quillamor2000/windows-deps-sdl$sdl_version}" \
  >/dev/null
cmake --build "$W" -j"$(nproc)" --target quillamor2000 click_window >/dev/null

. tests/harness/x_session.sh
export XVFB_PID=
# Wine keeps its own Windows in a folder of ours, quiet; its server is ended
# with the run.
export WINEPREFIX=$W/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null; [ -n "$XVFB_PID" ] && kill -TERM "$XVFB_PID" 2>/dev/null; wait 2>/dev/null' EXIT
start_xvfb 1024 768 "$B/xvfb.log" || { echo "bench.sh: no free X display for Xvfb" >&2; exit 1; }

: >"$LOG"
run() {  # run WHAT COMMAND...: its output goes to the log
  echo "== $1" >>"$LOG"
  echo "bench.sh: $1" >&2
  shift
  "$@" >>"$LOG" 2>&1 || { echo "bench.sh: failed: $*; see $LOG" >&2; exit 1; }
}
repeat() {  # repeat WHAT COMMAND...: run, RUNS times
  local i what=$1
  shift
  for i in $(seq "$RUNS"); do run "$what, run $i of $RUNS" "$@"; done
}
started=$(date -u '+%Y-%m-%d %H:%M UTC')
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# The share of time some task waited for a CPU: how much else the machine was doing.
pressure() { awk '/^some/ {sub("avg60=", "", $3); print $3 " %"}' /proc/pressure/cpu 2>/dev/null || echo unknown; }
pressure_before=$(pressure)
# Each run shorter than one alone would be (100 ticks a period, 100 sound
# plays, 4 s of each idle figure), the three of them within ten minutes.
repeat "tick periods, quiet machine" "$B/bench/timer_bench" 100
repeat "tick periods, the other core busy" "$B/bench/timer_bench" --busy 100
repeat "handler times" "$B/bench/handler_bench"
repeat "dealing" "$B/bench/deal_bench" 1000
run "memory while dealing" "$B/bench/memory_bench"
repeat "sound latency" "$B/bench/sound_bench" 100
repeat "failed sound plays, no usable device" "$B/bench/sound_bench" failed
repeat "failed sound plays, ALSA" env SDL_AUDIODRIVER=alsa "$B/bench/sound_bench" failed
repeat "the game under X" env QUILLAMOR_BENCH_SECONDS=4 bash bench/session.sh "$B"
run "click to screen, X11" env CLICK_RUNS="$RUNS" bash bench/click.sh X11 "$B/bench/click_to_screen" "$B/quillamor2000" \
  "$B/bench/click_window"
wine wineboot --init >/dev/null 2>&1
run "click to screen, Wine" env CLICK_RUNS="$RUNS" bash bench/click.sh Wine "$B/bench/click_to_screen" "$W/quillamor2000.exe" \
  "$W/bench/click_window.exe" wine
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
pressure_after=$(pressure)

echo "Quillamor 2000 benchmarks, $started"
echo "Machine: $(nproc) cores, $(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo), $(uname -sr)"
echo "Load average $load_before before, $load_after after; CPU pressure (some task waiting, over a minute)" \
  "$pressure_before before, $pressure_after after"
echo "Command: sh tools/bench.sh (commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown))"
echo
awk -F '\t' -f bench/table.awk "$LOG"
