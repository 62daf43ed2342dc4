#!/usr/bin/env bash
# Makes the README's screenshots from the built game, as a player sees it:
#
#   tools/screenshots.sh [build-dir]      (default: build)
#
# Builds nothing. Runs build-dir/quillamor2000 under its own Xvfb, with a
# silent sound device, and writes into docs/screenshots/:
#   dialog.png  the difficulty dialog
#   title.png   the title with the pointer on the start spot, which lights it
#   game.png    a dealt level with the pointer on Next, which lights it
#   win.png     the win screen, reached by winning a level: the script follows
#               the ball on the screen and makes the presses build-dir/solve_level
#               plans from where it is, each sure of its outcome however late
#               the click arrives (a level it finds no way through is left
#               with Next)
# Needs (Debian): xvfb xdotool imagemagick x11-utils python3-pil

# Started as `sh tools/screenshots.sh`: what follows needs bash.
if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi

set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
GAME=$BUILD/quillamor2000
case $GAME in /*) ;; *) GAME=$PWD/$GAME ;; esac
OUT=$ROOT/docs/screenshots
BM=$ROOT/resources/bitmaps
COMPARE=$ROOT/tests/harness/compare_region.py
export LC_ALL=C.UTF-8
TIMEOUT=10  # seconds for any one thing to show up

die() {
  echo "screenshots.sh: $*" >&2
  exit 1
}

. "$ROOT/tests/harness/x_session.sh"
x_session_check
[ ${#MISSING[@]} -eq 0 ] ||
  die "missing ${MISSING[*]}; install: apt-get install -y xvfb xdotool imagemagick x11-utils python3-pil"
[ -x "$GAME" ] || die "no game at $GAME; build it first: cmake --build ${1:-build} --target quillamor2000"
SOLVE=$BUILD/solve_level
[ -x "$SOLVE" ] || die "no $SOLVE; build it first: cmake --build ${1:-build} --target solve_level"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-screenshots.XXXXXX")
take_down_on_exit

xserver_ready() { kill -0 "$XVFB_PID" 2>/dev/null && xdotool getdisplaygeometry >/dev/null 2>&1; }
for n in 81 82 83 84 85 86 87 88 89; do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -noreset -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  poll "$TIMEOUT" xserver_ready && break
  kill -TERM "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
done
[ -n "$XVFB_PID" ] || die "no free X display among :81..:89 for Xvfb"

viewable_window() {  # the viewable top-level window with exactly this name
  local id
  for id in $(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk '{print $1}'); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && { echo "$id"; return 0; }
  done
  return 1
}
window_up() { FOUND=$(viewable_window "$1"); }
point_at() { geometry "$1" && xdotool mousemove $((GX + $2)) $((GY + $3)); }
# The window's client area as on the screen, once every check holds on it.
shows() {
  local win=$1
  shift
  geometry "$win" &&
    import -window root -crop "${GW}x${GH}+${GX}+${GY}" +repage -depth 8 "$WORK/client.ppm" 2>/dev/null &&
    "$PY" "$COMPARE" all "$WORK/client.ppm" -- "$@" >/dev/null
}
save() {  # save NAME WINDOW CHECK...: waits for the checks, then writes NAME.png
  local name=$1 win=$2
  shift 2
  poll "$TIMEOUT" shows "$win" "$@" || die "$name: the window never showed what it should (see $WORK)"
  "$PY" "$COMPARE" topng "$WORK/client.ppm" "$OUT/$name.png" || die "cannot write $OUT/$name.png"
  echo "wrote $OUT/$name.png"
}

mkdir -p "$OUT"
# A silent sound device: the no-sound notice would only get in the way.
SDL_AUDIODRIVER=dummy "$GAME" >"$WORK/game.out" 2>"$WORK/game.err" &
GAME_PID=$!

poll "$TIMEOUT" window_up 游戏难度 || die "no difficulty dialog"
DIALOG=$FOUND
# Drawn once its tile shows in the corners and the digits are on the buttons.
save dialog "$DIALOG" same 0 0 268 5 "$BM/bg.bmp" --tile -- same 0 93 268 5 "$BM/bg.bmp" 0 93 --tile -- \
  same 47 63 16 16 "$BM/Digit1.bmp" -- same 204 63 16 16 "$BM/Digit3.bmp"
point_at "$DIALOG" 55 70 && xdotool click 1

poll "$TIMEOUT" window_up Quillamor2000 || die "no main window"
MAIN=$FOUND
point_at "$MAIN" 505 405
save title "$MAIN" same 460 360 90 80 "$BM/Game.bmp" -- same 0 0 550 360 "$BM/Title.bmp"
xdotool click 1
point_at "$MAIN" 495 277
save game "$MAIN" same 440 245 110 65 "$BM/Next.bmp" -- same 0 0 440 20 "$BM/Walpaper.bmp" -- \
  differ 20 20 400 400 "$BM/Walpaper.bmp" 20 20 --min 4000

# ---- winning a level ----

play_to_the_exit "$MAIN" "$SOLVE" "$WORK" || die "no level won in 40 tries"
save win "$MAIN" same 0 0 550 440 "$BM/WOW.bmp"
echo "(the win screen reached by winning a level)"

game_ended() { [ "$(cut -d' ' -f3 "/proc/$GAME_PID/stat" 2>/dev/null)" = Z ] || ! kill -0 "$GAME_PID" 2>/dev/null; }
kill -TERM "$GAME_PID"
poll "$TIMEOUT" game_ended || echo "screenshots.sh: the game did not end on SIGTERM" >&2
