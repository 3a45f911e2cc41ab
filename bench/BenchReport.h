/// @file
/// A console reporter for the benchmarks that print their own summary after the usual table:
/// it shows the runs as usual and hands each finished run to the benchmark's own summary.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "d2xx/UsbLimit.h"

namespace pw::benchrun {

/// Shows the runs as usual, then passes each run that completed (no error, at least one
/// iteration, not an aggregate) to Take.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so that CI logs stay plain text.
  SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0 || run.run_type != Run::RT_Iteration) continue;
      if (Counter(run, kUsbShare) > 1) overUsbLimit_ += run.benchmark_name() + "\n";
      Take(run);
    }
  }

  /// The runs whose figure beat what full-speed USB can carry, one name a line: a fault of the
  /// model that timed them, which fails the benchmark program.
  const std::string& OverUsbLimit() const { return overUsbLimit_; }

  /// A run's user counter, 0 when it has none of that name.
  static double Counter(const Run& run, const char* name) {
    const auto found = run.counters.find(name);
    return found == run.counters.end() ? 0.0 : double(found->second);
  }

  /// The counter holding a run's share of the USB limit (see UsbShare).
  static constexpr const char* kUsbShare = "usb_share";

  /// "(wire 0.93 of USB limit)" for a run that has a share, else nothing.
  static std::string UsbShareText(const Run& run) {
    const double share = Counter(run, kUsbShare);
    if (share <= 0) return "";
    char text[48];
    std::snprintf(text, sizeof text, " (wire %.2f of USB limit)", share);
    return text;
  }

 protected:
  /// Keeps what the summary needs from one completed run.
  virtual void Take(const Run& run) = 0;

 private:
  std::string overUsbLimit_;
};

/// The share of the USB limit a run of samples reached in the given seconds: the time the samples
/// alone take at the limit over the time measured; 0 when nothing was timed.
inline double UsbShare(std::uint64_t samples, double seconds) {
  return seconds > 0 ? d2xx::UsbLimitSeconds(samples) / seconds : 0.0;
}

/// The whole of a benchmark program's main: runs the benchmarks the command line selects with the
/// reporter, then prints the summary. Returns the program's exit status: 1 when a run's figure
/// beat the USB limit.
inline int RunBenchmarks(int argc, char** argv, SummaryReporter& reporter, const std::function<void()>& printSummary) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printSummary();
  benchmark::Shutdown();
  if (reporter.OverUsbLimit().empty()) return 0;
  std::fprintf(stderr, "faster than full-speed USB can carry, a fault of the timing model:\n%s",
               reporter.OverUsbLimit().c_str());
  return 1;
}

}  // namespace pw::benchrun
