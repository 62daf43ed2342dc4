#!/usr/bin/env bash
# From a click to the screen: the time from a button press delivered to the
# X server to the window showing the moved bar (bench/click_to_screen), over
# many presses, for the game beside a plain SDL window that answers a press
# by drawing (bench/click_window), in runs that take turns: the game, the
# plain window, the game ... Each run of the game starts it afresh, answers
# the difficulty dialog with 1, deals a level with Play and pushes one
# vertical bar, far from the ball, up and back down (bench/pick_bar.py);
# only drawing over that bar's column answers a press. Prints two FIGURE
# lines for each pair of runs (bench/report.h), and the details.
#
#   bench/click.sh WHERE PROBE GAME BASELINE [LOADER]
#
# WHERE names the rows ("X11", "Wine"), PROBE is click_to_screen, GAME and
# BASELINE the programs (run with LOADER, e.g. wine, when given). DISPLAY: an
# X server of the caller's with no window manager. CLICK_RUNS runs of each
# (3) of CLICK_PRESSES presses (120).

if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -u

WHERE=$1 PROBE=$2 GAME=$3 BASELINE=$4 LOADER=${5:-}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/tests/harness/x_session.sh"
x_session_check
[ ${#MISSING[@]} -eq 0 ] || { echo "click.sh: missing ${MISSING[*]}" >&2; exit 1; }
export LC_ALL=C.UTF-8 SDL_AUDIODRIVER=dummy  # the dialog's window name is Chinese
RUNS=${CLICK_RUNS:-3} PRESSES=${CLICK_PRESSES:-120}
WAIT_S=30  # Wine takes seconds to start a program

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-click.XXXXXX")
. "$ROOT/bench/child.sh"
trap 'stop; rm -rf "$WORK"' EXIT
trap 'exit 130' INT TERM

start() { $LOADER "$1" >"$WORK/out" 2>&1 & PID=$!; }
window_up() { FOUND=$(viewable_window "$1") && return 0; running "$PID" || return 2; return 1; }
wait_window() { FOUND=; poll "$WAIT_S" window_up "$1" || die "no \"$1\" window came up"; }
click_at() {  # click_at WINDOW X Y, in client pixels
  geometry "$1" && xdotool mousemove $((GX + $2)) $((GY + $3)) click 1
}
# Sets BAR to "COLUMN ROW" once a dealt level with a bar to push is on
# the screen; a level without one is left with Next, and the title (a
# press that came before it was drawn) is pressed at the start spot again.
bar_found() {
  local status
  geometry "$MAIN" && import -window root -crop "${GW}x${GH}+${GX}+${GY}" +repage -depth 8 "$WORK/level.ppm" 2>/dev/null ||
    return 1
  BAR=$("$PY" "$ROOT/bench/pick_bar.py" "$WORK/level.ppm")
  status=$?
  [ $status -eq 1 ] && click_at "$MAIN" 495 277  # Next
  [ $status -eq 2 ] && click_at "$MAIN" 505 405
  return $((status != 0))
}

# Sets ANSWER to "MEDIAN P99" of a run of presses on WINDOW: PROBE's
# arguments after the window and the count.
press() {
  local window=$1
  shift
  "$PROBE" "$window" "$PRESSES" "$@" >"$WORK/presses" || die "no press answered; $(tail -1 "$WORK/presses")"
  tail -1 "$WORK/presses" | sed "s/^/$WHERE, $WHAT: /"
  awk '/^press/ && /nothing/ {n++} END {if (n) print "  " n " presses moved nothing"}' "$WORK/presses"
  ANSWER=$(awk '/^answers/ {for (i = 2; i <= 4; i++) {split($i, kv, "="); v[kv[1]] = kv[2]}; print v["median"], v["p99"]}' \
    "$WORK/presses")
}

game_run() {
  WHAT=game
  start "$GAME"
  wait_window 游戏难度
  click_at "$FOUND" 55 70  # difficulty 1
  wait_window Quillamor2000
  MAIN=$FOUND
  sleep 1  # the title drawn
  click_at "$MAIN" 505 405  # the start spot: a level
  sleep 0.5
  poll "$WAIT_S" bar_found || die "no level with a bar far from the ball came up"
  local c r
  read -r c r <<<"$BAR"
  press "$MAIN" $((30 + 20 * c)) $((30 + 20 * r)) $((20 + 20 * c)) $((20 * r)) 20 60
  OURS=$ANSWER
  stop
}

baseline_run() {
  WHAT="plain SDL window"
  start "$BASELINE"
  wait_window click_window
  sleep 1
  press "$FOUND" 275 220
  BASE=$ANSWER
  stop
}

for _ in $(seq "$RUNS"); do
  game_run
  baseline_run
  figures "$WHERE"
done
