#!/usr/bin/env bash
# The built game in a real X server, played with the pointer as a player
# would: pick a difficulty, dismiss the no-sound notice, light and press the
# title's start spot, light and press the panel buttons, go back to the title
# and on with the same level, move a bar, win the level dealt (following the
# moving ball with the presses build-dir/solve_level plans), storm the window
# with 2,000 random pointer events, then close the window. Every screen is checked against the very
# bitmaps the game draws. The game is ended by SIGTERM and by its close
# button at awkward moments (the dialog, a fall, Main's wait, the exit
# animation, the win fanfare), each asked the moment the screen shows it:
# each time with status 0.
# Then once more on a 3840 x 2160
# screen, where every window opens at twice its size: each screenshot, scaled
# down by two, must equal the one at 1x, and a bar press moves the bar and the
# pointer twice as far on the screen.
#
#   tests/real_window_test.sh path/to/quillamor2000
#
# Needs (Debian): xvfb xdotool imagemagick x11-utils python3-pil
#   apt-get install -y xvfb xdotool imagemagick x11-utils python3-pil
# Starts its own Xvfb on the first free display of :91..:99 and takes down
# everything it started on exit. Prints PASS/FAIL per check and a last line
# "N passed, M failed"; the exit status is non-zero on any failure.

# Started as with sh: what follows needs bash.
if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi

set -u

if [ $# -ne 1 ]; then
  echo "usage: $0 path/to/quillamor2000" >&2
  exit 2
fi
GAME=$(cd "$(dirname "$1")" 2>/dev/null && pwd)/$(basename "$1")
[ -x "$GAME" ] || GAME=$1
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE")
BM=$ROOT/resources/bitmaps
COMPARE=$HERE/harness/compare_region.py
CLOSE=$HERE/harness/close_window.py
# Plans the presses that win levels for the parts that need the win screen;
# built beside the game.
SOLVE=$(dirname "$GAME")/solve_level
# xwininfo prints window names in the locale's encoding; the dialog's is Chinese.
export LC_ALL=C.UTF-8

SCREEN_W=1024 SCREEN_H=768
SCALE=1             # screen pixels to a pixel of the game on this screen
WINDOW_TIMEOUT=10   # seconds for a window to come up or go away
SCREEN_TIMEOUT=5    # seconds for a screen to show what a step should show
OUT_TIMEOUT=30      # seconds for a ball sent out to get there: it may roll a long way first
EXIT_TIMEOUT=5      # seconds for the game to end when asked

# ---- what the machine must have ----

. "$HERE/harness/x_session.sh"
x_session_check
if [ ${#MISSING[@]} -ne 0 ]; then
  echo "FAIL: missing ${MISSING[*]}; install: apt-get install -y xvfb xdotool imagemagick x11-utils python3-pil" >&2
  echo "0 passed, 1 failed"
  exit 1
fi
if [ ! -x "$GAME" ] || [ ! -x "$SOLVE" ]; then
  echo "FAIL: no game at $GAME or no solver beside it (build both: cmake --build build --target quillamor2000 solve_level)" >&2
  echo "0 passed, 1 failed"
  exit 1
fi

# ---- bookkeeping ----

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-real-window.XXXXXX")
PASSED=0 FAILED=0
XVFB_PID='' GAME_PID=''

. "$HERE/harness/window_checks.sh"

# Which deal play_to_the_exit won: the first, or one after levels it could
# find no way through.
deal_won() {
  if [ "$LEVELS_TRIED" -eq 1 ]; then echo "the level first dealt"; else echo "on deal $LEVELS_TRIED, after $((LEVELS_TRIED - 1)) given up"; fi
}

cleanup() {
  # The no-sound notice blocks the game and ignores SIGTERM: kill outright.
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill -KILL "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
  fi
  if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
    kill -TERM "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
  # What a failure left is kept for a look (named in the summary).
  [ "$FAILED" -eq 0 ] && rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM


# ---- start ----

if ! start_xvfb "$SCREEN_W" "$SCREEN_H" "$WORK/xvfb.log"; then
  fail "no free X display among :91..:99 for Xvfb (log: $WORK/xvfb.log)"
  echo "$PASSED passed, $FAILED failed"
  exit 1
fi
echo "Xvfb on $DISPLAY"

# The window introduces itself as the desktop entry says, so that a task bar
# shows the entry's name and picture for it: its name and class (WM_CLASS)
# are the entry's StartupWMClass, its icon is the entry's icon at 32 pixels.
expect_desktop_identity() {  # expect_desktop_identity ID
  local entry class icon shown
  entry=$(ls "$ROOT"/desktop/*.desktop)
  class=$(sed -n 's/^StartupWMClass=//p' "$entry")
  icon=$ROOT/resources/icons/hicolor/32x32/apps/$(sed -n 's/^Icon=//p' "$entry").png
  shown=$(xprop -id "$1" WM_CLASS 2>&1)
  if [ "$shown" = "WM_CLASS(STRING) = \"$class\", \"$class\"" ]; then
    pass "the window's name and class are the desktop entry's $class"
  else
    fail "the window says $shown; the desktop entry wants $class"
  fi
  xprop -id "$1" -notype 32c _NET_WM_ICON >"$WORK/icon.txt" 2>&1
  if WHY=$("$PY" "$COMPARE" wmicon "$WORK/icon.txt" "$icon"); then
    pass "the window shows the desktop entry's icon"
  else
    fail "the window's icon: $WHY"
  fi
}

# =====================================================================
echo "--- a machine without a sound card, difficulty 1, closed from the window"
# An audio driver name SDL does not know: the sound probe fails as it does on
# a machine with no card, whatever this machine has.
start_game no_sound SDL_AUDIODRIVER=no-sound-card-here

if wait_window "$DIALOG_NAME"; then
  DIALOG=$FOUND
  pass "difficulty dialog \"$DIALOG_NAME\" comes up"
  expect_geometry "difficulty dialog" "$DIALOG" 268 98
  if viewable_window "$MAIN_NAME" >/dev/null; then
    fail "main window shown before a difficulty is chosen"
  else
    pass "main window waits for the difficulty"
  fi
  # The dialog's tile shows around the sunken frame, the label and the
  # three digits sit where they belong.
  expect_screen "dialog shows its tile, label and the digits 1 2 3, buttons flat" dialog "$DIALOG" \
    same 0 0 268 5 "$BM/bg.bmp" 0 0 --tile -- same 0 93 268 5 "$BM/bg.bmp" 0 93 --tile -- \
    same 0 0 6 98 "$BM/bg.bmp" 0 0 --tile -- same 262 0 6 98 "$BM/bg.bmp" 262 0 --tile -- \
    same 22 16 230 32 "$BM/DiffLabel.bmp" --under "$BM/bg.bmp" --tol 2 -- \
    same $((BUTTON_X[0] + 29)) 63 16 16 "$BM/Digit1.bmp" -- \
    same $((BUTTON_X[1] + 29)) 63 16 16 "$BM/Digit2.bmp" -- \
    same $((BUTTON_X[2] + 29)) 63 16 16 "$BM/Digit3.bmp" -- \
    same "${BUTTON_X[0]}" 60 75 1 "$BM/bg.bmp" "${BUTTON_X[0]}" 60 --tile -- \
    same "${BUTTON_X[0]}" 81 75 1 "$BM/bg.bmp" "${BUTTON_X[0]}" 81 --tile
  # The pointer over a button raises it: light top and left, dark bottom and right.
  point_at "$DIALOG" $((BUTTON_X[0] + 37)) 70
  expect_screen "button 1 lights up under the pointer" - "$DIALOG" \
    same "${BUTTON_X[0]}" 60 74 1 '#FFFFFF' -- same "${BUTTON_X[0]}" 60 1 21 '#FFFFFF' -- \
    same "${BUTTON_X[0]}" 81 75 1 '#808080' -- same $((BUTTON_X[0] + 74)) 60 1 22 '#808080' -- \
    same "${BUTTON_X[1]}" 60 75 1 "$BM/bg.bmp" "${BUTTON_X[1]}" 60 --tile -- \
    same $((BUTTON_X[0] + 29)) 63 16 16 "$BM/Digit1.bmp"
  xdotool click 1
  if poll "$WINDOW_TIMEOUT" window_down "$DIALOG_NAME"; then
    pass "a click on 1 closes the dialog"
  else
    fail "the dialog is still up after a click on 1"
  fi
  still_running "choosing difficulty 1"
else
  fail "no difficulty dialog within ${WINDOW_TIMEOUT}s"
fi

if wait_window "$NOTICE_NAME"; then
  NOTICE=$FOUND
  pass "no-sound notice comes up"
  if viewable_window "$MAIN_NAME" >/dev/null; then
    fail "main window shown while the no-sound notice is up"
  else
    pass "main window waits for the notice"
  fi
  if poll "$SCREEN_TIMEOUT" find_ok_button "$NOTICE"; then
    cp "$WORK/client.ppm" "$WORK/notice.ppm"
    NOTICE_SIZE=("$GW" "$GH")
    click_at "$NOTICE" "$OK_X" "$OK_Y"
    if poll "$WINDOW_TIMEOUT" window_down "$NOTICE_NAME"; then
      pass "a click on OK dismisses the notice"
    else
      fail "the notice is still up after a click on its button at ($OK_X,$OK_Y)"
    fi
  else
    fail "no button found on the no-sound notice"
  fi
  still_running "dismissing the notice"
else
  hint=
  grep -q 'Can not find audio card' "$GAME_LOG.err" && hint=" (the notice went to stderr instead)"
  fail "no no-sound notice within ${WINDOW_TIMEOUT}s$hint"
fi

if wait_window "$MAIN_NAME"; then
  MAIN=$FOUND
  pass "main window comes up"
  expect_geometry "main window" "$MAIN" 550 440
  expect_screen "title screen shows the title picture" title "$MAIN" same 0 0 550 440 "$BM/Title.bmp"
  expect_desktop_identity "$MAIN"

  # Each click follows a check that the pointer lit its target: the game has
  # handled everything before, so what follows is the click's own doing.
  point_at "$MAIN" 505 405
  expect_screen "pointer on the start spot lights it (Game picture at 460,360)" - "$MAIN" "${START_LIT[@]}"
  point_at "$MAIN" 275 300
  expect_screen "pointer away from the spots: plain title again" - "$MAIN" same 0 0 550 440 "$BM/Title.bmp"
  point_at "$MAIN" 45 405
  expect_screen "pointer on the homepage spot lights it (Site picture at 0,360)" - "$MAIN" \
    same 0 360 90 80 "$BM/Site.bmp" -- same 0 0 550 360 "$BM/Title.bmp" -- same 90 360 460 80 "$BM/Title.bmp" 90 360
  point_at "$MAIN" 275 300
  expect_screen "pointer away again: plain title" - "$MAIN" same 0 0 550 440 "$BM/Title.bmp"
  still_running "hovering the title"

  point_at "$MAIN" 505 405
  expect_screen "pointer back on the start spot lights it" - "$MAIN" "${START_LIT[@]}"
  xdotool click 1
  expect_screen "start spot deals a level: bars, one ball, one exit, panel unlit" level1 "$MAIN" "${GAME_SCREEN[@]}"
  still_running "starting a level"

  lit_panel Next 245
  point_at "$MAIN" 495 277
  expect_screen "pointer on Next lights it alone" - "$MAIN" "${LIT[@]}"
  lit_panel Again 310
  point_at "$MAIN" 495 342
  expect_screen "pointer on Again lights it alone" - "$MAIN" "${LIT[@]}"
  lit_panel Main 375
  point_at "$MAIN" 495 405
  expect_screen "pointer on Main lights it alone" - "$MAIN" "${LIT[@]}"
  point_at "$MAIN" 430 200
  expect_screen "pointer left of the panel: every button unlit" - "$MAIN" same "${PANEL[@]}" "$BM/Walpaper.bmp" 440 0

  lit_panel Next 245
  point_at "$MAIN" 495 277
  expect_screen "Next lit before the click" - "$MAIN" "${LIT[@]}"
  xdotool click 1
  expect_screen "Next deals another level, buttons unlit" level2 "$MAIN" "${GAME_SCREEN[@]}" -- \
    differ "${PLAYFIELD[@]}" "$WORK/level1.ppm" 20 20 --min 1000
  still_running "Next"

  lit_panel Again 310
  point_at "$MAIN" 495 342
  expect_screen "Again lit before the click, the level unchanged" - "$MAIN" "${LIT[@]}" -- \
    sameboard "$WORK/level2.ppm"
  xdotool click 1
  expect_screen "Again shows the same level from its start, buttons unlit" - "$MAIN" "${GAME_SCREEN[@]}" -- \
    sameboard "$WORK/level2.ppm"
  still_running "Again"

  lit_panel Main 375
  point_at "$MAIN" 495 405
  expect_screen "Main lit before the click, the level unchanged" - "$MAIN" "${LIT[@]}" -- \
    sameboard "$WORK/level2.ppm"
  xdotool click 1
  expect_screen "Main goes back to the title" - "$MAIN" same 0 0 550 440 "$BM/Title.bmp"
  still_running "Main"

  point_at "$MAIN" 275 300
  point_at "$MAIN" 505 405
  expect_screen "start spot lit again on the title" - "$MAIN" "${START_LIT[@]}"
  xdotool click 1
  expect_screen "start spot goes on with the level Main left" - "$MAIN" "${GAME_SCREEN[@]}" -- \
    sameboard "$WORK/level2.ppm"
  still_running "resuming the level"

  expect_bar_press "$MAIN"
  still_running "moving a bar"

  # A level won by play, as a player would: the win screen is up.
  if play_to_the_exit "$MAIN" "$SOLVE" "$WORK"; then
    SCREEN_TIMEOUT=$OUT_TIMEOUT expect_screen "a level won by play ($(deal_won)) brings up the win screen" - "$MAIN" \
      same 0 0 550 440 "$BM/WOW.bmp"
  else
    fail "no level won in 40 tries"
  fi

  # A player gone mad: 2,000 pointer events in one go from the win screen,
  # while the ball moves, across the game and the title: moves, clicks and
  # drags with every button, off the window and back.
  geometry "$MAIN"
  awk -v seed=7 -v gx="$GX" -v gy="$GY" 'BEGIN {
    srand(seed)
    for (i = 0; i < 2000; i++) {
      x = gx + int(rand() * 640) - 45; y = gy + int(rand() * 530) - 45
      if (rand() < 0.6) { x = gx + 21 + int(rand() * 399); y = gy + 21 + int(rand() * 399) }
      if (x < 0) x = 0; if (y < 0) y = 0
      r = rand(); b = 1 + int(rand() * 5)
      if (r < 0.55) printf "mousemove %d %d\n", x, y
      else if (r < 0.85) printf "mousemove %d %d click %d\n", x, y, b
      else if (r < 0.93) printf "mousemove %d %d mousedown %d\n", x, y, b
      else printf "mousemove %d %d mouseup %d\n", x, y, b
    }
    for (b = 1; b <= 5; b++) printf "mouseup %d\n", b
  }' >"$WORK/abuse.xdo"
  xdotool - <"$WORK/abuse.xdo" 2>/dev/null
  still_running "2,000 random pointer events"
  # Still answering: whichever screen is up lights under the pointer.
  point_at "$MAIN" 275 200
  if screen_holds "$MAIN" same 0 0 550 440 "$BM/Title.bmp"; then
    point_at "$MAIN" 505 405
    expect_screen "after the storm the title still lights its start spot" - "$MAIN" "${START_LIT[@]}"
    xdotool click 1
  elif screen_holds "$MAIN" same 0 0 550 440 "$BM/WOW.bmp"; then
    xdotool click 1
  fi
  lit_panel Next 245
  point_at "$MAIN" 495 277
  expect_screen "after the storm the game screen lights Next and shows a sound level" - "$MAIN" "${LIT[@]}" -- \
    board --in-play

  close_main "$MAIN"
else
  fail "no main window within ${WINDOW_TIMEOUT}s"
fi
expect_no_errors "without a sound card"
cleanup_game

# =====================================================================
echo "--- a silent sound device, difficulty 3, ended by SIGTERM"
start_game silent SDL_AUDIODRIVER=dummy
if wait_window "$DIALOG_NAME"; then
  DIALOG=$FOUND
  pass "difficulty dialog comes up"
  click_at "$DIALOG" $((BUTTON_X[2] + 37)) 70
  if poll "$WINDOW_TIMEOUT" window_down "$DIALOG_NAME"; then
    pass "a click on 3 closes the dialog"
  else
    fail "the dialog is still up after a click on 3"
  fi
else
  fail "no difficulty dialog within ${WINDOW_TIMEOUT}s"
fi
if wait_window "$MAIN_NAME"; then
  MAIN=$FOUND
  pass "main window comes up"
  # The notice would have come before the main window: none now means none at all.
  if viewable_window "$NOTICE_NAME" >/dev/null; then
    fail "a no-sound notice although a sound device works"
  else
    pass "no no-sound notice with a working sound device"
  fi
  expect_screen "title screen shows the title picture" - "$MAIN" same 0 0 550 440 "$BM/Title.bmp"
  # The top left corner of the start spot: inside where a press counts,
  # outside where hovering lights it, so coming there from the lit spot
  # puts the light out.
  point_at "$MAIN" 505 405
  expect_screen "pointer on the start spot lights it" - "$MAIN" "${START_LIT[@]}"
  point_at "$MAIN" 465 370
  expect_screen "the start spot's margin does not light it" - "$MAIN" same 0 0 550 440 "$BM/Title.bmp"
  xdotool click 1
  expect_screen "a click on the start spot's margin deals a level" - "$MAIN" "${GAME_SCREEN[@]}"
  still_running "starting a level"
  kill -TERM "$GAME_PID"
  expect_exit "SIGTERM" 0
else
  fail "no main window within ${WINDOW_TIMEOUT}s"
fi
expect_no_errors "with a silent sound device"
cleanup_game

# =====================================================================
echo "--- ended at awkward moments, by SIGTERM or the close button: each time with status 0"

# The way to ask the game to end, for end_when_seen.py.
how_to_end() {  # how_to_end WAY
  if [ "$1" = SIGTERM ]; then echo "signal:$GAME_PID"; else echo "close:$MAIN"; fi
}

# Asks the game to end the moment its main window shows every check (a
# moment a tenth of a second long is caught; --click: one that a click
# starts), then waits for it to be gone. A moment so short may still pass
# unseen on a busy machine: with TRIES above 1, AGAIN sets it up anew for
# another look.
ends_when_seen() {  # ends_when_seen WAY WHAT SECONDS [--click] CHECK [-- CHECK...]
  local way=$1 what="$2, by $1" seconds=$3 click= said try
  shift 3
  [ "$1" = --click ] && click=--click && shift
  for try in $(seq "${TRIES:-1}"); do
    [ "$try" -eq 1 ] || "$AGAIN" || break
    geometry "$MAIN" || { said="no main window to look at"; break; }
    if said=$("$PY" "$HERE/harness/end_when_seen.py" "$seconds" "$(how_to_end "$way")" \
      "$GX" "$GY" "$GW" "$GH" "$WORK/watched.ppm" $click -- "$@"); then
      [ "$try" -eq 1 ] || said="$said, on look $try"
      expect_exit "$what ($said)" 0
      return
    fi
  done
  SHOT=$((SHOT + 1))
  cp "$WORK/watched.ppm" "$WORK/failed-$SHOT.ppm" 2>/dev/null
  fail "$what: $said (screen kept as failed-$SHOT.ppm)"
  cleanup_game
}

# Main lit under the pointer, come from left of the panel (a button lights
# on the way in): a click on it starts Main's tenth of a second.
main_lit() {
  lit_panel Main 375
  point_at "$MAIN" 430 200
  point_at "$MAIN" 495 405
  expect_screen "$moment: Main lit before the click" - "$MAIN" "${LIT[@]}"
}
# From the title that Main's wait ended in, back to the level, Main lit: the
# pointer leaves the start spot first, for it lights only on the way in.
main_lit_again() {
  point_at "$MAIN" 275 300 && point_at "$MAIN" 505 405 && expect_screen "$moment: the start spot lit again" - "$MAIN" "${START_LIT[@]}" &&
    xdotool click 1 && expect_screen "$moment: the level again" - "$MAIN" "${GAME_SCREEN[@]}" && main_lit
}

# The difficulty dialog refuses its close button, so only SIGTERM there.
for moment in "dialog SIGTERM" "fall SIGTERM" "fall close" "main-wait SIGTERM" "main-wait close" \
  "exit-animation SIGTERM" "exit-animation close" "fanfare SIGTERM" "fanfare close"; do
  read -r moment way <<<"$moment"
  start_game "awkward-$moment-$way" SDL_AUDIODRIVER=dummy
  if ! wait_window "$DIALOG_NAME"; then
    fail "$moment: no difficulty dialog"
    cleanup_game
    continue
  fi
  if [ "$moment" = dialog ]; then
    kill -TERM "$GAME_PID"
    expect_exit "during the difficulty dialog, by SIGTERM" 0
    continue
  fi
  click_at "$FOUND" $((BUTTON_X[0] + 37)) 70
  if ! wait_window "$MAIN_NAME"; then
    fail "$moment: no main window"
    cleanup_game
    continue
  fi
  MAIN=$FOUND
  point_at "$MAIN" 505 405
  expect_screen "$moment: the start spot lit" - "$MAIN" "${START_LIT[@]}"
  xdotool click 1
  expect_screen "$moment: a level dealt" dealt "$MAIN" "${GAME_SCREEN[@]}"
  case $moment in
    fall)
      # The new deal's ball drops from its start cell at the shortest
      # periods, with ticks queued.
      point_at "$MAIN" 495 277
      ends_when_seen "$way" "as Next's level comes up, its ball dropping" "$SCREEN_TIMEOUT" --click \
        differ "${PLAYFIELD[@]}" "$WORK/dealt.ppm" 20 20 --min 1000
      ;;
    main-wait)
      # Main's tenth of a second: the button drawn unlit on its release, the
      # level still there, the title not yet.
      main_lit
      TRIES=3 AGAIN=main_lit_again ends_when_seen "$way" "during Main's tenth of a second" "$SCREEN_TIMEOUT" --click \
        same "${PANEL[@]}" "$BM/Walpaper.bmp" 440 0 -- differ 0 0 550 440 "$BM/Title.bmp" --min 1000
      ;;
    exit-animation)
      if ! play_to_the_exit "$MAIN" "$SOLVE" "$WORK"; then
        fail "$moment: no level won in 40 tries"
        cleanup_game
        continue
      fi
      # The ball drops out: the exit cell no longer shows the star, and the
      # corner of the frame still shows the game screen, not the win picture.
      read -r EXIT_X EXIT_Y < <(awk '{ c = index($0, "E"); if (c) { print 20 * c, 20 * NR; exit } }' "$WORK/rows")
      grab "$MAIN" && "$PY" "$COMPARE" crop "$WORK/client.ppm" "$EXIT_X" "$EXIT_Y" 20 20 "$WORK/star.ppm"
      ends_when_seen "$way" "while the ball drops out (won $(deal_won))" "$OUT_TIMEOUT" \
        differ "$EXIT_X" "$EXIT_Y" 20 20 "$WORK/star.ppm" -- same 0 0 20 20 "$BM/Walpaper.bmp"
      ;;
    fanfare)
      if ! play_to_the_exit "$MAIN" "$SOLVE" "$WORK"; then
        fail "$moment: no level won in 40 tries"
        cleanup_game
        continue
      fi
      # The win picture is up before the fanfare starts, and the fanfare
      # holds the game for a second and a half.
      ends_when_seen "$way" "while the win fanfare plays (won $(deal_won))" "$OUT_TIMEOUT" \
        same 0 0 550 440 "$BM/WOW.bmp"
      ;;
  esac
  expect_no_errors "ended by $way, $moment"
done

# =====================================================================
echo "--- no display"
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy "$GAME" >"$WORK/nodisplay.out" 2>"$WORK/nodisplay.err" &
GAME_PID=$!
GAME_LOG=$WORK/nodisplay
if poll "$EXIT_TIMEOUT" game_ended; then
  wait "$GAME_PID"
  status=$?
  GAME_PID=
  if [ "$status" -ne 0 ]; then pass "without DISPLAY the game exits with status $status"; else fail "without DISPLAY the game exits with status 0"; fi
else
  fail "without DISPLAY the game is still running ${EXIT_TIMEOUT}s later"
fi
lines=$(wc -l <"$WORK/nodisplay.err")
if [ "$lines" -eq 1 ] && grep -q 'xvfb-run' "$WORK/nodisplay.err"; then
  pass "without DISPLAY one line on stderr names xvfb-run"
else
  fail "without DISPLAY stderr has $lines lines: $(head -c 300 "$WORK/nodisplay.err")"
fi
if [ ! -s "$WORK/nodisplay.out" ]; then pass "without DISPLAY nothing on stdout"; else fail "without DISPLAY stdout says: $(head -c 300 "$WORK/nodisplay.out")"; fi
cleanup_game

# =====================================================================
echo "--- a 3840 x 2160 screen: every window at twice its size, in square blocks"
stop_xvfb
SCREEN_W=3840 SCREEN_H=2160 SCALE=2
if start_xvfb "$SCREEN_W" "$SCREEN_H" "$WORK/xvfb.log"; then
  start_game large SDL_AUDIODRIVER=no-sound-card-here
  if wait_window "$DIALOG_NAME"; then
    DIALOG=$FOUND
    expect_geometry "difficulty dialog" "$DIALOG" 268 98
    expect_screen "the dialog scaled down by two is the dialog at 1x" - "$DIALOG" same 0 0 268 98 "$WORK/dialog.ppm"
    click_at "$DIALOG" $((BUTTON_X[0] + 37)) 70
    poll "$WINDOW_TIMEOUT" window_down "$DIALOG_NAME" && pass "a click on 1 closes the dialog" ||
      fail "the dialog is still up after a click on 1"
  else
    fail "no difficulty dialog within ${WINDOW_TIMEOUT}s"
  fi
  if wait_window "$NOTICE_NAME" && [ -n "${NOTICE_SIZE[0]:-}" ]; then
    NOTICE=$FOUND
    expect_geometry "no-sound notice" "$NOTICE" "${NOTICE_SIZE[@]}"
    expect_screen "the notice scaled down by two is the notice at 1x" - "$NOTICE" \
      same 0 0 "${NOTICE_SIZE[@]}" "$WORK/notice.ppm"
    if poll "$SCREEN_TIMEOUT" find_ok_button "$NOTICE"; then
      click_at "$NOTICE" "$OK_X" "$OK_Y"
      poll "$WINDOW_TIMEOUT" window_down "$NOTICE_NAME" && pass "a click on OK dismisses the notice" ||
        fail "the notice is still up after a click on its button"
    else
      fail "no button found on the no-sound notice"
    fi
  else
    fail "no no-sound notice within ${WINDOW_TIMEOUT}s (or none at 1x to compare with)"
  fi
  if wait_window "$MAIN_NAME"; then
    MAIN=$FOUND
    expect_geometry "main window" "$MAIN" 550 440
    expect_screen "the title scaled down by two is the title at 1x" - "$MAIN" same 0 0 550 440 "$WORK/title.ppm"
    point_at "$MAIN" 505 405
    expect_screen "pointer on the start spot lights it" - "$MAIN" "${START_LIT[@]}"
    xdotool click 1
    expect_screen "a click on the start spot deals a level" - "$MAIN" "${GAME_SCREEN[@]}"
    expect_bar_press "$MAIN"
    close_main "$MAIN"
  else
    fail "no main window within ${WINDOW_TIMEOUT}s"
  fi
  expect_no_errors "on a large screen"
  cleanup_game
else
  fail "no free X display among :91..:99 for a 3840x2160 Xvfb"
fi
SCALE=1

[ "$FAILED" -eq 0 ] || echo "screenshots and logs kept in $WORK"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
