#!/usr/bin/env bash
# The browser build played in headless Chromium, as served by
# tools/serve_web.py: the difficulty question answered by a click, the
# start jingle heard from that first click, the title, a level dealt, its
# ball falling and landing, bar presses moving a bar, Web opening a tab; then
# once more without sound, where the notice comes up over the canvas and OK
# dismisses it. Screens are checked, in whole blocks, against the very
# bitmaps the game draws (harness/window_checks.sh, compare_region.py),
# and the page's console must show no error.
#
#   tests/browser_test.sh build-web     (sh tools/web.sh test builds and runs it)
if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -u
OUT=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE")
BM=$ROOT/resources/bitmaps COMPARE=$HERE/harness/compare_region.py
SCALE=2 SCREEN_TIMEOUT=10 PASSED=0 FAILED=0
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-browser.XXXXXX")
. "$HERE/harness/x_session.sh"
x_session_check  # for PY: a Python with PIL
. "$HERE/harness/window_checks.sh"

# puppeteer-core, in the build's own folder; the browser is Debian's.
[ -d "$OUT/node_modules/puppeteer-core" ] ||
  npm install --prefix "$OUT" --no-save --no-audit --no-fund --loglevel=error puppeteer-core@24 >/dev/null || exit 1
python3 "$ROOT/tools/serve_web.py" "$OUT/page" 0 >"$WORK/address" &
SERVER=$!
coproc DRIVER { NODE_PATH=$OUT/node_modules exec node "$HERE/browser_driver.js" 1280 960 2>"$WORK/driver.err"; }
trap 'echo quit >&"${DRIVER[1]}"; wait "$DRIVER_PID"; kill "$SERVER"; wait "$SERVER"; [ "$FAILED" -eq 0 ] && rm -rf "$WORK"' EXIT
say() { echo "$*" >&"${DRIVER[1]}" && read -r REPLY <&"${DRIVER[0]}" && [ "${REPLY%% *}" = ok ]; }
poll 10 test -s "$WORK/address" || { fail "no server"; exit 1; }
URL=$(cat "$WORK/address")

# The page's canvas is the one window; the dialog is drawn over it, centred.
# Points are the game's pixels; the driver finds them on the page.
# The notice is where its picture is on the black page.
origin() { case $1 in dialog) OX=141 OY=171 ;; main) OX=0 OY=0 ;; esac; }
grab() {
  origin "$1"
  say shot "$WORK/client.ppm" && WHY=$("$PY" "$COMPARE" shrink "$WORK/client.ppm" "$SCALE" "$WORK/client.ppm") ||
    { WHY="not in square blocks: ${WHY:-$REPLY}"; return 1; }
  [ "$1" != dialog ] || "$PY" "$COMPARE" crop "$WORK/client.ppm" "$OX" "$OY" 268 98 "$WORK/client.ppm"
  [ "$1" != notice ] || read -r OX OY < <("$PY" -c 'import sys; from PIL import Image; im = Image.open(sys.argv[1])
box = im.getbbox(); im.crop(box).save(sys.argv[1]); print(*box[:2])' "$WORK/client.ppm")
}
point_at() { origin "$1"; X=$(($2 + OX)) Y=$(($3 + OY)); say move "$X" "$Y"; }
click_at() { point_at "$@" && say click "$X" "$Y"; }
ball_row() { "$PY" "$COMPARE" board --show "$1" | awk '/[o?]/ {print NR; exit}'; }  # ball_row PICTURE
landed() { local row; grab main && row=$(ball_row "$WORK/client.ppm") && [ "${row:-0}" -gt "$START_ROW" ]; }
# From the level's first picture on: a ball held where it starts is dealt
# another level (Next), eight at most.
falls() {
  cp "$WORK/level.ppm" "$WORK/client.ppm"
  for _ in 1 2 3 4 5 6 7 8; do
    START_ROW=$(ball_row "$WORK/client.ppm")
    poll 8 landed && return 0
    cp "$WORK/client.ppm" "$WORK/level.ppm"
    click_at main 495 277
    point_at main 430 430
    poll "$SCREEN_TIMEOUT" screen_holds main differ "${PLAYFIELD[@]}" "$WORK/level.ppm" 20 20 --min 1000
  done
  return 1
}
DIALOG_SHOWN=(same 0 0 268 5 "$BM/bg.bmp" 0 0 --tile -- same 22 16 230 32 "$BM/DiffLabel.bmp" --under "$BM/bg.bmp" --tol 2 --
  same $((BUTTON_X[0] + 29)) 63 16 16 "$BM/Digit1.bmp" -- same $((BUTTON_X[2] + 29)) 63 16 16 "$BM/Digit3.bmp")

echo "--- with sound, difficulty 1"
say open "$URL" || fail "the page does not load: $REPLY"
expect_screen "the difficulty dialog is drawn over the canvas with its tile, label and digits" dialog dialog "${DIALOG_SHOWN[@]}"
say eval "Module.SDL2 && Module.SDL2.audioContext ? 'open' : 'none'" && [ "$REPLY" = 'ok "none"' ] &&
  pass "no sound before the first click" || fail "sound before the first click: $REPLY"
click_at dialog $((BUTTON_X[0] + 37)) 70
expect_screen "a click on 1 answers it: the title" title main same 0 0 550 440 "$BM/Title.bmp"
say eval "Module.SDL2.audioContext.state" && [ "$REPLY" = 'ok "running"' ] &&
  pass "the first click started the sound" || fail "sound after the first click: $REPLY"
point_at main 505 405
expect_screen "the start spot lights under the pointer" - main "${START_LIT[@]}"
say click "$X" "$Y"
point_at main 430 430  # off the playfield and the panel
expect_screen "the start spot deals a level" level main "${GAME_SCREEN[@]}"
if falls; then pass "the ball falls from row $START_ROW to row $(ball_row "$WORK/client.ppm")"; else fail "the ball did not fall from row $START_ROW"; fi
say eval "(() => { const d = presents.slice(-30).map((t, i, a) => t - a[i - 1]).slice(1).sort((a, b) => a - b);" \
  "return [d.reduce((a, b) => a + b) / d.length, d[d.length >> 1], d[0], d[d.length - 1]].map(Math.round); })()" &&
  echo "note: the last 29 tick periods as presented (mean, median, min, max ms): $REPLY"
# A page cannot move the pointer: the game takes it to be where the bar
# went, so a second press without a move pushes the same bar on.
if pick_bar main 2; then
  point_at main $((30 + 20 * BAR_C)) $((30 + 20 * BAR_R))
  say press && poll "$SCREEN_TIMEOUT" bar_top_at main "$BAR_C" $((BAR_R - 1)) &&
    pass "a press on a bar's upper half moves the bar up one cell" || fail "the bar at ($BAR_C,$BAR_R) did not move up"
  say press && poll "$SCREEN_TIMEOUT" bar_top_at main "$BAR_C" $((BAR_R - 2)) &&
    pass "a second press, the pointer not moved, pushes the same bar on" || fail "the second press did not push the bar on"
else
  fail "no vertical bar with room for two pushes, away from the ball"
fi
say errors && [ "$REPLY" = "ok 0" ] && pass "nothing on the page's console" || fail "the console says: $REPLY"
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
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
