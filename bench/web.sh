#!/usr/bin/env bash
# The browser build's figures, each beside a plain SDL page built the same
# way (bench/empty_window.cpp): the page's size, raw and gzipped; the time
# from navigation to the first picture on the canvas (the game: its
# difficulty dialog); the share of the page's main thread busy while idle
# (the game: on its title screen, once the start jingle's sound device has
# been let go); and the tick periods of a fall at its fastest, 5 ms ticks
# (bench/fall_bench.cpp), beside a plain setTimeout chain of 5 ms in the
# empty page. Headless Chromium, as the browser test drives it.
#
#   bash bench/web.sh      (after sh tools/web.sh test, which installs puppeteer-core)
set -eu
cd "$(dirname "$0")/.."
OUT=$PWD/build-web
export NODE_PATH=/usr/share/nodejs
cmake --build "$OUT" -j2 --target quillamor2000_page empty_window fall_bench >/dev/null
for page in page empty_window; do
  raw=0 packed=0
  for f in "$OUT/$page"/*.html "$OUT/$page"/*.js "$OUT/$page"/*.wasm; do
    raw=$((raw + $(stat -c%s "$f"))) packed=$((packed + $(gzip -9c "$f" | wc -c)))
  done
  echo "size of $page (html, js, wasm): $raw bytes, $packed gzipped"
done
python3 tools/serve_web.py "$OUT" 0 >"$OUT/bench-address" &
SERVER=$!
trap 'kill $SERVER' EXIT
sleep 1
URL=$(cat "$OUT/bench-address")
coproc DRIVER { NODE_PATH=$OUT/node_modules exec node tests/browser_driver.js 1280 960; }
say() { tr '\n' ' ' <<<"$*" >&"${DRIVER[1]}" && echo >&"${DRIVER[1]}" && read -r REPLY <&"${DRIVER[0]}" && echo "${REPLY#ok }"; }
periods='(() => { const d = presents.slice(-400).map((t, i, a) => t - a[i - 1]).slice(1).sort((a, b) => a - b);
  const at = (q) => d[Math.min(d.length - 1, Math.floor(q * d.length))].toFixed(2);
  return `${d.length} periods, median ${at(0.5)} ms, p1 ${at(0.01)}, p99 ${at(0.99)}, max ${d[d.length - 1].toFixed(2)}`; })()'
for run in 1 2 3; do
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
echo quit >&"${DRIVER[1]}"
wait "$DRIVER_PID"
