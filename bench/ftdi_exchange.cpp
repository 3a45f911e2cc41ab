// One 65,536-sample synchronous bit-bang exchange (FT_Write then FT_Read) through the real
// backend and the real libftdi1, against the virtual FT232R at the USB level: 1 ms frames,
// 64-byte packets, at most 19 bulk packets per frame, the chip's FIFOs and its sample clock at
// 16 × the baud value. Reported per mode (lock-step: 128 bytes in flight; streaming: the whole
// run) and baud value: samples per second of virtual time with their share of the USB limit, and
// the host's CPU microseconds per 1,000 samples (the backend, libftdi1 and the virtual chip
// together).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "BenchReport.h"
#include "VirtualBus.h"
#include "ftdi/FtdiD2xx.h"

namespace {

using pw::usbchip::VirtualBus;

constexpr std::uint32_t kSamples = 65536;

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void Exchange(benchmark::State& state) {
  const auto step = static_cast<std::uint32_t>(state.range(0));
  const auto baud = static_cast<std::uint32_t>(state.range(1));
  std::vector<std::uint8_t> tx(kSamples), rx(kSamples);
  for (std::uint32_t i = 0; i < kSamples; ++i) tx[i] = static_cast<std::uint8_t>(i * 37);
  double virtualSeconds = 0, cpuSeconds = 0;
  std::uint64_t runs = 0;
  for (auto _ : state) {
    VirtualBus& bus = VirtualBus::Get();
    bus.Reset();
    bus.PlugBare("FT232R USB UART", "BENCH001");
    pw::ftdi::FtdiOptions options;
    options.StepBytes = step;
    options.NowMicros = [&bus] { return bus.NowMicros(); };
    options.SleepMs = [&bus](std::uint32_t ms) { bus.Advance(std::uint64_t{ms} * 1'000'000); };
    pw::ftdi::FtdiD2xx driver(options);
    pw::FT_HANDLE h = 0;
    if (driver.Open(0, &h) != pw::FT_OK || driver.SetBitMode(h, 0xFF, pw::FT_BITMODE_SYNC_BITBANG) != pw::FT_OK ||
        driver.SetTimeouts(h, 500, 500) != pw::FT_OK || driver.SetBaudRate(h, baud) != pw::FT_OK) {
      state.SkipWithError("the virtual programmer did not open");
      return;
    }
    const std::uint64_t start = bus.NowNs();
    const double cpuStart = CpuSeconds();
    std::uint32_t written = 0, got = 0;
    driver.Write(h, tx.data(), kSamples, &written);
    driver.Read(h, rx.data(), kSamples, &got);
    cpuSeconds += CpuSeconds() - cpuStart;
    virtualSeconds += static_cast<double>(bus.NowNs() - start) / 1e9;
    ++runs;
    if (written != kSamples || got != kSamples) {
      state.SkipWithError("samples were lost");
      return;
    }
    driver.Close(h);
  }
  state.counters["samples_per_s"] = static_cast<double>(kSamples) * static_cast<double>(runs) / virtualSeconds;
  state.counters[pw::benchrun::SummaryReporter::kUsbShare] = pw::benchrun::UsbShare(kSamples * runs, virtualSeconds);
  state.counters["cpu_us_per_1000"] = cpuSeconds * 1e6 / (static_cast<double>(runs) * kSamples / 1000.0);
}

// {bytes in flight per step (0: streaming), baud value}
BENCHMARK(Exchange)
    ->ArgNames({"step", "baud"})
    ->Args({128, 19200})
    ->Args({0, 19200})
    ->Args({128, 187500})
    ->Args({0, 187500})
    ->Unit(benchmark::kMillisecond);

/// One line per run with its rate and share of the USB limit.
class RateReporter : public pw::benchrun::SummaryReporter {
 public:
  std::string lines;

 protected:
  void Take(const Run& run) override {
    char line[120];
    std::snprintf(line, sizeof line, "%-32s %9.0f samples/s", run.benchmark_name().c_str(),
                  Counter(run, "samples_per_s"));
    lines += line + UsbShareText(run) + "\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  RateReporter reporter;
  return pw::benchrun::RunBenchmarks(argc, argv, reporter, [&reporter] { std::fputs(reporter.lines.c_str(), stdout); });
}
