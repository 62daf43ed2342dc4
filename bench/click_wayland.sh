#!/usr/bin/env bash
# From a click to the screen on native Wayland: bench/click.sh's runs (the
# game and a plain SDL window taking turns, a bar far from the ball pushed up
# and back down) on a headless sway of our own (tests/harness/
# wayland_session.sh), each press made and timed by bench/wayland_click: a
# virtual pointer's press to the compositor's copy of the first frame that
# shows the bar moved. Prints two FIGURE lines for each pair of runs. Not
# run by tools/bench.sh: a headless sway draws its frames on a 60 Hz clock
# of its own, which the figures mostly measure (docs/performance.md).
#
#   bench/click_wayland.sh BUILD_DIR   (e.g. build-bench, after sh tools/bench.sh;
#                                       as root: sway and the programs run as an
#                                       account of their own)
# CLICK_RUNS runs of each (3) of CLICK_PRESSES presses (120).

if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -u

BUILD=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/.." && pwd)
sh "$ROOT/tools/install-missing.sh" sway grim xwayland libwayland-dev wayland-protocols >&2 || exit 1
cmake --build "$BUILD" -j2 --target quillamor2000 click_window wayland_click >/dev/null || exit 1
. "$ROOT/tests/harness/x_session.sh"
x_session_check
for tool in sway grim; do command -v "$tool" >/dev/null || MISSING+=("$tool"); done
[ ${#MISSING[@]} -eq 0 ] || { echo "click_wayland.sh: missing ${MISSING[*]}" >&2; exit 1; }
export LC_ALL=C.UTF-8
unset DISPLAY SDL_VIDEODRIVER
RUNS=${CLICK_RUNS:-3} PRESSES=${CLICK_PRESSES:-120}
WAIT_S=10

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-click-wayland.XXXXXX")
. "$ROOT/tests/harness/wayland_session.sh"
. "$ROOT/bench/child.sh"
trap 'stop; [ -n "${CLICKER_PID:-}" ] && kill "$CLICKER_PID" 2>/dev/null; stop_sway; rm -rf "$WORK"' EXIT
trap 'exit 130' INT TERM

start_sway "$WORK/sway.log" || die "sway did not come up (log: $WORK/sway.log)"
# The plain window floats at its own size, as the game's does, rather than
# being stretched over the desktop.
swaymsg 'for_window [title="^click_window$"] floating enable' >/dev/null
# The account sway runs as reads the programs from a copy of ours.
for program in quillamor2000 bench/click_window; do
  cp "$BUILD/$program" "$WORK/${program##*/}" && chmod 755 "$WORK/${program##*/}"
done
coproc CLICKER { exec "$BUILD/bench/wayland_click" 1920 1080 2>>"$WORK/presses"; }
say() { echo "$*" >&"${CLICKER[1]}" && read -r -t 60 REPLY <&"${CLICKER[0]}" && [ "${REPLY%% *}" != unknown ]; }

start() {
  "${AS[@]}" env HOME="$WORK/run" XDG_RUNTIME_DIR="$WORK/run" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" SDL_AUDIODRIVER=dummy \
    "$WORK/$1" >"$WORK/out" 2>&1 &
  PID=$!
}
window_up() { sway_window "$1" && return 0; running "$PID" || return 2; return 1; }
wait_window() { poll "$WAIT_S" window_up "$1" || die "no \"$1\" window came up"; sleep 1; }  # placed once drawn
# Sets BAR to "COLUMN ROW" once a dealt level with a bar to push is on the
# screen; a level without one is left with Next, and the title (a press
# that came before it was drawn) is pressed at the start spot again.
bar_found() {
  local status
  say move 0 0 && sway_window Quillamor2000 && grim -g "$GX,$GY ${GW}x$GH" -t ppm "$WORK/level.ppm" || return 1
  BAR=$("$PY" "$ROOT/bench/pick_bar.py" "$WORK/level.ppm")
  status=$?
  [ $status -eq 1 ] && say click $((GX + 495)) $((GY + 277))  # Next
  [ $status -eq 2 ] && say click $((GX + 505)) $((GY + 405))
  return $((status != 0))
}
press() {  # press WHAT X Y WX WY WW WH: sets ANSWER to "MEDIAN P99"
  local what=$1
  shift
  echo "== $what" >>"$WORK/presses"
  say presses "$PRESSES" "$@" || die "no presses made; $(tail -1 "$WORK/presses")"
  echo "Wayland, $what: $REPLY"
  awk '/^== / {n = 0} /^press/ && /nothing/ {n++} END {if (n) print "  " n " presses moved nothing"}' "$WORK/presses"
  ANSWER=$(awk '{for (i = 2; i <= 4; i++) {split($i, kv, "="); v[kv[1]] = kv[2]}; print v["median"], v["p99"]}' <<<"$REPLY")
}

for _ in $(seq "$RUNS"); do
  start quillamor2000
  wait_window 游戏难度
  say click $((GX + 55)) $((GY + 70))  # difficulty 1
  wait_window Quillamor2000
  say click $((GX + 505)) $((GY + 405))  # the start spot: a level
  sleep 0.5
  poll "$WAIT_S" bar_found || die "no level with a bar far from the ball came up"
  read -r c r <<<"$BAR"
  press game $((GX + 30 + 20 * c)) $((GY + 30 + 20 * r)) $((GX + 20 + 20 * c)) $((GY + 20 * r)) 20 60
  OURS=$ANSWER
  stop
  start click_window
  wait_window click_window
  press "plain SDL window" $((GX + 275)) $((GY + 220)) $((GX + 260)) $((GY + 220)) 20 40
  BASE=$ANSWER
  stop
  figures Wayland
done
