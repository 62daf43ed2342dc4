# A headless Wayland desktop of our own for the Wayland real-window test:
# sway from Debian with no screen, no input devices and no GPU, XWayland on
# demand, and a virtual pointer (virtual_pointer.c) as the mouse.
# Sourced (bash) after x_session.sh, with WORK set.
#
# sway refuses to run as root: as root, sway and the game run as an account
# of their own, WL_USER, made here when missing.

WL_USER=quillamor-wayland

# start_sway LOG: the session, its output 1920 x 1080 at scale 1. Sets
# SWAY_PID, AS (the words that run a command as the session's user), and
# exports WAYLAND_DISPLAY and SWAYSOCK (full paths, so root reaches them too);
# X_DISPLAY is XWayland's. Fails when sway does not come up in 10 s.
start_sway() {
  RUN=$WORK/run AS=()
  mkdir -p "$RUN"
  chmod 711 "$WORK"
  if [ "$(id -u)" -eq 0 ]; then
    if ! id "$WL_USER" >/dev/null 2>&1; then
      echo "making the account $WL_USER to run sway and the game: sway refuses to run as root"
      useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$WL_USER" || return 1
    fi
    chown "$WL_USER" "$RUN"
    AS=(setpriv --reuid "$WL_USER" --regid "$WL_USER" --init-groups)
  fi
  chmod 700 "$RUN"
  cat >"$WORK/sway.conf" <<CONF
output HEADLESS-1 resolution 1920x1080 scale 1
seat seat0 pointer_constraint enable
xwayland enable
exec echo "\$DISPLAY" >$RUN/x-display
CONF
  env -i PATH=/usr/bin:/bin HOME="$RUN" XDG_RUNTIME_DIR="$RUN" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman "${AS[@]}" sway -c "$WORK/sway.conf" >"$1" 2>&1 &
  SWAY_PID=$!
  poll 10 sway_ready
}
sway_ready() {
  running "$SWAY_PID" || return 2
  local socket
  socket=$(ls "$RUN"/wayland-? 2>/dev/null | head -n 1)
  [ -n "$socket" ] && [ -s "$RUN/x-display" ] || return 1
  export WAYLAND_DISPLAY=$socket SWAYSOCK
  SWAYSOCK=$(ls "$RUN"/sway-ipc.*.sock)
  X_DISPLAY=$(cat "$RUN/x-display")
}
stop_sway() {
  [ -n "${SWAY_PID:-}" ] && kill -TERM "$SWAY_PID" 2>/dev/null && wait "$SWAY_PID" 2>/dev/null
  SWAY_PID=
}

# output_scale N: the output at scale N; the desktop is then 1920/N x 1080/N
# units (DESK_W x DESK_H), and BLOCK, screen pixels to a game pixel, is N.
output_scale() {
  swaymsg output HEADLESS-1 scale "$1" >/dev/null || return 1
  BLOCK=$1 DESK_W=$((1920 / $1)) DESK_H=$((1080 / $1))
}

# sway_window NAME: GX GY GW GH, the content of the shown window of that
# title in desktop units, and SHELL (xdg_shell natively, xwayland under X),
# FLOATING (floating_con when the desktop floats it).
sway_window() {
  local found
  found=$(swaymsg -t get_tree | "$PY" -c '
import json, sys
def walk(node):
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        if child.get("name") == sys.argv[1] and child.get("visible") and (child.get("app_id") or child.get("window")):
            r, w = child["rect"], child["window_rect"]
            print(r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"], child["shell"], child["type"], child["pid"])
            sys.exit(0)
        walk(child)
walk(json.load(sys.stdin))
sys.exit(1)' "$1") && read -r GX GY GW GH SHELL FLOATING WINDOW_PID <<<"$found"
}

# The mouse: start_pointer plugs it in (sets POINTER_PID); pointer COMMAND
# sends one virtual_pointer command and waits for the compositor to have it.
start_pointer() {  # start_pointer VIRTUAL_POINTER
  coproc POINTER { exec "$1" 2>"$WORK/pointer.err"; }
}
pointer() {
  local reply
  echo "$*" >&"${POINTER[1]}" && read -r -t 5 reply <&"${POINTER[0]}" && [ "$reply" = ok ]
}
