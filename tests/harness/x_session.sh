# What the real-window test, the screenshot maker and the session benchmark
# need of the machine and of X; sourced by each (bash).
#
# x_session_check: sets MISSING to the tools that are not there, and PY to a
# Python 3 that has PIL (empty when there is none).
x_session_check() {
  MISSING=()
  local tool candidate
  for tool in Xvfb xdotool xwininfo import; do
    command -v "$tool" >/dev/null 2>&1 || MISSING+=("$tool")
  done
  PY=
  for candidate in python3 /usr/bin/python3; do
    if command -v "$candidate" >/dev/null 2>&1 && "$candidate" -c 'import PIL' 2>/dev/null; then
      PY=$candidate
      break
    fi
  done
  [ -n "$PY" ] || MISSING+=("python3 with PIL")
}

# geometry WINDOW: sets GX GY GW GH to the window's client area on the screen.
geometry() {
  local info
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  GX=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
  GY=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
  GW=$(awk '/^ *Width:/ {print $2}' <<<"$info")
  GH=$(awk '/^ *Height:/ {print $2}' <<<"$info")
  [ -n "$GX" ] && [ -n "$GY" ] && [ -n "$GW" ] && [ -n "$GH" ]
}

now_ms() { date +%s%3N; }

# take_down_on_exit: once the script ends, the game (GAME_PID) is killed,
# the Xvfb (XVFB_PID) stopped and the work folder (WORK) removed.
take_down_on_exit() {
  XVFB_PID='' GAME_PID=''
  trap _take_down EXIT
  trap 'exit 130' INT TERM
}
_take_down() {
  [ -n "$GAME_PID" ] && kill -KILL "$GAME_PID" 2>/dev/null && wait "$GAME_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill -TERM "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}

# Whether a child of ours is alive: one that has ended but not been waited
# for still answers kill -0.
running() {
  local state
  [ -n "$1" ] && [ -r "/proc/$1/stat" ] || return 1
  state=$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)
  [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# Runs "$@" until it succeeds, gives up (status 2) or SECONDS pass: a
# bounded wait, never a fixed sleep.
poll() {
  local seconds=$1 status
  shift
  local deadline=$(($(now_ms) + seconds * 1000))
  while :; do
    "$@"
    status=$?
    [ "$status" -eq 0 ] && return 0
    [ "$status" -eq 2 ] && return 1
    [ "$(now_ms)" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

# start_xvfb WIDTH HEIGHT LOG [DISPLAYS]: an Xvfb of our own on the first
# free display of DISPLAYS (numbers; 91..99 unless given); sets XVFB_PID and
# exports DISPLAY. -noreset: without it the server resets when the last
# client leaves.
start_xvfb() {
  local n
  for n in ${4:-91 92 93 94 95 96 97 98 99}; do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "$1x$2x24" -noreset -nolisten tcp >"$3" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    if poll 10 xserver_ready; then
      return 0
    fi
    kill -TERM "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
  done
  return 1
}
# Ours and answering: a server that lost the display to another one has
# exited, and the one answering would not be ours.
xserver_ready() {
  running "$XVFB_PID" || return 2
  xdotool getdisplaygeometry >/dev/null 2>&1
}

# The id of the viewable top-level window with exactly this name, if any.
viewable_window() {
  local name=$1 id
  for id in $(xwininfo -root -tree 2>/dev/null | grep -F "\"$name\":" | awk '{print $1}'); do
    if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

# play_to_the_exit WINDOW SOLVER WORK: wins a level on the game screen of
# WINDOW (at 1x) as a player would, following the ball as it moves
# (play_level.py: it reads the playfield and the ball off the screen,
# asks SOLVER (solve_level follow) for a press whose outcome does not
# depend on when the click arrives, clicks it and looks again). A level it
# finds no way through is left with Next. Returns once the ball is on its
# way out, with $WORK/rows holding the playfield and LEVELS_TRIED set (1 for
# the level first dealt; fails when 40 levels brought no win). Needs PY.
play_to_the_exit() {
  local win=$1 solve=$2 work=$3 level
  local play
  play="$(dirname "${BASH_SOURCE[0]}")/play_level.py"
  for level in $(seq 1 40); do
    LEVELS_TRIED=$level
    geometry "$win" || return 1
    xdotool mousemove $((GX + 430)) $((GY + 430))  # off the playfield and the panel
    # Most levels are won within 20 s; one that takes longer costs less
    # dealt again than played on.
    "$PY" "$play" "$solve" "$work" "$GX" "$GY" --timeout 40 && return 0
    xdotool mousemove $((GX + 495)) $((GY + 277)) click 1  # Next
  done
  return 1
}
