# What the real-window test and the screenshot maker need of the machine;
# sourced by both (bash).
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
