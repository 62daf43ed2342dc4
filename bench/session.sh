#!/usr/bin/env bash
# The real game under X, measured from outside as a player's machine pays
# for it, each figure beside a baseline taken in the same run:
#   start-up from exec to the difficulty dialog on screen, beside a plain SDL
#     program opening one empty window (bench/startup_probe);
#   CPU and wake-ups while idle on the title, beside the game on the dialog,
#     with a sound device and without one;
#   the CPU of ten rounds of Main and Play (Main waits a tenth of a second),
#     beside ten rounds of Next and Again;
#   peak memory (VmHWM) after all that, beside the empty window's;
#   CPU while the ball falls at 5 ms ticks, beside the dialog.
# CPU time is read per thread from /proc (schedstat, in nanoseconds), and a
# wake-up is a voluntary context switch: a thread that went to sleep.
# Prints FIGURE and detail lines (bench/report.h).
#
#   bench/session.sh BUILD_DIR   (DISPLAY: an X server of the caller's with no window manager)

if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -u

BUILD=$(cd "$1" && pwd)
GAME=$BUILD/quillamor2000
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/tests/harness/x_session.sh"
x_session_check
if [ ${#MISSING[@]} -ne 0 ]; then
  echo "session.sh: missing ${MISSING[*]}" >&2
  exit 1
fi
export LC_ALL=C.UTF-8  # the dialog's window name is Chinese

SECONDS_MEASURED=${QUILLAMOR_BENCH_SECONDS:-10}
QUIET_S=6           # the start jingle (1.6 s) ends and the sound device is let go
DIALOG_NAME=游戏难度
MAIN_NAME=Quillamor2000
NOTICE_NAME="Quillamor 2000"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-session.XXXXXX")
. "$ROOT/bench/child.sh"
trap 'stop; rm -rf "$WORK"' EXIT
trap 'exit 130' INT TERM

figure() {  # figure NAME OURS BASELINE UNIT GOAL
  printf 'FIGURE\t%s\t%s\t%s\t%s\t%s\n' "$@"
}

# ---- the game ----

start_game() {  # start_game VAR=VALUE...
  env "$@" "$GAME" >"$WORK/game.out" 2>"$WORK/game.err" &
  PID=$!
}
window_up() { FOUND=$(viewable_window "$1") && return 0; running "$PID" || return 2; return 1; }
wait_window() { FOUND=; poll 10 window_up "$1" || die "no \"$1\" window came up"; }
click_at() {  # click_at WINDOW X Y, in client pixels
  geometry "$1" || return 1
  xdotool mousemove $((GX + $2)) $((GY + $3)) click 1
}
choose_difficulty_1() {
  wait_window "$DIALOG_NAME"
  click_at "$FOUND" 55 70
}
# The no-sound notice's one button, found on a picture of it.
dismiss_notice() {
  local x y
  wait_window "$NOTICE_NAME"
  sleep 0.5
  geometry "$FOUND" && import -window root -crop "${GW}x${GH}+${GX}+${GY}" +repage -depth 8 "$WORK/notice.ppm" 2>/dev/null &&
    read -r x y < <("$PY" "$ROOT/tests/harness/compare_region.py" button "$WORK/notice.ppm") &&
    xdotool mousemove $((GX + x)) $((GY + y)) click 1 || die "could not dismiss the no-sound notice"
}

# ---- what the process pays ----

# One line a thread: id, CPU nanoseconds, voluntary switches, name.
threads() {
  local t
  for t in /proc/"$1"/task/*; do
    printf '%s %s %s %s\n' "${t##*/}" "$(cut -d' ' -f1 "$t/schedstat")" \
      "$(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status")" "$(cat "$t/comm")"
  done 2>/dev/null
}
# cpu_ns PID: CPU time of the live threads.
cpu_ns() { threads "$1" | awk '{s += $2} END {print s}'; }

# measure PID WHAT SECONDS: sets CPU_PCT (of one core) and WAKES (a second)
# over the threads of PID while it is left alone, and logs each thread's
# share, and the X server's CPU meanwhile when XVFB_PID names it.
measure() {
  local pid=$1 what=$2 before after t0 t1 x0 x1
  before=$(threads "$pid")
  [ -n "${XVFB_PID:-}" ] && x0=$(cpu_ns "$XVFB_PID")
  t0=$(date +%s%N)
  sleep "$3"
  after=$(threads "$pid")
  [ -n "${XVFB_PID:-}" ] && x1=$(cpu_ns "$XVFB_PID")
  t1=$(date +%s%N)
  echo "$before" >"$WORK/before"
  echo "$after" >"$WORK/after"
  read -r CPU_PCT WAKES < <(awk -v dt=$((t1 - t0)) -v out="$WORK/threads" '
    NR == FNR { cpu[$1] = $2; sw[$1] = $3; next }
    { dc = $2 - cpu[$1]; ds = $3 - sw[$1]; c += dc; w += ds
      printf "  thread %s: %.3f %% CPU, %.1f wake-ups/s\n", $4, 100 * dc / dt, ds / (dt / 1e9) > out }
    END { printf "%.4f %.2f\n", 100 * c / dt, w / (dt / 1e9) }' "$WORK/before" "$WORK/after")
  echo "$what: $CPU_PCT % of a core, $WAKES wake-ups/s over $3 s"
  cat "$WORK/threads"
  [ -n "${XVFB_PID:-}" ] && awk -v a="$x0" -v b="$x1" -v dt=$((t1 - t0)) \
    'BEGIN {printf "  the X server meanwhile: %.3f %% CPU\n", 100 * (b - a) / dt}'
  return 0
}

peak_mb() { awk '/^VmHWM/ {printf "%.2f", $2 / 1024}' /proc/"$1"/status; }

# ---- start-up ----

"$BUILD/bench/startup_probe" 10 10 5 808080 -- "$GAME" -- "$BUILD/bench/empty_window" | tee "$WORK/startup.txt" ||
  die "start-up probe failed"
BASE_PEAK=$(awk '/^start-up baseline peak/ {print $NF}' "$WORK/startup.txt")

# ---- idle, with a sound device ----

export SDL_AUDIODRIVER=dummy
start_game
wait_window "$DIALOG_NAME"
sleep 1
measure "$PID" "idle on the dialog" "$SECONDS_MEASURED"
DIALOG_CPU=$CPU_PCT DIALOG_WAKES=$WAKES
choose_difficulty_1
wait_window "$MAIN_NAME"
MAIN=$FOUND
sleep "$QUIET_S"
measure "$PID" "idle on the title" "$SECONDS_MEASURED"
figure "CPU idle on the title (baseline: the game on the dialog)" "$CPU_PCT" "$DIALOG_CPU" "% of a core" "<0.5"
figure "wake-ups idle on the title (baseline: the game on the dialog)" "$WAKES" "$DIALOG_WAKES" "/s" "<=0"
figure "wake-ups idle on the dialog" "$DIALOG_WAKES" - "/s" "<=0"

# ---- the Main wait ----

click_at "$MAIN" 505 405  # the start spot: a level
sleep 1
rounds() {  # rounds X1 Y1 X2 Y2: ten clicks at each, in turn; prints CPU ms
  local before after i
  before=$(cpu_ns "$PID")
  for i in 1 2 3 4 5 6 7 8 9 10; do
    click_at "$MAIN" "$1" "$2"
    sleep 0.3
    click_at "$MAIN" "$3" "$4"
    sleep 0.3
  done
  after=$(cpu_ns "$PID")
  awk -v a="$before" -v b="$after" 'BEGIN {printf "%.1f", (b - a) / 1e6}'
}
NEXT_AGAIN=$(rounds 495 277 495 342)
MAIN_PLAY=$(rounds 500 405 500 405)  # Main on the panel, then the start spot on the title
echo "ten rounds of Next and Again: $NEXT_AGAIN ms CPU; of Main and Play: $MAIN_PLAY ms CPU"
figure "CPU of ten rounds of Main and Play (baseline: Next and Again)" "$MAIN_PLAY" "$NEXT_AGAIN" ms "<base*2"

PEAK=$(peak_mb "$PID")
figure "peak memory after a session (VmHWM; baseline: empty window)" "$PEAK" "${BASE_PEAK:--}" MB "<40"
stop

# ---- falling ----

# The real main window with the ball kept falling at 5 ms ticks
# (bench/fall_bench): a dealt level never falls for ten seconds.
"$BUILD/bench/fall_bench" $((SECONDS_MEASURED + 10)) >"$WORK/fall.out" 2>&1 &
PID=$!
poll 10 grep -q falling "$WORK/fall.out" || die "the ball never fell at 5 ms ticks"
sleep 1
measure "$PID" "the ball falling at 5 ms ticks" "$SECONDS_MEASURED"
figure "CPU while the ball falls at 5 ms ticks (baseline: the game on the dialog)" "$CPU_PCT" "$DIALOG_CPU" "% of a core" "<5"
stop

# ---- idle, without a sound device ----

# ALSA with a device name no machine has: the probe fails as on a machine
# without a sound card, whatever this machine has.
SDL_AUDIODRIVER=alsa AUDIODEV=quillamor-no-such-card start_game
choose_difficulty_1
dismiss_notice
wait_window "$MAIN_NAME"
sleep 2
measure "$PID" "idle on the title without a sound device" "$SECONDS_MEASURED"
figure "CPU idle on the title without a sound device (baseline: the game on the dialog)" "$CPU_PCT" "$DIALOG_CPU" "% of a core" "<0.5"
figure "wake-ups idle on the title without a sound device (baseline: the game on the dialog)" "$WAKES" "$DIALOG_WAKES" "/s" "<=0"
stop
