# What the session and click benchmarks share, sourced: the one program they have
# running at a time (PID), killed by stop, a failure said under the
# script's own name, and the two rows of a pair of runs.
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
# figures WHERE: the rows from OURS and BASE, each "MEDIAN P99" in ms.
figures() {
  local ours_median ours_p99 base_median base_p99
  read -r ours_median ours_p99 <<<"$OURS"
  read -r base_median base_p99 <<<"$BASE"
  printf 'FIGURE\t%s\t%s\t%s\t%s\t%s\n' \
    "click to screen, $1: median (baseline: a plain SDL window)" "$ours_median" "$base_median" ms "<=base" \
    "click to screen, $1: p99 (baseline: a plain SDL window)" "$ours_p99" "$base_p99" ms "<16.7"
}
