#pragma once
// What every benchmark shares: summaries of samples, and the two kinds of
// line they print. A figure line is one row of the table that
// tools/bench.sh prints; a detail line is kept in the log beside it.
//
//   FIGURE<TAB>name<TAB>ours<TAB>baseline<TAB>unit<TAB>goal
//
// The goal is a comma-separated list of conditions on ours, all of which
// must hold: "<N", "<=N", "<base", "<base+N", "<base*N"; "-" for none. A
// baseline of "-" means the figure has none.

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

struct Stats {
  std::size_t n = 0;
  double min = 0, median = 0, mean = 0, p99 = 0, max = 0;
};

// The q-quantile (0..1) of sorted samples, nearest rank.
double Quantile(const std::vector<double>& sorted, double q);
Stats Summarise(std::vector<double> samples);

// A row of the table. A NaN baseline prints as "-".
void Figure(const std::string& name, double ours, double baseline, const std::string& unit,
            const std::string& goal);
// A line for the log: "what n=.. min=.. median=.. mean=.. p99=.. max=.. unit".
void Detail(const std::string& what, const Stats& stats, const std::string& unit);
void Detail(const std::string& text);

constexpr double kNone = __builtin_nan("");

}  // namespace bench
