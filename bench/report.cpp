#include "bench/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace bench {

double Quantile(const std::vector<double>& sorted, double q) {
  if (sorted.empty()) return kNone;
  const double rank = std::ceil(q * static_cast<double>(sorted.size()));
  const std::size_t index = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
  return sorted[std::min(index, sorted.size() - 1)];
}

Stats Summarise(std::vector<double> samples) {
  Stats s;
  if (samples.empty()) return s;
  std::sort(samples.begin(), samples.end());
  s.n = samples.size();
  s.min = samples.front();
  s.max = samples.back();
  s.median = Quantile(samples, 0.5);
  s.p99 = Quantile(samples, 0.99);
  s.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(s.n);
  return s;
}

void Figure(const std::string& name, double ours, double baseline, const std::string& unit,
            const std::string& goal) {
  char base[32] = "-";
  if (!std::isnan(baseline)) std::snprintf(base, sizeof base, "%.4g", baseline);
  std::printf("FIGURE\t%s\t%.4g\t%s\t%s\t%s\n", name.c_str(), ours, base, unit.c_str(), goal.c_str());
  std::fflush(stdout);
}

void Detail(const std::string& what, const Stats& s, const std::string& unit) {
  std::printf("%s n=%zu min=%.4g median=%.4g mean=%.4g p99=%.4g max=%.4g %s\n", what.c_str(), s.n, s.min, s.median,
              s.mean, s.p99, s.max, unit.c_str());
  std::fflush(stdout);
}

void Detail(const std::string& text) {
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

}  // namespace bench
