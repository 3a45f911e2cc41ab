// A full 32 Mbit (4 MiB) SPI flash written (erase, program, verify) and read, through the window
// model on the virtual programmer with datasheet chip timing and 1 ms of USB latency per
// exchange, at the shipped baud (19,200: 307,200 samples/s) and raised ones. Prints the virtual
// time each took on the wire beside the host's CPU time, and what a read would take at the
// FT232R's physical limit of about 1 M samples/s.
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
#include "link/SpiMode0.h"
#include "sim/Bench.h"
#include "spi/SpiFlashImage.h"

namespace {

namespace fs = std::filesystem;
constexpr std::uint32_t kChipBytes = 4u << 20;

/// A person who answers every file dialog with one file and every question with Yes.
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

struct Window {
  explicit Window(std::int32_t baud)
      : bench(pw::sim::Bench::FromText("[SPI]\nPart=W25Q32\n[Timing]\nModel=datasheet\nLatencyUs=1000\n", {})) {
    form = std::make_unique<pw::TForm1>(bench->Programmer(), host, pw::ProgramPaths());
    form->FormCreate();
    form->ProgrammerBaud = baud;
  }
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

fs::path Scratch(const char* name) {
  return fs::temp_directory_path() / ("pinwright-bench-spi-" + std::to_string(getpid()) + name);
}

void BM_SpiFlash32MbitWrite(benchmark::State& state) {
  const fs::path file = Scratch(".bin");
  std::vector<std::uint8_t> image(kChipBytes);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 40503u >> 7);
  pw::SaveSpiFlashImage(file, image);
  double virtualSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Window w(static_cast<std::int32_t>(state.range(0)));
    w.host.File = file.string();
    w.form->Fire(w.form->Spi.SpiFlashFile.OnClick);
    state.ResumeTiming();
    std::string why;
    const auto seconds = w.Time(w.form->Spi.SpiFlashWrite, why);
    if (!seconds) {
      state.SkipWithError(("the write failed: " + why).c_str());
      break;
    }
    virtualSeconds = *seconds;
  }
  std::error_code ec;
  fs::remove(file, ec);
  state.counters["virtual_s"] = virtualSeconds;
}
BENCHMARK(BM_SpiFlash32MbitWrite)->Arg(19200)->Arg(57600)->Arg(3000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SpiFlash32MbitRead(benchmark::State& state) {
  const fs::path file = Scratch(".hex");
  double virtualSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Window w(static_cast<std::int32_t>(state.range(0)));
    w.host.File = file.string();
    state.ResumeTiming();
    std::string why;
    const auto seconds = w.Time(w.form->Spi.SpiFlashRead, why);
    if (!seconds) {
      state.SkipWithError(("the read failed: " + why).c_str());
      break;
    }
    virtualSeconds = *seconds;
  }
  std::error_code ec;
  fs::remove(file, ec);
  state.counters["virtual_s"] = virtualSeconds;
}
BENCHMARK(BM_SpiFlash32MbitRead)->Arg(19200)->Arg(57600)->Arg(3000000)->Unit(benchmark::kMillisecond)->Iterations(1);

class TimesReporter : public benchmark::ConsoleReporter {
 public:
  TimesReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      const auto found = run.counters.find("virtual_s");
      lines += run.benchmark_name() + ": host CPU " + std::to_string(run.cpu_accumulated_time) + " s, on the wire (virtual) " +
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
  // Two samples a bit, 16 a byte: a whole read's samples at the physical limit of the FT232R.
  const double samples = static_cast<double>(kChipBytes) * pw::SpiMode0::kSamplesPerByte;
  std::printf("4 MiB read at the physical limit of about 1 M samples/s: %.1f s of samples\n", samples / 1e6);
  benchmark::Shutdown();
  return 0;
}
