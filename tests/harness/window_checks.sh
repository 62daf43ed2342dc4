# The game's windows as the player sees them, checked on the screen: the
# steps and checks that the real-window test (tests/real_window_test.sh) and
# the Wine test (tests/wine_window_test.sh) share. Sourced (bash) after
# x_session.sh, with GAME, ROOT, BM, COMPARE, CLOSE, PY, WORK, SCALE,
# SCREEN_W, SCREEN_H and the timeouts set; counts into PASSED and FAILED.

pass() { PASSED=$((PASSED + 1)); echo "PASS: $*"; }
fail() { FAILED=$((FAILED + 1)); echo "FAIL: $*"; }

# ---- the X server ----

stop_xvfb() {
  kill -TERM "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}

# ---- the game process ----

# GAME_LOADER, when set, runs the game (wine).
start_game() {  # start_game LOG_NAME [VAR=VALUE...]
  local name=$1
  shift
  env "$@" ${GAME_LOADER:-} "$GAME" >"$WORK/$name.out" 2>"$WORK/$name.err" &
  GAME_PID=$!
  GAME_LOG=$WORK/$name
}

game_running() { running "$GAME_PID"; }
game_ended() { ! game_running; }

# Ends a game a failed step left behind, so the next part starts afresh.
cleanup_game() {
  if [ -n "$GAME_PID" ]; then
    kill -KILL "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
    GAME_PID=
  fi
}

still_running() {  # still_running AFTER_WHAT
  if game_running; then pass "game still running after $1"; else fail "game ended after $1"; fi
}

# Waits for the game to end and checks its exit status.
close_main() {  # close_main ID: the window manager's close button, then status 0
  if "$PY" "$CLOSE" "$1"; then
    expect_exit "closing the main window" 0
  else
    fail "could not send the close request to the main window"
  fi
}

expect_exit() {  # expect_exit DESCRIPTION WANTED_STATUS
  local status
  if ! poll "$EXIT_TIMEOUT" game_ended; then
    fail "$1: game still running ${EXIT_TIMEOUT}s later ($(game_state))"
    return 1
  fi
  wait "$GAME_PID"
  status=$?
  GAME_PID=
  if [ "$status" -eq "$2" ]; then pass "$1: game exited with status $status"; else fail "$1: game exited with status $status, wanted $2"; fi
}

# What a game that would not end was doing: its process state, where the
# kernel has it wait, and which of its windows are up.
game_state() {
  local state wchan name up=
  state=$(cut -d' ' -f3 "/proc/$GAME_PID/stat" 2>/dev/null)
  wchan=$(cat "/proc/$GAME_PID/wchan" 2>/dev/null)
  for name in "$MAIN_NAME" "$DIALOG_NAME" "$NOTICE_NAME"; do
    viewable_window "$name" >/dev/null && up="$up \"$name\""
  done
  echo "process state ${state:-?}, waiting in ${wchan:-?}; windows up:${up:- none}"
}

# The game wrote nothing on stderr: none of its own errors
# ("Quillamor 2000: ..."), nor anything from the libraries below it.
expect_no_errors() {
  if [ ! -s "$GAME_LOG.err" ]; then pass "$1: nothing on stderr"; else fail "$1: stderr says: $(head -c 400 "$GAME_LOG.err")"; fi
}

# ---- windows ----

window_up() { FOUND=$(viewable_window "$1") && return 0; game_running || return 2; return 1; }
window_down() { ! viewable_window "$1" >/dev/null; }

wait_window() {  # wait_window NAME -> FOUND
  FOUND=
  poll "$WINDOW_TIMEOUT" window_up "$1"
}


expect_geometry() {  # expect_geometry WHAT ID W H: that size in game pixels, centred on the screen
  local w=$(($3 * SCALE)) h=$(($4 * SCALE))
  local want_x=$(((SCREEN_W - w) / 2)) want_y=$(((SCREEN_H - h) / 2))
  if geometry "$2" && [ "$GW" = "$w" ] && [ "$GH" = "$h" ] && [ "$GX" = "$want_x" ] && [ "$GY" = "$want_y" ]; then
    pass "$1 is ${w}x${h} and centred at ($want_x,$want_y)"
  else
    fail "$1 is ${GW:-?}x${GH:-?} at (${GX:-?},${GY:-?}), wanted ${w}x${h} at ($want_x,$want_y)"
  fi
}

# ---- the pointer, in client coordinates of a window, in game pixels ----

point_at() {  # point_at ID X Y
  geometry "$1" || return 1
  xdotool mousemove $((GX + $2 * SCALE)) $((GY + $3 * SCALE))
}
click_at() {  # click_at ID X Y
  point_at "$@" && xdotool click 1
}

# ---- screens ----

# Saves the client area of window $1, as it is on the screen, in
# $WORK/client.ppm, in game pixels: on a scaled screen each block of the
# screenshot must be one colour, and becomes one pixel.
grab() {
  geometry "$1" || return 1
  import -window root -crop "${GW}x${GH}+${GX}+${GY}" +repage -depth 8 "$WORK/client.ppm" 2>/dev/null || return 1
  [ "$SCALE" -eq 1 ] && return 0
  WHY=$("$PY" "$COMPARE" shrink "$WORK/client.ppm" "$SCALE" "$WORK/client.ppm") && return 0
  WHY="not in square blocks: $WHY"
  return 1
}

# Every check (compare_region.py same/differ/count arguments without the
# picture, separated by --) holds on one grab of window $1.
screen_holds() {
  local win=$1
  shift
  WHY=
  grab "$win" || { WHY=${WHY:-no screenshot of window $win}; return 1; }
  WHY=$("$PY" "$COMPARE" all "$WORK/client.ppm" -- "$@") && return 0
  WHY=$(tr '\n' ' ' <<<"$WHY")
  return 1
}

# expect_screen WHAT KEEP_AS ID CHECK [-- CHECK...]: polls until every check
# holds on the window's client area; KEEP_AS (or -) keeps that picture.
SHOT=0
expect_screen() {
  local what=$1 keep=$2 win=$3
  shift 3
  SHOT=$((SHOT + 1))
  if poll "$SCREEN_TIMEOUT" screen_holds "$win" "$@"; then
    pass "$what"
    [ "$keep" = - ] || cp "$WORK/client.ppm" "$WORK/$keep.ppm"
    return 0
  fi
  cp "$WORK/client.ppm" "$WORK/failed-$SHOT.ppm" 2>/dev/null
  fail "$what (${WHY}; screen kept as failed-$SHOT.ppm)"
  return 1
}

# Where the game's parts are, in client pixels.
BUTTON_X=(18 97 175)        # the dialog's three digit buttons, 75x22 at y 60
DIALOG_NAME=游戏难度
MAIN_NAME=Quillamor2000
NOTICE_NAME="Quillamor 2000"  # the message box carries the program's title
PLAYFIELD=(20 20 400 400)
PANEL=(440 0 110 440)

# Checks that the game screen shows a dealt level: the frame around the
# playfield and the panel are the plain background (every button unlit),
# bars cover much of the playfield and read as whole bars, and there is one
# ball (on a cell or between two) and one exit.
GAME_SCREEN=(
  same 0 0 440 20 "$BM/Walpaper.bmp" 0 0 -- same 0 420 440 20 "$BM/Walpaper.bmp" 0 420 --
  same 0 0 20 440 "$BM/Walpaper.bmp" 0 0 -- same 420 0 20 440 "$BM/Walpaper.bmp" 420 0 --
  same "${PANEL[@]}" "$BM/Walpaper.bmp" 440 0 --
  differ "${PLAYFIELD[@]}" "$BM/Walpaper.bmp" 20 20 --min 4000 --
  board --in-play)

# The title with the start spot lit, and nothing else.
START_LIT=(same 460 360 90 80 "$BM/Game.bmp" -- same 0 0 550 360 "$BM/Title.bmp" --
  same 0 360 460 80 "$BM/Title.bmp" 0 360)

# The panel with one button lit: the rest of it stays the background.
lit_panel() {  # lit_panel PICTURE Y
  local y=$2
  LIT=(same 440 "$y" 110 65 "$BM/$1.bmp" --
    same 440 0 110 "$y" "$BM/Walpaper.bmp" 440 0 --
    same 440 $((y + 65)) 110 $((440 - y - 65)) "$BM/Walpaper.bmp" 440 $((y + 65)))
}



# pick_bar ID ROOM: BAR_C BAR_R, the cell of the upper half of a vertical bar
# with ROOM empty cells above it that the ball cannot get into while it is
# pushed, on window ID's game screen.
pick_bar() {
  local found
  grab "$1" && found=$("$PY" - "$WORK/client.ppm" "$ROOT/tests/harness" "$2" <<'PICK'
import sys
sys.path.insert(0, sys.argv[2])
from compare_region import read_board
rows, room = read_board(sys.argv[1]), int(sys.argv[3])
# The ball only rolls and falls, through empty cells: every cell it could
# reach from where it is, going sideways and down; the pushes free only
# cells below the ones they go into.
reach = [(c, r) for r in range(20) for c in range(20) if rows[r][c] in "o?"]
for c, r in reach:
    for nc, nr in ((c - 1, r), (c + 1, r), (c, r + 1)):
        if 0 <= nc < 20 and nr < 20 and rows[nr][nc] == "." and (nc, nr) not in reach:
            reach.append((nc, nr))
for c, r in ((c, r) for r in range(room, 19) for c in range(20)):
    if rows[r][c] == "^" and all(rows[r - k][c] == "." and (c, r - k) not in reach for k in range(1, room + 1)):
        print(c, r)
        sys.exit(0)
sys.exit(1)
PICK
  ) && read -r BAR_C BAR_R <<<"$found"
}

# bar_top_at ID C TOP [LEFT]: the vertical bar in column C has its upper half
# in row TOP (rows from 0), and the cell it left, in row LEFT (the one under
# its lower half unless said), is empty, or the ball has rolled into it
# meanwhile.
bar_top_at() {
  grab "$1" && "$PY" "$COMPARE" board --show "$WORK/client.ppm" | awk -v c=$(($2 + 1)) -v r=$(($3 + 1)) -v l=$((${4:-$(($3 + 2))} + 1)) \
    'NR == r && substr($0, c, 1) == "^" {a = 1} NR == r + 1 && substr($0, c, 1) == "v" {b = 1}
     NR == l && index(".o?", substr($0, c, 1)) {d = 1} END {exit !(a && b && d)}'
}

# A press on the upper half of a vertical bar, with room above it that the
# ball cannot reach: the bar goes up one cell and the pointer with it, 20 pixels of the
# game (twice as many screen pixels at 2x).
expect_bar_press() {  # expect_bar_press ID
  local MAIN=$1 BEFORE_X BEFORE_Y X Y SCREEN WINDOW
  if pick_bar "$MAIN" 1; then
    point_at "$MAIN" $((30 + 20 * BAR_C)) $((30 + 20 * BAR_R))
    eval "$(xdotool getmouselocation --shell)"
    BEFORE_X=$X BEFORE_Y=$Y
    xdotool click 1
    if poll "$SCREEN_TIMEOUT" bar_top_at "$MAIN" "$BAR_C" $((BAR_R - 1)); then
      pass "a press on a bar's upper half moves the bar up one cell"
    else
      fail "the bar at column $((BAR_C + 1)), row $((BAR_R + 1)) did not move up"
    fi
    eval "$(xdotool getmouselocation --shell)"
    if [ "$X" -eq "$BEFORE_X" ] && [ "$Y" -eq $((BEFORE_Y - 20 * SCALE)) ]; then
      pass "the pointer moves up with the bar, $((20 * SCALE)) screen pixels"
    else
      fail "the pointer went from ($BEFORE_X,$BEFORE_Y) to ($X,$Y), wanted ($BEFORE_X,$((BEFORE_Y - 20 * SCALE)))"
    fi
    if grab "$MAIN" && "$PY" "$COMPARE" board "$WORK/client.ppm" >/dev/null; then
      pass "the playfield still reads as whole bars"
    else
      fail "the playfield does not read as whole bars after the move"
    fi
  else
    fail "no vertical bar with room above it that the ball cannot reach, in the level"
  fi
}

# OK_X OK_Y: the middle of the notice's button, once the notice is drawn.
find_ok_button() {
  local found
  grab "$1" && found=$("$PY" "$COMPARE" button "$WORK/client.ppm") || return 1
  read -r OK_X OK_Y <<<"$found"
}
