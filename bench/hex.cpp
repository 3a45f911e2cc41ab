// Intel HEX load and save of a full 64 K-word image (8,192 data records), in records per
// second, beside srec_cat converting the same file, which gives the ratio printed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "BenchReport.h"
#include "avr/AvrFlashFile.h"
#include "hexfile/HexWriter.h"

namespace {

namespace fs = std::filesystem;
constexpr double kRecords = 65536 / 8;

/// A scratch folder holding the image's HEX file, made once for all benchmarks.
struct HexBench {
  HexBench() : dir(fs::temp_directory_path() / ("pinwright-bench-hex-" + std::to_string(getpid()))) {
    fs::create_directories(dir);
    for (std::size_t i = 0; i < images.FlashImage.size(); ++i) {
      images.FlashImage[i] = static_cast<std::uint16_t>(i * 40503u + 17);
    }
    std::string text = Text(images);
    pw::SaveHexText(File(), text);
  }
  ~HexBench() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  /// The file the AVR flash read would write: a block record before every 128-word page.
  static std::string Text(const pw::MemoryImages& m) {
    std::string text;
    std::int32_t address = 0;
    std::optional<std::uint32_t> lastBlock;
    for (std::size_t page = 0; page < m.FlashImage.size(); page += 128) {
      pw::AppendSegmentRecord(text, address, lastBlock);
      pw::AppendHexWords(128, std::span(m.FlashImage).subspan(page, 128), text, address);
    }
    return text;
  }

  fs::path File() const { return dir / "image.hex"; }

  fs::path dir;
  pw::MemoryImages images;
};

HexBench& Bench() {
  static HexBench bench;
  return bench;
}

void SetRecordRate(benchmark::State& state) {
  state.counters["records"] = benchmark::Counter(kRecords, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LoadHex(benchmark::State& state) {
  pw::MemoryImages m;
  for (auto _ : state) {
    pw::LoadAvrFlashFile(Bench().File(), m);
    benchmark::DoNotOptimize(m.FlashImage.data());
  }
  if (m.FlashImage != Bench().images.FlashImage) state.SkipWithError("the image did not load back");
  SetRecordRate(state);
}
BENCHMARK(BM_LoadHex)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveHex(benchmark::State& state) {
  const fs::path out = Bench().dir / "saved.hex";
  for (auto _ : state) {
    std::string text = HexBench::Text(Bench().images);
    pw::SaveHexText(out, text);
  }
  SetRecordRate(state);
}
BENCHMARK(BM_SaveHex)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SrecCat(benchmark::State& state) {
  const std::string command = "srec_cat '" + Bench().File().string() + "' -Intel -o '" +
                              (Bench().dir / "srec.hex").string() + "' -Intel >/dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("srec_cat failed or is not installed (Debian package srecord)");
      break;
    }
  }
  SetRecordRate(state);
}
BENCHMARK(BM_SrecCat)->Unit(benchmark::kMillisecond)->UseRealTime();

/// Shows the runs as usual and keeps each one's seconds per iteration for the ratio.
class RatioReporter : public pw::benchrun::SummaryReporter {
 public:
  std::map<std::string, double> seconds;

 protected:
  void Take(const Run& run) override {
    seconds[run.run_name.function_name] = run.real_accumulated_time / static_cast<double>(run.iterations);
  }
};

}  // namespace

int main(int argc, char** argv) {
  RatioReporter reporter;
  return pw::benchrun::RunBenchmarks(argc, argv, reporter, [&reporter] {
    const auto& s = reporter.seconds;
    for (const auto& [name, secs] : s) std::printf("%-12s %12.0f records/s\n", name.c_str(), kRecords / secs);
    if (s.count("BM_LoadHex") && s.count("BM_SaveHex") && s.count("BM_SrecCat")) {
      const double ours = s.at("BM_LoadHex") + s.at("BM_SaveHex");
      std::printf("srec_cat time / Pinwright load+save time: %.2f\n", s.at("BM_SrecCat") / ours);
    }
  });
}
