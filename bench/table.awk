# The table of tools/bench.sh: one Markdown row for each FIGURE line of the
# benchmarks' output (see bench/report.h), with the ratio to the baseline
# and whether every condition of the goal holds.
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
BEGIN {
  print "| figure | ours | baseline | ratio | goal | |"
  print "|---|---|---|---|---|---|"
}
$1 == "FIGURE" {
  name = $2; ours = $3; base = $4; unit = $5; goal = $6
  ratio = (num(ours) && num(base) && base + 0 != 0) ? sprintf("%.2f", ours / base) : "-"
  if (!num(ours)) verdict = "pending"
  else if (goal == "-") verdict = ""
  else {
    n = split(goal, conds, ",")
    verdict = "met"
    for (i = 1; i <= n; i++) if (!holds(conds[i], ours, base)) verdict = "**missed**"
  }
  printf "| %s | %s %s | %s | %s | %s | %s |\n", name, ours, (num(ours) ? unit : ""), base, ratio,
    (goal == "-" ? "" : show(goal, unit)), verdict
}
