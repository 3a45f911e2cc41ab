// A full ATmega1284P flash (65,536 words, 512 pages of 128) written and verified, and read to a
// HEX file, through the window model on the virtual programmer: the host's CPU time per run and
// the virtual time the programmer's clock advanced (USB latency, samples at 16 × 19,200 Hz, the
// fixed waits), printed for each.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "backend/Backend.h"
#include "sim/Bench.h"

namespace {

namespace fs = std::filesystem;

/// A person who answers every save dialog with one file and every question with Yes.
class BenchHost : public pw::UiHost {
 public:
  std::optional<std::string> ChooseOpenFile(const std::string&) override { return File; }
  std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override { return File; }
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void ShowError(const std::string& text) override { Errors += text + "\n"; }
  void ProcessEvents() override {}
  void RepaintProgress(const pw::ProgressBar&) override {}
  std::string File;
  std::string Errors;
};

/// A window on a fresh bench with an erased ATmega1284P, the chip identified.
struct Window {
  Window() : bench(pw::sim::Bench::FromText("[AVR]\nPart=ATmega1284P\n", {})) {
    form = std::make_unique<pw::TForm1>(bench->Programmer(), host, pw::ProgramPaths());
    form->FormCreate();
    form->Fire(form->Avr.AvrRdSign.OnClick);
  }
  /// Clicks button; returns the virtual seconds it took, or nothing (with the reason) when it failed.
  std::optional<double> Time(pw::Button& button, std::string& why) {
    const pw::sim::SimTime start = bench->Programmer().Now();
    form->Fire(button.OnClick);
    if (form->LastOutcome() != pw::Outcome::Success) {
      why = host.Errors + (form->Log.Lines.empty() ? "" : form->Log.Lines.back());
      return std::nullopt;
    }
    return static_cast<double>(bench->Programmer().Now() - start) / 1e12;
  }
  std::unique_ptr<pw::sim::Bench> bench;
  BenchHost host;
  std::unique_ptr<pw::TForm1> form;
};

void Report(benchmark::State& state, double virtualSeconds) { state.counters["virtual_s"] = virtualSeconds; }

void BM_Atmega1284PWriteAndVerify(benchmark::State& state) {
  double virtualSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Window w;
    pw::MemoryImages& m = w.form->Images;
    for (std::size_t i = 0; i < m.FlashImage.size(); ++i) m.FlashImage[i] = static_cast<std::uint16_t>(i * 40503u + 17);
    m.FlashDataCount = 65536;
    // As a file holding every word would: writes program only the words a file holds.
    m.FlashFilled.assign(m.FlashFilled.size(), true);
    state.ResumeTiming();
    std::string why;
    const auto seconds = w.Time(w.form->Avr.AvrWriteFls, why);
    if (!seconds || w.form->Log.Lines.back() != "Ошибок нет") {
      state.SkipWithError(("the write failed: " + why).c_str());
      return;
    }
    virtualSeconds = *seconds;
  }
  Report(state, virtualSeconds);
}
BENCHMARK(BM_Atmega1284PWriteAndVerify)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Atmega1284PRead(benchmark::State& state) {
  const fs::path file = fs::temp_directory_path() / ("pinwright-bench-avr-" + std::to_string(getpid()) + ".hex");
  double virtualSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Window w;
    w.host.File = file.string();
    state.ResumeTiming();
    std::string why;
    const auto seconds = w.Time(w.form->Avr.AvrReadFls, why);
    if (!seconds) {
      state.SkipWithError(("the read failed: " + why).c_str());
      break;
    }
    virtualSeconds = *seconds;
  }
  std::error_code ec;
  fs::remove(file, ec);
  Report(state, virtualSeconds);
}
BENCHMARK(BM_Atmega1284PRead)->Unit(benchmark::kMillisecond)->Iterations(5);

/// Shows the runs as usual, then one line per run with both times.
class TimesReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so that CI logs stay plain text.
  TimesReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0 || run.run_type != Run::RT_Iteration) continue;
      const auto found = run.counters.find("virtual_s");
      const double cpu = run.cpu_accumulated_time / static_cast<double>(run.iterations);
      lines += run.run_name.function_name + ": host CPU " + std::to_string(cpu) + " s, programmer (virtual) " +
               std::to_string(found == run.counters.end() ? 0.0 : double(found->second)) + " s\n";
    }
  }
  std::string lines;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::fputs(reporter.lines.c_str(), stdout);
  benchmark::Shutdown();
  return 0;
}
