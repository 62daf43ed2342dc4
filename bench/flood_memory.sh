#!/usr/bin/env bash
# What a flood of pointer motion costs the running game: its peak and
# resident memory (VmHWM, VmRSS) before the first flood and after each, and
# how long it takes to catch up with what the flood sent.
#
#   bench/flood_memory.sh path/to/quillamor2000 [FLOODS] [MOVES]
#
# The game runs under an Xvfb of its own (the first free display of
# :81..:89) with the dummy sound driver: difficulty 1, then a level, the
# ball rolling. Each flood is MOVES (30000) XTest pointer moves over the
# window, sent by xdotool as fast as it can, FLOODS (4) times. The last
# move of a flood lands on the Next button: the game has caught up when Next
# lights, so "caught up" is the time from the flood's last move reaching the
# X server to the lit button on the screen. Between floods the pointer goes
# off the button and back onto the playfield, and the game settles.
#
# On a machine with a core to spare the game keeps up with xdotool, and a
# flood costs it nothing; a player's desktop is seldom that idle. So the X
# server, xdotool and the game share one core (FLOOD_CORE, 1; empty: no
# pinning), and the game runs at the lowest priority (FLOOD_NICE, 19): the
# game then handles events more slowly than the X server delivers them.
#
# Needs (Debian): xvfb xdotool x11-utils imagemagick python3-pil. Everything it starts is
# ended when it stops, and its work folder removed.

if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -u

if [ $# -lt 1 ] || [ $# -gt 3 ]; then
  echo "usage: $0 path/to/quillamor2000 [FLOODS] [MOVES]" >&2
  exit 2
fi
GAME=$1
FLOODS=${2:-4}
MOVES=${3:-30000}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export LC_ALL=C.UTF-8  # the dialog's window name is Chinese

. "$ROOT/tests/harness/x_session.sh"
x_session_check
if [ ${#MISSING[@]} -ne 0 ]; then
  echo "flood_memory.sh: missing ${MISSING[*]} (apt-get install -y xvfb xdotool x11-utils imagemagick python3-pil)" >&2
  exit 1
fi
[ -x "$GAME" ] || { echo "flood_memory.sh: no game at $GAME" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-flood.XXXXXX")
XVFB_PID='' GAME_PID='' WATCH_PID=''
cleanup() {
  local pid
  for pid in "$WATCH_PID" "$GAME_PID"; do
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  [ -n "$XVFB_PID" ] && kill -TERM "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
die() { echo "flood_memory.sh: $*" >&2; exit 1; }

# Waits for the Next button to show one of two pictures on the screen, and
# writes the wall clock (ms) when it does: first NextOff (the game has
# settled: "ready"), then, once told through the fifo, Next (caught up).
cat >"$WORK/watch.py" <<'EOF'
import sys, time
from PIL import Image, ImageGrab
display, x, y, off_bmp, lit_bmp, fifo, out = sys.argv[1:]
x, y = int(x), int(y)
off, lit = (Image.open(p).convert("RGB") for p in (off_bmp, lit_bmp))
box = (x, y, x + off.width, y + off.height)
def shows(picture, seconds, pause):
    end = time.time() + seconds
    while time.time() < end:
        if ImageGrab.grab(xdisplay=display).convert("RGB").crop(box).tobytes() == picture.tobytes():
            return True
        time.sleep(pause)
    return False
with open(out, "w") as f:
    f.write("ready\n" if shows(off, 30, 0.05) else "never-ready\n")
    f.flush()
    open(fifo).read()  # the flood has been sent
    f.write("%d\n" % (time.time() * 1000) if shows(lit, 120, 0.01) else "never-lit\n")
EOF

CORE=${FLOOD_CORE-1}
NICE=${FLOOD_NICE:-19}
PIN=()
[ -z "$CORE" ] || PIN=(taskset -c "$CORE")

start_xvfb 1024 768 "$WORK/xvfb.log" "81 82 83 84 85 86 87 88 89" || die "no free display among :81..:89"
[ -z "$CORE" ] || taskset -apc "$CORE" "$XVFB_PID" >/dev/null || die "cannot put Xvfb on core $CORE"
SDL_AUDIODRIVER=dummy "${PIN[@]}" nice -n "$NICE" "$GAME" >"$WORK/game.out" 2>"$WORK/game.err" &
GAME_PID=$!

window_up() { FOUND=$(viewable_window "$1") && return 0; running "$GAME_PID" || return 2; return 1; }
poll 10 window_up 游戏难度 || die "no difficulty dialog"
geometry "$FOUND" || die "no geometry of the dialog"
xdotool mousemove $((GX + 55)) $((GY + 70)) click 1
poll 10 window_up Quillamor2000 || die "no main window"
MAIN=$FOUND
geometry "$MAIN" || die "no geometry of the main window"
xdotool mousemove $((GX + 505)) $((GY + 405)) click 1  # the title's start spot

# The flood: moves to random places anywhere on the window but the Next
# button, the same every run, and last onto Next. On the playfield a move
# may change the cursor; on the panel it lights and puts out Again and Main,
# which the game draws.
awk -v n="$MOVES" -v gx="$GX" -v gy="$GY" 'BEGIN {
  srand(2000)
  for (i = 0; i < n; ) {
    x = int(rand() * 550); y = int(rand() * 440)
    if (x >= 440 && y >= 245 && y <= 309) continue
    printf "mousemove %d %d\n", gx + x, gy + y
    i++
  }
  printf "mousemove %d %d\n", gx + 495, gy + 275
}' >"$WORK/flood.xdo"

status_kb() { awk -v k="$1:" '$1 == k {print $2}' "/proc/$GAME_PID/status"; }
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{print int(($14 + $15) * 1000 / hz)}' "/proc/$GAME_PID/stat"; }
mb() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
watch_says() { grep -qx "$1" "$WORK/watch.out" 2>/dev/null; }
ready() { watch_says ready && return 0; watch_says never-ready && return 2; running "$WATCH_PID" || return 2; return 1; }
row() { printf "%-14s %8s %8s %9s %11s %9s\n" "$@"; }

echo "$MOVES moves a flood; Xvfb on $DISPLAY; the game on core ${CORE:-any} at nice $NICE"
row "" "VmHWM" "VmRSS" "sent in" "caught up" "game CPU"
row "" "MiB" "MiB" "ms" "ms later" "ms"
BM=$ROOT/resources/bitmaps
for ((flood = 0; flood <= FLOODS; flood++)); do
  # Off the button (which puts it out) and back over the playfield.
  xdotool mousemove $((GX + 430)) $((GY + 100)) mousemove $((GX + 220)) $((GY + 220))
  rm -f "$WORK/go" "$WORK/watch.out"
  mkfifo "$WORK/go"
  "$PY" "$WORK/watch.py" "$DISPLAY" $((GX + 440)) $((GY + 245)) "$BM/NextOff.bmp" "$BM/Next.bmp" \
    "$WORK/go" "$WORK/watch.out" &
  WATCH_PID=$!
  poll 40 ready || die "the game screen with Next unlit did not come (the ball may have dropped out: run again)"
  if [ "$flood" -eq 0 ]; then
    kill "$WATCH_PID"
    wait "$WATCH_PID" 2>/dev/null
    WATCH_PID=
    row "before flood" "$(mb "$(status_kb VmHWM)")" "$(mb "$(status_kb VmRSS)")" "" "" ""
    continue
  fi
  cpu0=$(cpu_ms)
  t0=$(now_ms)
  "${PIN[@]}" xdotool - <"$WORK/flood.xdo" 2>/dev/null
  t1=$(now_ms)  # xdotool has closed its connection: the server has taken every move
  echo go >"$WORK/go"
  wait "$WATCH_PID"
  WATCH_PID=
  lit=$(tail -n 1 "$WORK/watch.out")
  cpu1=$(cpu_ms)
  case $lit in
    never-lit) caught="never" ;;
    *) caught=$((lit > t1 ? lit - t1 : 0)) ;;
  esac
  row "after flood $flood" "$(mb "$(status_kb VmHWM)")" "$(mb "$(status_kb VmRSS)")" $((t1 - t0)) "$caught" \
    $((cpu1 - cpu0))
done
