// The virtual programmer for unmodified programs: built as a library for LD_PRELOAD, it puts the
// devices of the bench file named by PINWRIGHT_VIRTUAL_BENCH (the built-in bench without it) on
// the virtual bus when the program first calls libusb_init, and writes the bench's memory files
// back when the program ends.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "VirtualBus.h"
#include "sim/Bench.h"

namespace {

struct Loaded {
  Loaded() {
    const char* file = std::getenv("PINWRIGHT_VIRTUAL_BENCH");
    try {
      bench = file ? pw::sim::Bench::FromFile(file) : pw::sim::Bench::Default();
      for (auto& device : bench->Programmer().Devices()) {
        // The bus drives the device from now on; the bench keeps its memory bindings for Save.
        pw::usbchip::VirtualBus::Get().Plug(std::move(device));
      }
    } catch (const std::exception& e) {
      std::fprintf(stderr, "virtual programmer: %s\n", e.what());
    }
  }
  ~Loaded() {
    try {
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
