/// @file
/// The window model on a fresh virtual bench, driven as a person would and timed in the
/// programmer's virtual clock: what the whole-chip benchmarks share.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "BenchReport.h"
#include "app/Form1.h"
#include "backend/Backend.h"
#include "sim/Bench.h"

namespace pw::benchrun {

/// A person who answers every file dialog with one file and every question with Yes.
class BenchHost : public UiHost {
 public:
  std::optional<std::string> ChooseOpenFile(const std::string&) override { return File; }
  std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override { return File; }
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void ShowError(const std::string& text) override { Errors += text + "\n"; }
  void ProcessEvents() override {}
  void RepaintProgress(const ProgressBar&) override {}
  /// The file every dialog answers with.
  std::string File;
  /// Every error shown, one a line.
  std::string Errors;
};

/// The window on a fresh bench made from a bench file's text, started up.
struct Window {
  explicit Window(const std::string& benchText) : bench(sim::Bench::FromText(benchText, {})) {
    form = std::make_unique<TForm1>(bench->Programmer(), host, ProgramPaths());
    form->FormCreate();
  }
  /// Runs one event; returns the virtual seconds it took, or nothing (with the reason) when it failed.
  /// Keeps the samples it clocked in samples.
  std::optional<double> Time(const std::function<void()>& handler, std::string& why) {
    const sim::SimTime start = bench->Programmer().Now();
    const std::uint64_t firstSample = bench->Programmer().SamplesClocked();
    form->Fire(handler);
    samples = bench->Programmer().SamplesClocked() - firstSample;
    if (form->LastOutcome() != Outcome::Success) {
      why = host.Errors + (form->Log.Lines.empty() ? "" : form->Log.Lines.back());
      return std::nullopt;
    }
    return static_cast<double>(bench->Programmer().Now() - start) / 1e12;
  }
  std::unique_ptr<sim::Bench> bench;
  BenchHost host;
  std::unique_ptr<TForm1> form;
  std::uint64_t samples = 0;
};

/// A file in the temporary folder, named for this process, removed when it goes out of scope.
struct ScratchFile {
  /// @param stem what the file is for, e.g. "bench-avr"; @param extension with its dot.
  ScratchFile(const std::string& stem, const std::string& extension)
      : path(std::filesystem::temp_directory_path() /
             ("pinwright-" + stem + "-" + std::to_string(getpid()) + extension)) {}
  ~ScratchFile() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  std::filesystem::path path;
};

/// What one timed run does.
struct Operation {
  /// The bench file's text the window starts from.
  std::string BenchText;
  /// The file every dialog answers with.
  std::string File;
  /// Names the operation in the error a failed run reports ("the <What> failed: ...").
  std::string What;
  /// Prepares the window, outside the timing, and returns the event to time.
  std::function<std::function<void()>(Window&)> Prepare;
  /// When set, the log's last line a run must end with to count as done.
  std::optional<std::string> LastLine = std::nullopt;
};

/// Times the operation once per iteration, each on a fresh window. Returns the virtual seconds of
/// the last run, 0 when one failed (the state then carries the reason); the last run's share of
/// the USB limit goes to the state's counters.
inline double TimeEach(benchmark::State& state, const Operation& op) {
  double virtualSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Window w(op.BenchText);
    w.host.File = op.File;
    const std::function<void()> handler = op.Prepare(w);
    state.ResumeTiming();
    std::string why;
    const std::optional<double> seconds = w.Time(handler, why);
    const auto& log = w.form->Log.Lines;
    if (!seconds || (op.LastLine && (log.empty() || log.back() != *op.LastLine))) {
      state.SkipWithError(("the " + op.What + " failed: " + why).c_str());
      virtualSeconds = 0;
      break;
    }
    virtualSeconds = *seconds;
    state.counters[SummaryReporter::kUsbShare] = UsbShare(w.samples, virtualSeconds);
  }
  return virtualSeconds;
}

}  // namespace pw::benchrun
