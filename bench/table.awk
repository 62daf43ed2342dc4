# The table of tools/bench.sh: one Markdown row for each figure of the
# benchmarks' output (FIGURE lines, see bench/report.h). A figure measured in
# several runs (the benchmark run again, ours and the baseline taking turns
# within each run) shows the median of the runs and their spread, lowest to
# highest; its ratio to the baseline and whether every condition of the goal
# holds are taken on the medians.
function num(x) { return x ~ /^-?[0-9.]+(e[-+]?[0-9]+)?$/ }
function holds(cond, ours, base,   limit) {
  if (cond ~ /base/) {
    if (!num(base)) return 0
    limit = base
    if (cond ~ /base\+/) limit = base + substr(cond, index(cond, "+") + 1)
    if (cond ~ /base\*/) limit = base * substr(cond, index(cond, "*") + 1)
  } else {
    limit = cond
    sub(/^[<=]+/, "", limit)
  }
  return cond ~ /^<=/ ? ours <= limit + 0 : ours < limit + 0
}
function show(goal, unit,   n, parts, i, c, op, rest, text) {
  n = split(goal, parts, ",")
  text = ""
  for (i = 1; i <= n; i++) {
    c = parts[i]
    op = c ~ /^<=/ ? "≤" : "<"
    rest = c
    sub(/^[<=]+/, "", rest)
    if (rest == "base") rest = "baseline"
    else if (rest ~ /^base\+/) rest = "baseline + " substr(rest, 6) " " unit
    else if (rest ~ /^base\*/) rest = substr(rest, 6) " × baseline"
    else rest = rest " " unit
    text = text (i > 1 ? " and " : "") op " " rest
  }
  return text
}
function show_number(x) { return num(x) ? sprintf("%.4g", x) : x }
# The median of a list of N numbers separated by spaces; sets LOWEST and
# HIGHEST.
function median(list, n,   v, i, j, t) {
  split(list, v, " ")
  for (i = 2; i <= n; i++)  # insertion sort: a handful of runs
    for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
  LOWEST = v[1]; HIGHEST = v[n]
  return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}
# "MEDIAN (LOWEST–HIGHEST)" of a list, or the one number.
function summary(list, n,   m) {
  m = show_number(median(list, n))
  return n < 2 ? m : m " (" show_number(LOWEST) "–" show_number(HIGHEST) ")"
}
$1 == "FIGURE" {
  name = $2
  if (!(name in runs)) { order[++names] = name; unit[name] = $5; goal[name] = $6 }
  runs[name]++
  ours[name] = ours[name] " " $3
  if (num($4)) { base[name] = base[name] " " $4; bases[name]++ }
}
END {
  print "| figure | runs | ours: median (spread) | baseline: median (spread) | ratio | goal | |"
  print "|---|---|---|---|---|---|---|"
  for (k = 1; k <= names; k++) {
    name = order[k]; n = runs[name]; u = unit[name]; g = goal[name]
    o = median(ours[name], n)
    b = bases[name] ? median(base[name], bases[name]) : "-"
    ratio = (num(o) && num(b) && b + 0 != 0) ? sprintf("%.2f", o / b) : "-"
    if (!num(o)) verdict = "pending"
    else if (g == "-") verdict = ""
    else {
      c = split(g, conds, ",")
      verdict = "met"
      for (i = 1; i <= c; i++) if (!holds(conds[i], o, b)) verdict = "**missed**"
    }
    printf "| %s | %d | %s%s | %s | %s | %s | %s |\n", name, n, summary(ours[name], n), (num(o) ? " " u : ""),
      (bases[name] ? summary(base[name], bases[name]) : "-"), ratio, (g == "-" ? "" : show(g, u)), verdict
  }
}
