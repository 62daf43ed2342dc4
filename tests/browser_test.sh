#!/usr/bin/env bash
# The browser build played as served by harness/serve_web.py, the same checks
# in every engine and on every screen through one driver
# (tests/harness/browser_driver.js): Chromium with a mouse, then as an app
# and offline; Chromium by touch on a phone in landscape and portrait and on
# a tablet; Firefox ESR; WebKitGTK in an Xvfb. Screens are checked against
# the game's bitmaps (tests/harness/window_checks.sh); docs/testing.md says what each
# part checks.
#
#   tests/browser_test.sh build-web     (sh tools/web.sh test builds and runs it)
#   BROWSERS="chromium touch firefox webkit" picks the parts (all by default);
#   "frame" plays the page in Chromium inside an <iframe> of a page from
#   another origin, as game hosts show it
#   PAGE=DIR plays the page in DIR (the web zip unpacked) instead of build-web's
#   SHOTS=DIR keeps there what the player sees after a bar was pushed, and
#   after the offline reload
if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -u
shopt -s extglob
OUT=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE")
BM=$ROOT/resources/bitmaps COMPARE=$HERE/harness/compare_region.py
SCREEN_TIMEOUT=10 PASSED=0 FAILED=0 SERVER= HOST= XVFB_PID= DRIVER_PID= SIZE= VIEW=
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-browser.XXXXXX")
. "$HERE/harness/x_session.sh"
x_session_check  # for PY: a Python with PIL
. "$HERE/harness/window_checks.sh"

# puppeteer-core, in the build's own folder; the browsers are Debian's.
[ -d "$OUT/node_modules/puppeteer-core" ] ||
  npm install --prefix "$OUT" --no-save --no-audit --no-fund --loglevel=error puppeteer-core@24 >/dev/null || exit 1
# A copy is served: the offline part makes a new build of it.
cp -r "${PAGE:-$OUT/page}" "$WORK/page"
# Started again after the offline part, on the same port; its address file
# is made afresh, so a restart never reads the last server's.
serve() {
  rm -f "$WORK/address"
  python3 "$HERE/harness/serve_web.py" "$WORK/page" "${PORT:-0}" >"$WORK/address" &
  SERVER=$!
  poll 10 test -s "$WORK/address" || { fail "the page's server did not start"; exit 1; }
  URL=$(cat "$WORK/address") PORT=${URL##*:} PORT=${PORT%/}
}
start_driver() {  # start_driver ENGINE WIDTH HEIGHT
  coproc DRIVER { NODE_PATH=$OUT/node_modules PY=$PY COMPARE=$COMPARE exec node "$HERE/harness/browser_driver.js" "$@" 2>>"$WORK/driver.err"; }
}
stop_driver() {
  [ -n "$DRIVER_PID" ] || return 0
  echo quit >&"${DRIVER[1]}"
  wait "$DRIVER_PID"
  DRIVER_PID=
}
trap 'stop_driver; kill $SERVER $HOST $XVFB_PID 2>/dev/null; wait; [ "$FAILED" -eq 0 ] && rm -rf "$WORK"' EXIT
say() { echo "$*" >&"${DRIVER[1]}" && read -r REPLY <&"${DRIVER[0]}" && [ "${REPLY%% *}" = ok ]; }
serve

# The page's canvas is the one window; the dialog is drawn over it, centred.
# Points are the game's pixels; the driver finds them on the page.
# The notice is where its picture is on the black page.
origin() { case $1 in dialog) OX=141 OY=171 ;; main) OX=0 OY=0 ;; esac; }
grab() {
  origin "$1"
  say shot "$WORK/client.ppm" && SCALE=${REPLY#ok } && WHY=$("$PY" "$COMPARE" shrink "$WORK/client.ppm" "$SCALE" "$WORK/client.ppm") ||
    { WHY="not in square blocks: ${WHY:-$REPLY}"; return 1; }
  [ "$1" != dialog ] || "$PY" "$COMPARE" crop "$WORK/client.ppm" "$OX" "$OY" 268 98 "$WORK/client.ppm"
  [ "$1" != notice ] || read -r OX OY < <("$PY" -c 'import sys; from PIL import Image; im = Image.open(sys.argv[1])
box = im.getbbox(); im.crop(box).save(sys.argv[1]); print(*box[:2])' "$WORK/client.ppm")
}
# A mouse moves, then presses where it is; a finger taps where it is put.
point_at() { origin "$1"; X=$(($2 + OX)) Y=$(($3 + OY)); [ "$INPUT" = touch ] || say move "$X" "$Y"; }
press() { if [ "$INPUT" = touch ]; then say tap "$X" "$Y"; else say press; fi; }
click_at() { point_at "$@" && press; }
keep() { [ -z "${SHOTS:-}" ] || say page "$SHOTS/$PART${VIEW:+-$VIEW}-$1.png"; }
sound() { say eval "Module.SDL2 && Module.SDL2.audioContext ? Module.SDL2.audioContext.state : 'none'"; SOUND=${REPLY#ok }; }
# The board as last grabbed, a row to a line and the rows in one line: what a
# failed bar check saw.
board_seen() { "$PY" "$COMPARE" board --show "$WORK/client.ppm" | paste -sd/; }
ball_row() { "$PY" "$COMPARE" board --show "$1" | awk '/[o?]/ {print NR; exit}'; }  # ball_row PICTURE
landed() { local row; grab main && row=$(ball_row "$WORK/client.ppm") && [ "${row:-0}" -gt "$START_ROW" ]; }
# Next, after the level last grabbed: another level, once it is drawn.
next_level() {
  cp "$WORK/client.ppm" "$WORK/level.ppm"
  click_at main 495 277
  point_at main 430 430
  poll "$SCREEN_TIMEOUT" screen_holds main differ "${PLAYFIELD[@]}" "$WORK/level.ppm" 20 20 --min 1000
}
# From the level's first picture on: a ball held where it starts is dealt
# another level, twenty at most. Two levels in three at difficulty 1 hold
# it; one that does not drops it a row within 2 s (1,000 dealt levels).
falls() {
  cp "$WORK/level.ppm" "$WORK/client.ppm"
  for _ in $(seq 20); do
    START_ROW=$(ball_row "$WORK/client.ppm")
    poll 4 landed && return 0
    next_level
  done
  return 1
}
DIALOG_SHOWN=(same 0 0 268 5 "$BM/bg.bmp" 0 0 --tile -- same 22 16 230 32 "$BM/DiffLabel.bmp" --under "$BM/bg.bmp" --tol 2 --
  same $((BUTTON_X[0] + 29)) 63 16 16 "$BM/Digit1.bmp" -- same $((BUTTON_X[2] + 29)) 63 16 16 "$BM/Digit3.bmp")

# Every engine and screen: the page from its start to a bar pushed twice.
# A mouse not moved pushes the same bar on (a page cannot move the pointer:
# the game takes it to be where the bar went); a finger taps where it is,
# on the bar's lower half now, and pushes it back.
play() {  # play URL [dealt: only until a level is dealt]
  local what=click second="pushes the same bar on" down=2
  [ "$INPUT" = mouse ] || what=tap second="a tap at the same place pushes it back: the finger's place" down=0
  say open "$1" || fail "the page does not load: $REPLY"
  [ -z "$SIZE" ] || { say eval "(({width, height}) => width + 'x' + height)(document.querySelector('canvas').getBoundingClientRect())" &&
    [ "$REPLY" = "ok \"$SIZE\"" ] && pass "the game is $SIZE CSS pixels" || fail "the game is $REPLY, wanted $SIZE"; }
  expect_screen "the difficulty dialog is drawn over the canvas with its tile, label and digits" dialog dialog "${DIALOG_SHOWN[@]}"
  sound && [ "$SOUND" = '"none"' ] && pass "no sound before the first $what" || fail "sound before the first $what: $SOUND"
  click_at dialog $((BUTTON_X[0] + 37)) 70
  expect_screen "a $what on 1 answers it: the title" title main same 0 0 550 440 "$BM/Title.bmp"
  # Headless Firefox has no sound device here: its sounds are opened and wait.
  sound && { [ "$SOUND" = '"running"' ] || [ "$PART$SOUND" = 'firefox"suspended"' ]; } &&
    pass "the first $what started the sound ($SOUND)" || fail "sound after the first $what: $SOUND"
  point_at main 505 405
  [ "$INPUT" = touch ] || expect_screen "the start spot lights under the pointer" - main "${START_LIT[@]}"
  press
  point_at main 430 430  # off the playfield and the panel
  expect_screen "the start spot deals a level" level main "${GAME_SCREEN[@]}"
  [ "${2:-}" != dealt ] || { keep offline; return 0; }
  if [ "$PART" = chromium ]; then
    if falls; then pass "the ball falls from row $START_ROW to row $(ball_row "$WORK/client.ppm")"; else fail "the ball did not fall from row $START_ROW: $(board_seen)"; fi
    say eval "(() => { const d = presents.slice(-30).map((t, i, a) => t - a[i - 1]).slice(1).sort((a, b) => a - b);" \
      "return [d.reduce((a, b) => a + b) / d.length, d[d.length >> 1], d[0], d[d.length - 1]].map(Math.round); })()" &&
      echo "note: the last 29 tick periods as presented (mean, median, min, max ms): $REPLY"
  fi
  # One level in thirty at difficulty 1 has no such bar: another is dealt.
  BAR_C=
  for _ in 1 2 3 4 5 6 7 8; do pick_bar main 2 && break; next_level; done
  if [ -n "$BAR_C" ]; then
    point_at main $((30 + 20 * BAR_C)) $((30 + 20 * BAR_R))
    press && poll "$SCREEN_TIMEOUT" bar_top_at main "$BAR_C" $((BAR_R - 1)) &&
      pass "a $what on a bar's upper half moves the bar up one cell" || fail "the bar at ($BAR_C,$BAR_R) did not move up: $(board_seen)"
    press && poll "$SCREEN_TIMEOUT" bar_top_at main "$BAR_C" $((BAR_R - down)) $((BAR_R - down + (down ? 2 : -1))) &&
      pass "a second $what, not moved, $second" || fail "the second $what did not push the bar to row $((BAR_R - down)): $(board_seen)"
    keep bar
    [ "$INPUT" = mouse ] || second_finger
  else
    fail "no vertical bar with room for two pushes that the ball cannot reach"
  fi
  say errors && [ "$REPLY" = "ok 0" ] && pass "nothing on the page's console" || fail "the console says: $REPLY"
}
# A finger on the bar pushes it up; a second finger on its new upper half,
# were it taken, would push it on, out from under a tap where the first
# finger was, which instead pushes it back.
second_finger() {
  local down=
  say finger down 1 "$X" "$Y" && poll "$SCREEN_TIMEOUT" bar_top_at main "$BAR_C" $((BAR_R - 1)) &&
    say finger down 2 "$X" $((Y - 20)) && down=yes
  say finger up 2
  say finger up 1
  [ -n "$down" ] && say tap "$X" "$Y" && poll "$SCREEN_TIMEOUT" bar_top_at main "$BAR_C" "$BAR_R" $((BAR_R - 1)) &&
    pass "a second finger while one is down does nothing" || fail "a second finger pushed a bar (or the first did not)"
  say pinch 275 220 && say eval "visualViewport.scale" && [ "$REPLY" = "ok 1" ] &&
    pass "a pinch does not zoom the page" || fail "a pinch zoomed the page: $REPLY"
}

chromium() {
  INPUT=mouse
  echo "--- with sound, difficulty 1"
  play "$URL"
  click_at main 495 405
  expect_screen "Main goes back to the title" - main same 0 0 550 440 "$BM/Title.bmp"
  click_at main 45 405
  homepage_tab() { say tabs && [[ $REPLY == *Quillamor%202000%20homepage.url* ]]; }
  poll 10 homepage_tab && pass "Web opens the homepage in a new tab" || fail "Web opened no such tab: $REPLY"
  say front

  echo "--- without sound, difficulty 3"
  say open "$URL?SDL_AUDIODRIVER=no-sound-card-here"
  expect_screen "the dialog again" - dialog "${DIALOG_SHOWN[@]}"
  click_at dialog $((BUTTON_X[2] + 37)) 70
  if poll "$SCREEN_TIMEOUT" find_ok_button notice; then
    pass "the no-sound notice comes up over the canvas"
    click_at notice "$OK_X" "$OK_Y"
    expect_screen "OK dismisses it: the title" - main same 0 0 550 440 "$BM/Title.bmp"
  else
    fail "no no-sound notice"
  fi

  echo "--- an app, kept for playing offline"
  say installability && [ "$REPLY" = ok ] && pass "Chromium finds the page installable" || fail "not installable: $REPLY"
  kept() { say eval "caches.keys().then((names) => names.join(' '))" && [[ $REPLY == ok\ \"quillamor2000-$1\" ]]; }
  poll 30 kept "+([0-9.])-+([0-9a-f])" && pass "after one visit the page's files are kept" || fail "nothing kept: $REPLY"
  # The next build: another page, another cache.
  sed -i 's|</body>|<!-- the next build --></body>|' "$WORK/page/index.html"
  sed -i 's|\(const CACHE = "quillamor2000-[0-9a-f.-]*\)"|\1-next"|' "$WORK/page/service-worker.js"
  say open "$URL"
  poll 30 kept "+([0-9.])-+([0-9a-f])-next" && pass "the next visit keeps the next build, and only it" || fail "the next build is not kept alone: $REPLY"
  kill "$SERVER" && wait "$SERVER" 2>/dev/null
  play "$URL" dealt
  say eval "document.documentElement.outerHTML.includes('the next build')" && [ "$REPLY" = "ok true" ] &&
    pass "with the server gone, the page reloads as the next build" || fail "offline, the page is not the next build: $REPLY"
  serve
}

for PART in ${BROWSERS:-chromium touch firefox webkit}; do
  START=$SECONDS
  case $PART in
    chromium)
      start_driver chromium 1280 960 && chromium ;;
    touch)
      start_driver chromium 1280 960
      INPUT=touch
      # WIDTH HEIGHT RATIO, and the game's size on it in CSS pixels.
      for view in "844 390 3 487.5x390" "390 844 3 390x312" "1180 820 2 825x660"; do
        read -r W H RATIO SIZE <<<"$view"
        VIEW=${W}x$H
        echo "--- by touch, $W x $H at ratio $RATIO"
        say view "$W" "$H" "$RATIO" touch
        play "$URL"
      done
      SIZE= VIEW= ;;
    frame)
      INPUT=mouse
      mkdir -p "$WORK/host"
      printf '<!DOCTYPE html>\n<title>A game host</title>\n<link rel="icon" href="data:,">\n<body style="margin: 0; background: #246">\n%s\n' \
        "<iframe src=\"$URL\" width=\"1120\" height=\"900\" allow=\"autoplay; fullscreen\" style=\"border: 0; margin: 30px 80px\"></iframe>" \
        >"$WORK/host/index.html"
      python3 "$HERE/harness/serve_web.py" "$WORK/host" 0 >"$WORK/host.address" &
      HOST=$!
      poll 10 test -s "$WORK/host.address" || fail "the host's server did not start"
      start_driver chromium 1280 960 && play "$(cat "$WORK/host.address")" ;;
    firefox)
      INPUT=mouse
      start_driver firefox 1280 960 && play "$URL" ;;
    webkit)
      INPUT=mouse
      [ -n "$XVFB_PID" ] || start_xvfb 1600 1200 "$WORK/xvfb.log" || fail "no Xvfb for WebKit"
      start_driver webkit 1280 960 && play "$URL" ;;
  esac
  stop_driver
  echo "$PART: $((SECONDS - START)) s"
done
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
