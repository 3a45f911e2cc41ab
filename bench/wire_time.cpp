// Wire time of whole-chip operations on the virtual programmer under datasheet timing with a
// USB latency of 1 ms per exchange: what a person waits for on a real FT232R with its latency
// timer at 1 ms. Each run clicks the window model's buttons on a fresh bench and reports the
// virtual time the programmer's clock advanced, beside the time the same operation took before
// the exchanges were regrouped (I2C reads in long runs, I2C writes by page, the AVR liveness
// check inside the page batch), measured with this program on the build before that change.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "BenchReport.h"
#include "BenchWindow.h"

namespace {

using pw::benchrun::ScratchFile;
using pw::benchrun::Window;

constexpr const char* kTiming = "[Timing]\nModel=datasheet\nLatencyUs=1000\n";

/// Chooses the I2C type by name, as a person picks it in the list.
void ChooseI2cType(pw::TForm1& form, const std::string& type) {
  auto& box = form.I2c.I2eEepromType;
  for (std::size_t i = 0; i < box.Items.size(); ++i) {
    if (box.Items[i] == type) box.Select(static_cast<int>(i));
  }
  form.Fire(box.OnChange);
}

/// Fills the flash image with a pattern held by a file that fills every word.
void FillFlash(pw::MemoryImages& m) {
  for (std::size_t i = 0; i < m.FlashImage.size(); ++i) m.FlashImage[i] = static_cast<std::uint16_t>(i * 40503u + 17);
  m.FlashFilled.assign(m.FlashFilled.size(), true);
}

struct Case {
  const char* Name;
  /// The bench's chip sections.
  const char* Chips;
  /// Virtual seconds before the regrouping; 0 where there was no such operation.
  double Before;
  /// Prepares the window and returns the event to time.
  std::function<std::function<void()>(Window&)> Prepare;
};

std::function<void()> I2cRead(Window& w) {
  ChooseI2cType(*w.form, "24C512");
  return w.form->I2c.I2cEepromRead.OnClick;
}

std::function<void()> I2cWrite(Window& w) {
  pw::MemoryImages& m = w.form->Images;
  for (std::size_t i = 0; i < 65536; ++i) m.EepromImage[i] = static_cast<std::uint8_t>(i * 7 + 3);
  m.EepromFilled.assign(m.EepromFilled.size(), true);
  m.EepromDataCount = 65536;
  ChooseI2cType(*w.form, "24C512");  // the page shows the data and enables its write button
  return w.form->I2c.I2cEepromWrite.OnClick;
}

std::function<void()> AvrWriteVerify(Window& w) {
  w.form->Fire(w.form->Avr.AvrRdSign.OnClick);
  FillFlash(w.form->Images);
  w.form->Images.FlashDataCount = w.form->Avr.FlashPageSize * w.form->Avr.FlashPagesCount;
  return w.form->Avr.AvrWriteFls.OnClick;
}

std::function<void()> AvrRead(Window& w) {
  w.form->Fire(w.form->Avr.AvrRdSign.OnClick);
  return w.form->Avr.AvrReadFls.OnClick;
}

/// Chooses the baud list's "авто" entry, as --baud auto does.
void ChooseAutoBaud(Window& w) {
  auto& box = w.form->BoudRate;
  box.Select(static_cast<int>(box.Items.size()) - 1);
  w.form->Fire(box.OnChange);
}

std::function<void()> AutoWriteVerify(Window& w) {
  ChooseAutoBaud(w);
  return AvrWriteVerify(w);
}

std::function<void()> AutoRead(Window& w) {
  ChooseAutoBaud(w);
  return AvrRead(w);
}

/// An ATmega1284P on its internal 8 MHz oscillator (CKDIV8 unprogrammed).
constexpr const char* kAt8MHz = "[AVR]\nPart=ATmega1284P\nFuses=E2 99 FF\n";

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"24C512_Read", "[I2C]\nPart=24C512\n", 17.07, I2cRead},
      {"24C512_Write", "[I2C]\nPart=24C512\n", 65.19, I2cWrite},
      {"ATmega328P_WriteVerify", "[AVR]\nPart=ATmega328P\n", 17.46, AvrWriteVerify},
      {"ATmega328P_Read", "[AVR]\nPart=ATmega328P\n", 7.27, AvrRead},
      {"ATmega1284P_WriteVerify", "[AVR]\nPart=ATmega1284P\n", 62.11, AvrWriteVerify},
      {"ATmega1284P_Read", "[AVR]\nPart=ATmega1284P\n", 28.12, AvrRead},
      // Before, an 8 MHz chip was written and read at 19200 baud like any other.
      {"ATmega1284P_8MHz_Auto_WriteVerify", kAt8MHz, 62.11, AutoWriteVerify},
      {"ATmega1284P_8MHz_Auto_Read", kAt8MHz, 28.12, AutoRead},
  };
  return cases;
}

void Run(benchmark::State& state, const Case& c) {
  const ScratchFile file("wire", ".hex");
  state.counters["virtual_s"] = TimeEach(
      state, pw::benchrun::Operation{kTiming + std::string(c.Chips), file.path.string(), "operation", c.Prepare});
  state.counters["before_s"] = c.Before;
}

/// Shows the runs as usual, then one line per run with the wire time beside the earlier one.
class WireReporter : public pw::benchrun::SummaryReporter {
 public:
  std::string lines;

 protected:
  void Take(const Run& run) override {
    const double now = Counter(run, "virtual_s");
    const double before = Counter(run, "before_s");
    char line[160];
    const int n = std::snprintf(line, sizeof line, "%-34s wire time %7.2f s", run.run_name.function_name.c_str(), now);
    if (before > 0 && n > 0)
      std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), "   before %7.2f s", before);
    lines += std::string(line) + "\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  for (const Case& c : Cases()) {
    benchmark::RegisterBenchmark(c.Name, [&c](benchmark::State& state) { Run(state, c); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
  }
  WireReporter reporter;
  return pw::benchrun::RunBenchmarks(argc, argv, reporter, [&reporter] {
    std::cout
        << "Virtual programmer, datasheet timing, USB latency 1 ms; 19200 baud, or the baud list's \"авто\" (Auto):\n"
        << reporter.lines << std::flush;
  });
}
