#!/usr/bin/env bash
# The browser build's figures, each beside a plain SDL page built the same
# way (bench/empty_window.cpp): the page's size, raw and gzipped; the time
# from navigation to the first picture on the canvas (the game: its
# difficulty dialog); the share of the page's main thread busy while idle
# (the game: on its title screen, once the start jingle's sound device has
# been let go); and the tick periods of a fall at its fastest, 5 ms ticks
# (bench/fall_bench.cpp), beside a plain setTimeout chain of 5 ms in the
# empty page. Headless Chromium, as the browser test drives it. Then how soon
# the page answers: from a click, and from a tap on a phone (844 x 390 at
# ratio 3), to the canvas showing the moved bar, over many presses, beside a
# plain SDL page that answers a press by drawing (bench/click_window.cpp).
#
#   bash bench/web.sh [answers]   (after sh tools/web.sh test, which installs
#                                  puppeteer-core; answers: only the last part)
set -eu
cd "$(dirname "$0")/.."
OUT=$PWD/build-web
export NODE_PATH=/usr/share/nodejs
cmake --build "$OUT" -j2 --target quillamor2000_page empty_window click_window fall_bench >/dev/null
for page in page empty_window; do
  raw=0 packed=0
  for f in "$OUT/$page"/*.html "$OUT/$page"/*.js "$OUT/$page"/*.wasm; do
    raw=$((raw + $(stat -c%s "$f"))) packed=$((packed + $(gzip -9c "$f" | wc -c)))
  done
  echo "size of $page (html, js, wasm): $raw bytes, $packed gzipped"
done
python3 tests/harness/serve_web.py "$OUT" 0 >"$OUT/bench-address" &
SERVER=$!
trap 'kill $SERVER' EXIT
sleep 1
URL=$(cat "$OUT/bench-address")
coproc DRIVER { NODE_PATH=$OUT/node_modules PY=/usr/bin/python3 exec node tests/harness/browser_driver.js chromium 1280 960; }
say() { tr '\n' ' ' <<<"$*" >&"${DRIVER[1]}" && echo >&"${DRIVER[1]}" && read -r REPLY <&"${DRIVER[0]}" && echo "${REPLY#ok }"; }
periods='(() => { const d = presents.slice(-400).map((t, i, a) => t - a[i - 1]).slice(1).sort((a, b) => a - b);
  const at = (q) => d[Math.min(d.length - 1, Math.floor(q * d.length))].toFixed(2);
  return `${d.length} periods, median ${at(0.5)} ms, p1 ${at(0.01)}, p99 ${at(0.99)}, max ${d[d.length - 1].toFixed(2)}`; })()'
for run in 1 2 3; do
  [ "${1:-}" != answers ] || break
  echo "--- run $run"
  say open "${URL}empty_window/" >/dev/null && sleep 2
  echo "empty page: first picture $(say eval 'presents[0]') ms after navigation"
  echo "empty page: main thread busy while idle $(say cpu 10) %"
  echo "setTimeout chain of 5 ms: $(say eval "new Promise((done) => { presents = []; const tick = () => {
    presents.push(performance.now()); if (presents.length < 401) setTimeout(tick, 5); else done($periods); }; tick(); })")"
  say open "${URL}page/" >/dev/null && sleep 2
  echo "game: first picture (the dialog) $(say eval 'presents[0]') ms after navigation"
  say click 159 241 >/dev/null && sleep 6  # difficulty 1; the jingle played and its device let go
  echo "game: main thread busy while idle on the title $(say cpu 10) %"
  say open "${URL}fall_bench/" >/dev/null && sleep 5
  echo "fall at 5 ms ticks: main thread busy $(say cpu 5) %"
  echo "fall at 5 ms ticks: $(say eval "$periods")"
done

# The time from each press (the event's own time, when the browser took it
# in; and when the page's listeners got it) to the first picture put on the
# canvas over the bar's column (the plain page: any picture after it).
# The game's bar is pushed up and back by presses at one place, a press
# every 150 ms; one that moved nothing (the ball in the way) is counted
# apart.
answers='(([left, top, right, bottom]) => { const from = [[], []]; let none = 0;
  for (const [t, got] of pressed) { const p = presented.find(([at, x, y, w, h]) => at >= t && x < right && x + w > left && y < bottom && y + h > top);
    if (p && p[0] - t < 100) from[0].push(p[0] - t), from[1].push(p[0] - got); else ++none; }
  const at = (d, q) => d.sort((a, b) => a - b)[Math.min(d.length - 1, Math.floor(q * d.length))].toFixed(1);
  return `${from[0].length} presses, median ${at(from[0], 0.5)} ms, p99 ${at(from[0], 0.99)};` +
    ` from the page getting it: median ${at(from[1], 0.5)}, p99 ${at(from[1], 0.99)}; ${none} moved nothing`; })'
n=0
for run in 1 2; do
  for input in click tap; do
    if [ $input = tap ]; then say view 844 390 3 touch >/dev/null; else say view 1280 960 1 >/dev/null; fi
    # The mouse moves a pixel between presses, or the game would take it to be
    # where the bar took it.
    press() { if [ $input = tap ]; then say tap "$1" "$2"; else say move "$1" $(($2 + (n++ % 2))) && say press; fi; }
    say open "${URL}click_window/" >/dev/null && sleep 2
    say eval 'pressed = []; presented = []' >/dev/null
    for _ in $(seq 60); do press 105 105 >/dev/null; sleep 0.15; done
    echo "plain SDL page, $input: $(say eval "$answers([0, 0, 550, 440])")"
    say open "${URL}page/" >/dev/null && sleep 2
    press 196 241 >/dev/null && sleep 2  # difficulty 1, and its jingle
    press 505 405 >/dev/null && sleep 1  # a level
    say shot "$OUT/bench-level.png" >/dev/null && scale=${REPLY#ok }
    # A vertical bar's upper half, far from the ball, with room above it.
    bar=$(/usr/bin/python3 - "$OUT/bench-level.png" "$scale" <<'PICK'
import sys
from PIL import Image
sys.path.insert(0, "tests/harness")
from compare_region import read_cells
im, n = Image.open(sys.argv[1]).convert("RGB"), int(sys.argv[2])
rows = read_cells(im.resize((im.width // n, im.height // n), Image.NEAREST))
ball = [(c, r) for r in range(20) for c in range(20) if rows[r][c] in "o?"]
print(next((f"{c} {r}" for r in range(1, 19) for c in range(20) if rows[r][c] == "^" and rows[r - 1][c] == "."
            and all(abs(c - bc) + abs(r - br) > 6 for bc, br in ball)), ""))
PICK
    )
    [ -n "$bar" ] || { echo "game, $input: no bar to push"; continue; }
    read -r c r <<<"$bar"
    say eval 'pressed = []; presented = []' >/dev/null
    for _ in $(seq 60); do press $((30 + 20 * c)) $((30 + 20 * r)) >/dev/null; sleep 0.15; done
    echo "game, $input: $(say eval "$answers([$((20 + 20 * c)), $((20 * r)), $((40 + 20 * c)), $((60 + 20 * r))])")"
  done
done
echo quit >&"${DRIVER[1]}"
wait "$DRIVER_PID"
