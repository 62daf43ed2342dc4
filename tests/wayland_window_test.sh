#!/usr/bin/env bash
# The built game on a headless sway (harness/wayland_session.sh), clicked with
# a virtual pointer of our own: natively at output scale 1 (the game must
# choose Wayland itself), natively at scale 2, and under XWayland. The windows
# float at their sizes, the no-sound notice goes on Return or a click, Play
# deals a level, a press on a bar's upper half pushes it up and a second press
# at the same place pushes it on; natively a nudge and a third press show the
# pointer itself went along. At scale 2 screenshots are sharp 2x2 blocks from
# buffers of the output's pixels. A close from sway and SIGTERM end the game
# with status 0 and nothing on stderr. Prints "N passed, M failed".
#   tests/wayland_window_test.sh path/to/quillamor2000 path/to/virtual_pointer

if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -u
GAME=$(cd "$(dirname "$1")" && pwd)/$(basename "$1") VPOINTER=$2
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE") BM=$ROOT/resources/bitmaps COMPARE=$HERE/harness/compare_region.py
export LC_ALL=C.UTF-8
unset DISPLAY SDL_VIDEODRIVER
WINDOW_TIMEOUT=10 SCREEN_TIMEOUT=5 EXIT_TIMEOUT=5 SCALE=1
. "$HERE/harness/x_session.sh"
x_session_check
for tool in sway grim wtype Xwayland; do command -v "$tool" >/dev/null || MISSING+=("$tool"); done
if [ ${#MISSING[@]} -ne 0 ] || [ ! -x "$VPOINTER" ]; then
  echo "FAIL: missing ${MISSING[*]} $VPOINTER; install: apt-get install -y sway grim wtype xwayland python3-pil"
  echo "0 passed, 1 failed"
  exit 1
fi
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-wayland.XXXXXX")
PASSED=0 FAILED=0 GAME_PID='' SWAY_PID=''
. "$HERE/harness/window_checks.sh"
. "$HERE/harness/wayland_session.sh"
cleanup() {
  cleanup_game
  [ -n "${POINTER_PID:-}" ] && kill "$POINTER_PID" 2>/dev/null
  stop_sway
  [ "$FAILED" -eq 0 ] && rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The X test's steps, on sway's windows (named by their titles).
viewable_window() { sway_window "$1" && echo "$1"; }
grab() {  # the window's content as the game drew it, in $WORK/client.ppm
  sway_window "$1" && grim -g "$GX,$GY ${GW}x$GH" -t ppm "$WORK/client.ppm" || return 1
  [ "$BLOCK" -eq 1 ] && return 0
  WHY=$("$PY" "$COMPARE" shrink "$WORK/client.ppm" "$BLOCK" "$WORK/client.ppm") && return 0
  WHY="not in sharp ${BLOCK}x$BLOCK blocks: $WHY"
  return 1
}
# In with a move as a mouse comes: XWayland places the X pointer only on motion.
point_at() { sway_window "$1" && pointer move $((GX + $2 - 1)) $((GY + $3)) "$DESK_W" "$DESK_H" && pointer rel 1 0; }
click_at() { point_at "$@" && pointer press && pointer release; }
park() { pointer move 0 0 "$DESK_W" "$DESK_H"; }
# bar_moved_to C TOP: the vertical bar in column C has its upper half in row
# TOP; or, where the pointer's picture hides it (sway draws the pointer into
# screenshots), the cell under it is empty and something is in those two.
bar_moved_to() {
  grab "$MAIN_NAME" && "$PY" "$COMPARE" board --show "$WORK/client.ppm" | awk -v c=$(($1 + 1)) -v r=$(($2 + 1)) \
    '{x = substr($0, c, 1)} NR == r && x == "^" {a = 1} NR == r + 1 && x == "v" {b = 1}
     (NR == r || NR == r + 1) && x != "." {n++} NR == r + 2 && x == "." {d = 1} END {exit !(a && b || n == 2 && d)}'
}
expect_window() {  # expect_window WHAT NAME W H SHELL
  if sway_window "$2" && [ "$GW $GH $SHELL $FLOATING" = "$3 $4 $5 floating_con" ]; then
    pass "$1 floats at $3x$4 ($5)"
  else
    fail "$1 is ${GW:-?}x${GH:-?} ${SHELL:-?} ${FLOATING:-?}, wanted $3x$4 $5 floating_con"
  fi
}

if ! start_sway "$WORK/sway.log"; then
  fail "sway did not come up (log: $WORK/sway.log)"
  echo "$PASSED passed, $FAILED failed"
  exit 1
fi
echo "sway on $WAYLAND_DISPLAY, XWayland on $X_DISPLAY"
if [ ${#AS[@]} -ne 0 ] && ! "${AS[@]}" test -x "$GAME"; then
  echo "$WL_USER cannot run $GAME: it runs a copy in $WORK"
  cp "$GAME" "$WORK/quillamor2000" && chmod 755 "$WORK/quillamor2000" && GAME=$WORK/quillamor2000
fi
GAME_LOADER=${AS[*]}
start_pointer "$VPOINTER"

# play WHAT SHELL OUTPUT_SCALE ANSWER WAY_OUT VAR=VALUE...
play() {
  local what=$1 shell=$2 answer=$4 way_out=$5 first
  echo "--- $what"
  output_scale "$3" && park
  shift 5
  start_game "$way_out" HOME="$RUN" XDG_RUNTIME_DIR="$RUN" SDL_AUDIODRIVER=no-sound-card-here "$@"
  if wait_window "$DIALOG_NAME"; then
    expect_window "the difficulty dialog" "$DIALOG_NAME" 268 98 "$shell"
    # On the screen before it is clicked: sway places a window once the game
    # has drawn it, and a click before then goes nowhere.
    expect_screen "the dialog shows its digits" - "$DIALOG_NAME" same $((BUTTON_X[0] + 29)) 63 16 16 "$BM/Digit1.bmp"
    click_at "$DIALOG_NAME" $((BUTTON_X[0] + 37)) 70
  else
    fail "no difficulty dialog within ${WINDOW_TIMEOUT}s"
  fi
  if wait_window "$NOTICE_NAME" && park && poll "$SCREEN_TIMEOUT" find_ok_button "$NOTICE_NAME"; then
    # A keyboard, like the pointer, must be there before its key comes.
    if [ "$answer" = Return ]; then wtype -s 500 -k Return; else click_at "$NOTICE_NAME" "$OK_X" "$OK_Y"; fi
    if poll "$WINDOW_TIMEOUT" window_down "$NOTICE_NAME"; then pass "the no-sound notice goes on $answer"; else fail "the notice stays after $answer"; fi
  else
    fail "no no-sound notice with a button within ${WINDOW_TIMEOUT}s"
  fi
  if wait_window "$MAIN_NAME"; then
    expect_window "the main window" "$MAIN_NAME" 550 440 "$shell"
    park  # sway draws the pointer into its screenshots
    expect_screen "the title shows" "title-$way_out" "$MAIN_NAME" same 0 0 550 440 "$BM/Title.bmp"
    click_at "$MAIN_NAME" 505 405 && point_at "$MAIN_NAME" 430 200 && park
    expect_screen "Play deals a level" - "$MAIN_NAME" "${GAME_SCREEN[@]}"
    for first in $(seq 15); do  # a level with a bar that has room for three pushes
      pick_bar "$MAIN_NAME" 3 && break
      click_at "$MAIN_NAME" 495 277 && point_at "$MAIN_NAME" 430 200 && park  # Next
    done
    if [ "$first" -lt 15 ] || pick_bar "$MAIN_NAME" 3; then
      point_at "$MAIN_NAME" $((30 + 20 * BAR_C)) $((30 + 20 * BAR_R))
      for first in "a press on a bar's upper half pushes it up" "a second press at the same place pushes it on" \
        "${third:-}"; do
        [ -n "$first" ] || break
        [ "$first" = "${third:-}" ] && pointer rel 0 1
        pointer press && pointer release
        BAR_R=$((BAR_R - 1))
        if poll "$SCREEN_TIMEOUT" bar_moved_to "$BAR_C" "$BAR_R"; then pass "$first"; else fail "$first: no"; fi
      done
    else
      fail "no vertical bar with room above it that the ball cannot reach, in 15 levels"
    fi
  else
    fail "no main window within ${WINDOW_TIMEOUT}s"
  fi
  if [ "$way_out" = close ]; then swaymsg "[pid=$GAME_PID] kill" >/dev/null; else kill -TERM "$GAME_PID"; fi
  expect_exit "$what, ended by $way_out" 0
  expect_no_errors "$what"
  cleanup_game
}

third="natively the pointer itself went with the bar: nudged a pixel, a third press pushes it on"
play "native Wayland at scale 1, chosen by the game" xdg_shell 1 Return close DISPLAY="$X_DISPLAY" WAYLAND_DISPLAY="$WAYLAND_DISPLAY"
play "native Wayland at output scale 2" xdg_shell 2 click SIGTERM SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$WAYLAND_DISPLAY"
# A desktop that stretches with nearest pixels would make a small buffer look
# as sharp: the protocol log says what the game really draws into.
echo "--- the windows' buffers at output scale 2"
start_game buffers HOME="$RUN" XDG_RUNTIME_DIR="$RUN" SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=wayland WAYLAND_DEBUG=1 \
  WAYLAND_DISPLAY="$WAYLAND_DISPLAY"
if wait_window "$DIALOG_NAME" && poll "$SCREEN_TIMEOUT" grep -q 'create_buffer(.*, 536, 196, ' "$GAME_LOG.err" &&
  grep -q 'create_buffer(.*, 1100, 880, ' "$GAME_LOG.err"; then
  pass "at output scale 2 the game draws into buffers of the output's pixels, 1100x880 and 536x196"
else
  fail "at output scale 2 no buffers of 1100x880 and 536x196 (protocol log: $GAME_LOG.err)"
fi
cleanup_game
third=
play "XWayland" xwayland 1 click close SDL_VIDEODRIVER=x11 DISPLAY="$X_DISPLAY" WAYLAND_DISPLAY="$WAYLAND_DISPLAY"

[ "$FAILED" -eq 0 ] || echo "what the failures left: $WORK"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
