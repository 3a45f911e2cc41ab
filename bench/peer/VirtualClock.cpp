// Preloaded after libpinwright_usbchip_preload.so, reports at exit how long the program kept the
// virtual FT232R busy: the bus's virtual seconds, the samples the first chip clocked, their share
// of the USB limit and the chip's sample clock, one line to the file PINWRIGHT_VIRTUAL_CLOCK names. A peer tool's run
// can so be timed in the same virtual time as the project's own (bench/avrdude_beside.sh).
#include <cstdio>
#include <cstdlib>

#include "VirtualBus.h"
#include "d2xx/UsbLimit.h"

namespace {

void Report() {
  const char* file = std::getenv("PINWRIGHT_VIRTUAL_CLOCK");
  if (!file) return;
  pw::usbchip::VirtualBus& bus = pw::usbchip::VirtualBus::Get();
  std::FILE* out = std::fopen(file, "w");
  if (!out) return;
  const auto& chips = bus.Chips();
  const double seconds = static_cast<double>(bus.NowNs()) / 1e9;
  const std::uint64_t samples = chips.empty() ? 0 : chips.front()->Samples;
  std::fprintf(out, "seconds=%.2f samples=%llu usb_share=%.2f sample_rate=%.0f\n", seconds,
               static_cast<unsigned long long>(samples),
               seconds > 0 ? pw::d2xx::UsbLimitSeconds(samples) / seconds : 0.0,
               chips.empty() ? 0.0 : chips.front()->SampleRate);
  std::fclose(out);
}

// The bus is made first, so that it is still there when Report runs: exit runs its handlers in
// the reverse order of their registration.
[[gnu::constructor]] void Start() {
  pw::usbchip::VirtualBus::Get();
  std::atexit(Report);
}

}  // namespace
