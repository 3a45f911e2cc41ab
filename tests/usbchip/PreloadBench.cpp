// The virtual programmer for unmodified programs: built as a library for LD_PRELOAD, it puts the
// devices of the bench file named by PINWRIGHT_VIRTUAL_BENCH (the built-in bench without it) on
// the virtual bus when the program first calls libusb_init, with the bench's [Timing] and
// [Faults], and writes the bench's memory files back when the program ends. Asked by the
// environment, it also traces every sample into the file PINWRIGHT_VIRTUAL_TRACE names (the
// simulator's --trace format) and writes the virtual time the run took, in microseconds, into
// the file PINWRIGHT_VIRTUAL_TIME names, so that a peer tool's run can be timed and decoded.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <memory>

#include "VirtualBus.h"
#include "sim/Bench.h"

namespace {

using pw::usbchip::VirtualBus;

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
