// A full 32 Mbit (4 MiB) SPI flash written (erase, program, verify) and read, through the window
// model on the virtual programmer with datasheet chip timing and 1 ms of USB latency per
// exchange, at the shipped baud (19,200: 307,200 samples/s) and the highest (3,000,000); and the
// write again onto a chip that holds the image already, or all of it but one sector. Prints the
// virtual time each took on the wire beside the host's CPU time, with its share of the USB
// limit, and what a read would take at that limit.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchReport.h"
#include "BenchWindow.h"
#include "link/SpiMode0.h"
#include "sim/SimSpiFlash.h"
#include "spi/SpiFlashImage.h"

namespace {

using pw::benchrun::Operation;
using pw::benchrun::ScratchFile;
using pw::benchrun::Window;
constexpr std::uint32_t kChipBytes = 4u << 20;
constexpr const char* kBenchText = "[SPI]\nPart=W25Q32\n[Timing]\nModel=datasheet\nLatencyUs=1000\n";

std::vector<std::uint8_t> Image() {
  std::vector<std::uint8_t> image(kChipBytes);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 40503u >> 7);
  return image;
}

void BM_SpiFlash32MbitWrite(benchmark::State& state) {
  const ScratchFile file("bench-spi", ".bin");
  const std::vector<std::uint8_t> image = Image();
  pw::SaveSpiFlashImage(file.path, image);
  const auto baud = static_cast<std::int32_t>(state.range(0));
  state.counters["virtual_s"] = TimeEach(state, Operation{kBenchText, file.path.string(), "write", [baud](Window& w) {
                                                            w.form->ProgrammerBaud = baud;
                                                            w.form->Fire(w.form->Spi.SpiFlashFile.OnClick);
                                                            return w.form->Spi.SpiFlashWrite.OnClick;
                                                          }});
}
BENCHMARK(BM_SpiFlash32MbitWrite)->Arg(19200)->Arg(3000000)->Unit(benchmark::kMillisecond)->Iterations(1);

/// The same write onto a chip that already holds the image (0) or holds it but for one sector
/// of zeros (1), at the shipped baud: the plan's read finds what must change.
void BM_SpiFlash32MbitRewrite(benchmark::State& state) {
  const ScratchFile file("bench-spi", ".bin");
  const std::vector<std::uint8_t> image = Image();
  pw::SaveSpiFlashImage(file.path, image);
  // 0: the chip holds the image; 1: its first sector differs; 2: it holds another image.
  const auto before = state.range(0);
  state.counters["virtual_s"] =
      TimeEach(state, Operation{kBenchText, file.path.string(), "write", [&](Window& w) {
                                  auto& chip = static_cast<pw::sim::SimSpiFlash&>(*w.bench->Board()->Spi);
                                  chip.Memory() = image;
                                  if (before == 1) std::fill_n(chip.Memory().begin(), 4096, 0);
                                  if (before == 2) {
                                    for (std::uint8_t& b : chip.Memory()) b ^= 0x5A;
                                  }
                                  w.form->Fire(w.form->Spi.SpiFlashFile.OnClick);
                                  return w.form->Spi.SpiFlashWrite.OnClick;
                                }});
}
BENCHMARK(BM_SpiFlash32MbitRewrite)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SpiFlash32MbitRead(benchmark::State& state) {
  const ScratchFile file("bench-spi", ".hex");
  const auto baud = static_cast<std::int32_t>(state.range(0));
  state.counters["virtual_s"] = TimeEach(state, Operation{kBenchText, file.path.string(), "read", [baud](Window& w) {
                                                            w.form->ProgrammerBaud = baud;
                                                            return w.form->Spi.SpiFlashRead.OnClick;
                                                          }});
}
BENCHMARK(BM_SpiFlash32MbitRead)->Arg(19200)->Arg(3000000)->Unit(benchmark::kMillisecond)->Iterations(1);

/// One line per run with the host's CPU time and the wire time.
class TimesReporter : public pw::benchrun::SummaryReporter {
 public:
  std::string lines;

 protected:
  void Take(const Run& run) override {
    lines += run.benchmark_name() + ": host CPU " + std::to_string(run.cpu_accumulated_time) +
             " s, on the wire (virtual) " + std::to_string(Counter(run, "virtual_s")) + " s" + UsbShareText(run) + "\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  TimesReporter reporter;
  return pw::benchrun::RunBenchmarks(argc, argv, reporter, [&reporter] {
    std::fputs(reporter.lines.c_str(), stdout);
    // Two samples a bit, 16 a byte: a whole read's samples at what full-speed USB carries.
    const auto samples = std::uint64_t{kChipBytes} * pw::SpiMode0::kSamplesPerByte;
    std::printf("4 MiB read at the USB limit of %llu samples/s: %.1f s of samples\n",
                static_cast<unsigned long long>(pw::d2xx::kUsbMostSamplesPerSecond),
                pw::d2xx::UsbLimitSeconds(samples));
  });
}
