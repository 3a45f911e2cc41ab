// A full ATmega1284P flash (65,536 words, 512 pages of 128) written and verified, and read to a
// HEX file, through the window model on the virtual programmer: the host's CPU time per run and
// the virtual time the programmer's clock advanced (USB latency, samples at 16 × 19,200 Hz, the
// fixed waits) with its share of the USB limit, printed for each.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "BenchReport.h"
#include "BenchWindow.h"

namespace {

using pw::benchrun::Operation;
using pw::benchrun::Window;

/// An erased ATmega1284P on a fresh bench.
constexpr const char* kBenchText = "[AVR]\nPart=ATmega1284P\n";

/// Identifies the chip, as a person does first.
void ReadSignature(Window& w) { w.form->Fire(w.form->Avr.AvrRdSign.OnClick); }

void BM_Atmega1284PWriteAndVerify(benchmark::State& state) {
  const Operation write{kBenchText, "", "write",
                        [](Window& w) {
                          ReadSignature(w);
                          pw::MemoryImages& m = w.form->Images;
                          for (std::size_t i = 0; i < m.FlashImage.size(); ++i) {
                            m.FlashImage[i] = static_cast<std::uint16_t>(i * 40503u + 17);
                          }
                          m.FlashDataCount = 65536;
                          // As a file holding every word would: writes program only the words a file holds.
                          m.FlashFilled.assign(m.FlashFilled.size(), true);
                          return w.form->Avr.AvrWriteFls.OnClick;
                        },
                        "Ошибок нет"};
  state.counters["virtual_s"] = TimeEach(state, write);
}
BENCHMARK(BM_Atmega1284PWriteAndVerify)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Atmega1284PRead(benchmark::State& state) {
  const pw::benchrun::ScratchFile file("bench-avr", ".hex");
  state.counters["virtual_s"] = TimeEach(state, Operation{kBenchText, file.path.string(), "read", [](Window& w) {
                                                            ReadSignature(w);
                                                            return w.form->Avr.AvrReadFls.OnClick;
                                                          }});
}
BENCHMARK(BM_Atmega1284PRead)->Unit(benchmark::kMillisecond)->Iterations(5);

/// One line per run with both times.
class TimesReporter : public pw::benchrun::SummaryReporter {
 public:
  std::string lines;

 protected:
  void Take(const Run& run) override {
    const double cpu = run.cpu_accumulated_time / static_cast<double>(run.iterations);
    lines += run.run_name.function_name + ": host CPU " + std::to_string(cpu) + " s, programmer (virtual) " +
             std::to_string(Counter(run, "virtual_s")) + " s" + UsbShareText(run) + "\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  TimesReporter reporter;
  return pw::benchrun::RunBenchmarks(argc, argv, reporter, [&reporter] { std::fputs(reporter.lines.c_str(), stdout); });
}
