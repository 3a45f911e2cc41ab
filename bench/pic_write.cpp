// A full PIC program memory written and verified word by word through the window model on the
// virtual programmer, under the datasheet timing model with 1 ms of USB latency: one row per type,
// the 16F877A first, then one type of each further family. Prints the wire time (the programmer's
// virtual clock) in seconds per row with its share of the USB limit.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "BenchReport.h"
#include "BenchWindow.h"
#include "pic/PicTexts.h"

namespace {

using pw::benchrun::Operation;
using pw::benchrun::Window;

/// The types timed, one row each; families added later append theirs.
const char* const kTypes[] = {"PIC16F877A", "PIC12F675", "PIC16F690",  "PIC16F77",
                              "PIC16F88",   "PIC16F886", "PIC18F2550", "PIC18F4520"};

/// Every program word of the type, in a pattern that exercises every bit of a 14-bit word (PIC18
/// words take the same pattern).
std::function<void()> FillProgramMemory(Window& w, const std::string& type) {
  w.form->ShowPage(1);
  w.form->Pic.PicType.Text = type;
  w.form->Fire(w.form->Pic.PicType.OnChange);
  pw::MemoryImages& m = w.form->Images;
  const std::int32_t words = w.form->Pic.Type().FlashSize;
  for (std::int32_t i = 0; i < words; ++i) m.FlashImage[static_cast<std::size_t>(i)] = (i * 40503u + 17) & 0x3FFF;
  m.FlashDataCount = words;
  m.FlashFilled.assign(m.FlashFilled.size(), true);
  return w.form->Pic.PicWriteFls.OnClick;
}

void BM_PicWriteAndVerify(benchmark::State& state) {
  const std::string type = kTypes[state.range(0)];
  state.SetLabel(type);
  const Operation write{"[PIC]\nPart=" + type + "\n[Timing]\nModel=datasheet\nLatencyUs=1000\n", "", "write",
                        [type](Window& w) { return FillProgramMemory(w, type); }, pw::texts::kPicFlashWritten};
  state.counters["virtual_s"] = TimeEach(state, write);
}
BENCHMARK(BM_PicWriteAndVerify)
    ->DenseRange(0, static_cast<int>(std::size(kTypes)) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

/// One line per type with its wire time.
class WireTimeReporter : public pw::benchrun::SummaryReporter {
 public:
  std::string lines;

 protected:
  void Take(const Run& run) override {
    lines +=
        run.report_label + ": wire time " + std::to_string(Counter(run, "virtual_s")) + " s" + UsbShareText(run) + "\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  WireTimeReporter reporter;
  return pw::benchrun::RunBenchmarks(argc, argv, reporter, [&reporter] { std::fputs(reporter.lines.c_str(), stdout); });
}
