// Whether memory stays flat as levels are dealt one after another: Next
// pressed and released on the real main window (headless) N times, with
// the real clock; logs the peak resident size (VmHWM) as it goes, and gives
// the peak after the last level beside the peak after the tenth.
//   memory_bench [levels, default 10000]

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/report.h"
#include "bench/headless.h"
#include "platform/app.h"
#include "platform/window.h"
#include "ui/main_form.h"

namespace {

long PeakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (!bench::StartHeadless()) return 1;
  const long levels = argc > 1 ? std::atol(argv[1]) : 10000;
  {
    TMainForm form;
    form.Window->Show();
    form.Difficulty = 3;
    form.SoundOn = false;
    form.FormMouseDown(505, 400);  // the start spot
    form.FormMouseUp(505, 400);
    long afterTen = 0;
    for (long level = 1; level <= levels; ++level) {
      form.FormMouseDown(495, 277);  // Next
      form.FormMouseUp(495, 277);
      platform::ProcessMessages();
      if (level == 10) afterTen = PeakKilobytes();
      if (level == 10 || level == 100 || level == 1000 || level % 10000 == 0 || level == levels)
        std::printf("levels=%ld peak_kb=%ld\n", level, PeakKilobytes());
    }
    bench::Figure("peak memory after dealing " + std::to_string(levels) + " levels with Next (baseline: after 10)",
                  PeakKilobytes() / 1024.0, afterTen / 1024.0, "MB", "<40");
  }
  platform::Shutdown();
  return 0;
}
