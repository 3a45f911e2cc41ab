// The virtual programmer for unmodified programs: built as a library for LD_PRELOAD, it puts the
// devices of the bench file named by PINWRIGHT_VIRTUAL_BENCH (the built-in bench without it) on
// the virtual bus when the program first calls libusb_init, with the bench's [Timing] and
// [Faults], and writes the bench's memory files back when the program ends. Asked by the
// environment, it also traces every sample into the file PINWRIGHT_VIRTUAL_TRACE names (the
// simulator's --trace format) and writes the virtual time the run took, in microseconds, into
// the file PINWRIGHT_VIRTUAL_TIME names, so that a peer tool's run can be timed and decoded; the
// file PINWRIGHT_VIRTUAL_CLOCK names gets one line with the virtual seconds, the samples the first
// chip clocked, their share of the USB limit and the chip's sample clock (bench/avrdude_beside.sh).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iomanip>
#include <memory>

#include "VirtualBus.h"
#include "d2xx/UsbLimit.h"
#include "sim/Bench.h"

namespace {

using pw::usbchip::VirtualBus;

/// The line PINWRIGHT_VIRTUAL_CLOCK asks for, written to file.
void WriteClock(const char* file) {
  VirtualBus& bus = VirtualBus::Get();
  const auto& chips = bus.Chips();
  const double seconds = static_cast<double>(bus.NowNs()) / 1e9;
  const std::uint64_t samples = chips.empty() ? 0 : chips.front()->Samples;
  std::ofstream(file) << std::fixed << std::setprecision(2) << "seconds=" << seconds << " samples=" << samples
                      << " usb_share=" << (seconds > 0 ? pw::d2xx::UsbLimitSeconds(samples) / seconds : 0.0)
                      << std::setprecision(0) << " sample_rate=" << (chips.empty() ? 0.0 : chips.front()->SampleRate)
                      << '\n';
}

struct Loaded {
  Loaded() {
    const char* file = std::getenv("PINWRIGHT_VIRTUAL_BENCH");
    try {
      bench = file ? pw::sim::Bench::FromFile(file) : pw::sim::Bench::Default();
      // The bus drives the devices from now on; the bench keeps its memory bindings for Save.
      VirtualBus::Get().PlugBench(bench->Programmer());
      if (const char* trace = std::getenv("PINWRIGHT_VIRTUAL_TRACE")) VirtualBus::Get().StartTrace(trace);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "virtual programmer: %s\n", e.what());
    }
  }
  ~Loaded() {
    try {
      VirtualBus::Get().Conditions().Trace.reset();
      if (const char* time = std::getenv("PINWRIGHT_VIRTUAL_TIME")) {
        std::ofstream(time) << VirtualBus::Get().NowMicros() << '\n';
      }
      if (const char* clock = std::getenv("PINWRIGHT_VIRTUAL_CLOCK")) WriteClock(clock);
      if (bench) bench->Save();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "virtual programmer: %s\n", e.what());
    }
  }
  std::unique_ptr<pw::sim::Bench> bench;
};

}  // namespace

/// Called by the virtual libusb_init: the bench is loaded on first use, not while the program's
/// static objects are still being made.
extern "C" void pinwright_virtual_bus_setup() { static Loaded loaded; }
