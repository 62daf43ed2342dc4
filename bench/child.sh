# What the click benchmarks share, sourced: the one program they have
# running at a time (PID), killed by stop, and a failure said under the
# script's own name.
PID=
stop() {
  if [ -n "$PID" ]; then
    kill -KILL "$PID" 2>/dev/null
    wait "$PID" 2>/dev/null
  fi
  PID=
}
die() {
  echo "$(basename "$0"): $*" >&2
  exit 1
}
