#!/usr/bin/env bash
# How often the player of the real-window test wins the level it is dealt:
# starts the game under an Xvfb of its own, picks the difficulty, and plays
# LEVELS dealt levels one after another with play_to_the_exit's player
# (tests/harness/play_level.py), never dealing again; a level it finds no way
# through is a loss, left with Next. Prints one line a level and the rate.
#
#   tools/win_rate.sh [BUILD_DIR] [LEVELS] [DIFFICULTY]    (build, 20, 1)
#
# Needs what the real-window test needs (xvfb xdotool imagemagick x11-utils
# python3-pil) and BUILD_DIR/quillamor2000 and BUILD_DIR/solve_level.

if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-build}
LEVELS=${2:-20}
DIFFICULTY=${3:-1}
BM=$ROOT/resources/bitmaps
COMPARE=$ROOT/tests/harness/compare_region.py
. "$ROOT/tests/harness/x_session.sh"
die() { echo "win_rate.sh: $*" >&2; exit 1; }
x_session_check
[ ${#MISSING[@]} -eq 0 ] || die "missing ${MISSING[*]}"
[ -x "$BUILD/quillamor2000" ] && [ -x "$BUILD/solve_level" ] || die "build quillamor2000 and solve_level in $BUILD first"
case $DIFFICULTY in 1 | 2 | 3) ;; *) die "difficulty 1, 2 or 3" ;; esac

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-win-rate.XXXXXX")
take_down_on_exit

start_xvfb 1024 768 "$WORK/xvfb.log" "71 72 73 74 75 76 77 78 79" || die "no free X display among :71..:79"
SDL_AUDIODRIVER=dummy "$BUILD/quillamor2000" >"$WORK/game.out" 2>"$WORK/game.err" &
GAME_PID=$!
window_up() { FOUND=$(viewable_window "$1"); }
poll 10 window_up 游戏难度 || die "no difficulty dialog"
BUTTON_X=(18 97 175)  # the dialog's digit buttons, 75 wide at y 60
geometry "$FOUND" && xdotool mousemove $((GX + BUTTON_X[DIFFICULTY - 1] + 37)) $((GY + 70)) click 1
poll 10 window_up Quillamor2000 || die "no main window"
MAIN=$FOUND
geometry "$MAIN" && xdotool mousemove $((GX + 505)) $((GY + 405)) click 1  # the title's start spot

shows_win() {
  import -window root -crop "${GW}x${GH}+${GX}+${GY}" +repage -depth 8 "$WORK/client.ppm" 2>/dev/null &&
    "$PY" "$COMPARE" same "$WORK/client.ppm" 0 0 550 440 "$BM/WOW.bmp" >/dev/null
}

wins=0
start=$(now_ms)
for level in $(seq 1 "$LEVELS"); do
  began=$(now_ms)
  geometry "$MAIN" || die "the main window is gone"
  xdotool mousemove $((GX + 430)) $((GY + 430))
  if "$PY" "$ROOT/tests/harness/play_level.py" "$BUILD/solve_level" "$WORK" "$GX" "$GY"; then
    wins=$((wins + 1))
    result=won
    poll 10 shows_win || result="won, but no win screen"
    sleep 2  # the fanfare holds the game
    xdotool mousemove $((GX + 430)) $((GY + 430)) click 1  # the win screen deals the next level
  else
    result=lost
    xdotool mousemove $((GX + 495)) $((GY + 277)) click 1  # Next
  fi
  echo "level $level: $result in $(((($(now_ms) - began) + 500) / 1000)) s"
done
echo "won $wins of $LEVELS levels at difficulty $DIFFICULTY in $((($(now_ms) - start) / 1000)) s"
