/// @file
/// A console reporter for the benchmarks that print their own summary after the usual table:
/// it shows the runs as usual and hands each finished run to the benchmark's own summary.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <functional>
#include <vector>

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
      if (!run.error_occurred && run.iterations > 0 && run.run_type == Run::RT_Iteration) Take(run);
    }
  }

  /// A run's user counter, 0 when it has none of that name.
  static double Counter(const Run& run, const char* name) {
    const auto found = run.counters.find(name);
    return found == run.counters.end() ? 0.0 : double(found->second);
  }

 protected:
  /// Keeps what the summary needs from one completed run.
  virtual void Take(const Run& run) = 0;
};

/// The whole of a benchmark program's main: runs the benchmarks the command line selects with the
/// reporter, then prints the summary. Returns the program's exit status.
inline int RunBenchmarks(int argc, char** argv, SummaryReporter& reporter, const std::function<void()>& printSummary) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printSummary();
  benchmark::Shutdown();
  return 0;
}

}  // namespace pw::benchrun
