#!/usr/bin/env bash
# The Windows executable under Wine in Xvfb, played as the real-window test
# plays the Linux one, with the same checks (harness/window_checks.sh): the
# difficulty dialog answered with a digit, the no-sound notice (Wine here has
# no sound device) answered with OK, the title, Play dealing a level, a bar
# press moving the bar and the pointer, the title and the playfield equal to
# the game's bitmaps, and the close button ending the program with status 0.
# Also: a start-up error shows in a message box.
#
#   tests/wine_window_test.sh path/to/quillamor2000.exe
#
# Needs (Debian): wine wine64 xvfb xdotool imagemagick x11-utils python3-pil.
# Uses WINEPREFIX if set (tools/windows.sh gives its own), else a new one in
# its work folder; stops that prefix's wineserver and its own Xvfb on exit.
# Keeps the screenshots in SHOTS (a folder) when set.

if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -u

if [ $# -ne 1 ]; then
  echo "usage: $0 path/to/quillamor2000.exe" >&2
  exit 2
fi
GAME=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE")
BM=$ROOT/resources/bitmaps
COMPARE=$HERE/harness/compare_region.py
CLOSE=$HERE/harness/close_window.py
export LC_ALL=C.UTF-8
SCREEN_W=1024 SCREEN_H=768 SCALE=1
WINDOW_TIMEOUT=30 SCREEN_TIMEOUT=10 EXIT_TIMEOUT=10  # Wine starts slower

. "$HERE/harness/x_session.sh"
x_session_check
command -v wine >/dev/null 2>&1 || MISSING+=(wine)
if [ ${#MISSING[@]} -ne 0 ] || [ ! -f "$GAME" ]; then
  echo "FAIL: missing ${MISSING[*]:-} ${GAME##*/}; install: apt-get install -y wine wine64 xvfb xdotool imagemagick x11-utils python3-pil" >&2
  echo "0 passed, 1 failed"
  exit 1
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-wine-window.XXXXXX")
PASSED=0 FAILED=0
XVFB_PID='' GAME_PID=''
. "$HERE/harness/window_checks.sh"
GAME_LOADER=wine
# Quiet, without the .NET and HTML installers a new prefix asks for, and
# with no sound device at all.
export WINEPREFIX=${WINEPREFIX:-$WORK/wine} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv=d"

cleanup() {
  cleanup_game
  wineserver -k 2>/dev/null
  [ -n "$XVFB_PID" ] && stop_xvfb
  [ "$FAILED" -eq 0 ] && rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

keep_shot() {  # keep_shot NAME: the last grab, as a PNG in SHOTS
  [ -n "${SHOTS:-}" ] && mkdir -p "$SHOTS" && "$PY" "$COMPARE" topng "$WORK/client.ppm" "$SHOTS/$1.png"
}

if ! start_xvfb "$SCREEN_W" "$SCREEN_H" "$WORK/xvfb.log"; then
  fail "no free X display among :91..:99 for Xvfb"
  echo "$PASSED passed, $FAILED failed"
  exit 1
fi
echo "Xvfb on $DISPLAY, Wine prefix $WINEPREFIX"
wine wineboot --init >/dev/null 2>&1

echo "--- Wine without a sound device, difficulty 1, closed from the window"
start_game wine
if wait_window "$DIALOG_NAME"; then
  pass "difficulty dialog \"$DIALOG_NAME\" comes up"
  expect_screen "dialog shows its label and the digits 1 2 3" - "$FOUND" \
    same 22 16 230 32 "$BM/DiffLabel.bmp" --under "$BM/bg.bmp" --tol 2 -- \
    same $((BUTTON_X[0] + 29)) 63 16 16 "$BM/Digit1.bmp" -- same $((BUTTON_X[2] + 29)) 63 16 16 "$BM/Digit3.bmp"
  keep_shot dialog
  click_at "$FOUND" $((BUTTON_X[0] + 37)) 70
  if poll "$WINDOW_TIMEOUT" window_down "$DIALOG_NAME"; then pass "a click on 1 answers the dialog"; else fail "the dialog is still up"; fi
else
  fail "no difficulty dialog within ${WINDOW_TIMEOUT}s"
fi

if wait_window "$NOTICE_NAME" && NOTICE=$FOUND && poll "$SCREEN_TIMEOUT" find_ok_button "$NOTICE"; then
  pass "the no-sound notice comes up with its button"
  keep_shot notice
  click_at "$NOTICE" "$OK_X" "$OK_Y"
  if poll "$WINDOW_TIMEOUT" window_down "$NOTICE_NAME"; then pass "OK answers the notice"; else fail "the notice is still up"; fi
else
  fail "no no-sound notice with a button within ${WINDOW_TIMEOUT}s"
fi

if wait_window "$MAIN_NAME"; then
  MAIN=$FOUND
  pass "main window comes up"
  expect_geometry "main window" "$MAIN" 550 440
  expect_screen "title screen shows the title picture" - "$MAIN" same 0 0 550 440 "$BM/Title.bmp"
  keep_shot title
  point_at "$MAIN" 505 405
  expect_screen "pointer on the start spot lights it" - "$MAIN" "${START_LIT[@]}"
  xdotool click 1
  expect_screen "Play deals a level: bars, one ball, one exit, panel unlit" - "$MAIN" "${GAME_SCREEN[@]}"
  keep_shot level
  expect_bar_press "$MAIN"
  keep_shot bar-moved
  close_main "$MAIN"
else
  fail "no main window within ${WINDOW_TIMEOUT}s"
fi
cleanup_game

echo "--- a start-up error shows in a message box"
start_game no_video SDL_VIDEODRIVER=no-such-video
if wait_window "$NOTICE_NAME"; then
  pass "the start-up error comes up in a box"
  grab "$FOUND" && keep_shot startup-error
  xdotool key --window "$FOUND" Return
  expect_exit "answering the start-up error" 1
else
  fail "no message box for a start-up error within ${WINDOW_TIMEOUT}s"
fi

kept=
[ "$FAILED" -eq 0 ] || kept=" (kept: $WORK)"
echo "$PASSED passed, $FAILED failed$kept"
[ "$FAILED" -eq 0 ]
