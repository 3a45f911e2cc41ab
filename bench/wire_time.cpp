// Wire time of whole-chip operations on the virtual programmer under datasheet timing with a
// USB latency of 1 ms per exchange: what a person waits for on a real FT232R with its latency
// timer at 1 ms. Each row clicks the window model's buttons on a fresh bench and reports the
// virtual time the programmer's clock advanced and its share of the USB limit: the time the
// row's samples alone take at the most full-speed USB carries, over the time measured. Rows: a
// full write with its verify and a full read of each chip, at the shipped baud and with the baud
// list's "авто" entry, the AVRs at each usual clock. A 32 MiB SPI flash's rows take minutes of
// host time: they run only with --large as the last argument.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "BenchReport.h"
#include "BenchWindow.h"
#include "spi/SpiFlashImage.h"

namespace {

using pw::benchrun::ScratchFile;
using pw::benchrun::Window;
using Prepare = std::function<std::function<void()>(Window&)>;

constexpr const char* kTiming = "[Timing]\nModel=datasheet\nLatencyUs=1000\n";

struct Case {
  std::string Name;
  /// The bench's chip sections.
  std::string Chips;
  /// The file every dialog answers with: its extension, and bytes to put in it first (none: no file).
  const char* Extension;
  std::size_t FileBytes;
  Prepare Event;
};

/// Chooses the I2C type by name, as a person picks it in the list.
void ChooseI2cType(pw::TForm1& form, const std::string& type) {
  auto& box = form.I2c.I2eEepromType;
  for (std::size_t i = 0; i < box.Items.size(); ++i) {
    if (box.Items[i] == type) box.Select(static_cast<int>(i));
  }
  form.Fire(box.OnChange);
}

/// A pattern that changes every bit of a word from one address to the next.
std::uint16_t Pattern(std::size_t i) { return static_cast<std::uint16_t>(i * 40503u + 17); }

Prepare I2cWriteVerify(std::string type, std::size_t bytes) {
  return [type, bytes](Window& w) {
    pw::MemoryImages& m = w.form->Images;
    for (std::size_t i = 0; i < bytes; ++i) m.EepromImage[i] = static_cast<std::uint8_t>(Pattern(i) >> 3);
    m.EepromFilled.assign(m.EepromFilled.size(), true);
    m.EepromDataCount = static_cast<std::int32_t>(bytes);
    ChooseI2cType(*w.form, type);  // the page shows the data and enables its write button
    return w.form->I2c.I2cEepromWrite.OnClick;
  };
}

Prepare I2cRead(std::string type) {
  return [type](Window& w) {
    ChooseI2cType(*w.form, type);
    return w.form->I2c.I2cEepromRead.OnClick;
  };
}

std::function<void()> AvrWriteVerify(Window& w) {
  w.form->Fire(w.form->Avr.AvrRdSign.OnClick);
  pw::MemoryImages& m = w.form->Images;
  for (std::size_t i = 0; i < m.FlashImage.size(); ++i) m.FlashImage[i] = Pattern(i);
  m.FlashFilled.assign(m.FlashFilled.size(), true);
  m.FlashDataCount = w.form->Avr.FlashPageSize * w.form->Avr.FlashPagesCount;
  return w.form->Avr.AvrWriteFls.OnClick;
}

std::function<void()> AvrRead(Window& w) {
  w.form->Fire(w.form->Avr.AvrRdSign.OnClick);
  return w.form->Avr.AvrReadFls.OnClick;
}

std::function<void()> SpiWriteVerify(Window& w) {
  w.form->Fire(w.form->Spi.SpiFlashFile.OnClick);
  return w.form->Spi.SpiFlashWrite.OnClick;
}

std::function<void()> SpiRead(Window& w) { return w.form->Spi.SpiFlashRead.OnClick; }

/// Shows the PIC page with the type chosen.
void ChoosePicType(Window& w, const std::string& type) {
  w.form->ShowPage(1);
  w.form->Pic.PicType.Text = type;
  w.form->Fire(w.form->Pic.PicType.OnChange);
}

Prepare PicWriteVerify(std::string type) {
  return [type](Window& w) {
    ChoosePicType(w, type);
    pw::MemoryImages& m = w.form->Images;
    const std::int32_t words = w.form->Pic.Type().FlashSize;
    for (std::int32_t i = 0; i < words; ++i) m.FlashImage[static_cast<std::size_t>(i)] = Pattern(i) & 0x3FFF;
    m.FlashDataCount = words;
    m.FlashFilled.assign(m.FlashFilled.size(), true);
    return w.form->Pic.PicWriteFls.OnClick;
  };
}

Prepare PicRead(std::string type) {
  return [type](Window& w) {
    ChoosePicType(w, type);
    return w.form->Pic.PicReadDump.OnClick;
  };
}

/// The same event after choosing the baud list's "авто" entry, as --baud auto does.
Prepare Auto(Prepare event) {
  return [event](Window& w) {
    auto& box = w.form->BoudRate;
    box.Select(static_cast<int>(box.Items.size()) - 1);
    w.form->Fire(box.OnChange);
    return event(w);
  };
}

/// Both operations of a chip at the shipped baud, then with "авто" against each clock given as
/// {name, extra bench keys}.
void AddChip(std::vector<Case>& cases, const std::string& chip, const std::string& section,
             const std::vector<std::pair<std::string, std::string>>& clocks, const Case& write, const Case& read) {
  for (const Case* op : {&write, &read}) {
    cases.push_back({chip + "_" + op->Name, section, op->Extension, op->FileBytes, op->Event});
    for (const auto& [clock, keys] : clocks) {
      cases.push_back(
          {chip + clock + "_auto_" + op->Name, section + keys, op->Extension, op->FileBytes, Auto(op->Event)});
    }
  }
}

/// An AVR's sections at each clock: 1 MHz as shipped (CKDIV8), the internal 8 MHz oscillator,
/// a 16 MHz crystal.
void AddAvr(std::vector<Case>& cases, const std::string& part, const std::string& highFuses) {
  const std::vector<std::pair<std::string, std::string>> clocks = {
      {"_1MHz", ""},
      {"_8MHz", "Fuses=E2 " + highFuses + "\n"},
      {"_16MHz", "Fuses=FF " + highFuses + "\nClock=16000000\n"}};
  AddChip(cases, part, "[AVR]\nPart=" + part + "\n", clocks, {"WriteVerify", "", ".hex", 0, AvrWriteVerify},
          {"Read", "", ".hex", 0, AvrRead});
}

/// The rows; with large, also those of a 32 MiB SPI flash (several minutes of host time).
std::vector<Case> Cases(bool large) {
  std::vector<Case> all;
  AddAvr(all, "ATmega328P", "D9 FF");
  AddAvr(all, "ATmega1284P", "99 FF");
  AddAvr(all, "ATmega2560", "99 FF");
  for (const auto& [type, bytes] : {std::pair<std::string, std::size_t>{"24C512", 65536}, {"24M02", 262144}}) {
    AddChip(all, type, "[I2C]\nPart=" + type + "\n", {{"", ""}},
            {"WriteVerify", "", ".hex", 0, I2cWriteVerify(type, bytes)}, {"Read", "", ".hex", 0, I2cRead(type)});
  }
  for (const std::string type : {"PIC16F877A", "PIC18F4520"}) {
    AddChip(all, type, "[PIC]\nPart=" + type + "\n", {{"", ""}}, {"WriteVerify", "", ".hex", 0, PicWriteVerify(type)},
            {"Read", "", ".hex", 0, PicRead(type)});
  }
  for (const auto& [part, bytes] :
       {std::pair<std::string, std::size_t>{"W25Q32", 4u << 20}, {"W25Q256FV", 32u << 20}}) {
    if (bytes > (4u << 20) && !large) continue;
    AddChip(all, part, "[SPI]\nPart=" + part + "\n", {{"", ""}}, {"WriteVerify", "", ".bin", bytes, SpiWriteVerify},
            {"Read", "", ".hex", 0, SpiRead});
  }
  return all;
}

void Run(benchmark::State& state, const Case& c) {
  const ScratchFile file("wire", c.Extension);
  if (c.FileBytes) {
    std::vector<std::uint8_t> image(c.FileBytes);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(Pattern(i) >> 7);
    pw::SaveSpiFlashImage(file.path, image);
  }
  state.counters["virtual_s"] =
      TimeEach(state, pw::benchrun::Operation{kTiming + c.Chips, file.path.string(), "operation", c.Event});
}

/// Shows the runs as usual, then one line per run with its wire time and share of the USB limit.
class WireReporter : public pw::benchrun::SummaryReporter {
 public:
  std::string lines;

 protected:
  void Take(const Run& run) override {
    char line[120];
    std::snprintf(line, sizeof line, "%-40s %8.2f s", run.run_name.function_name.c_str(), Counter(run, "virtual_s"));
    lines += line + UsbShareText(run) + "\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  // --large is this program's own option: Google Benchmark would refuse it.
  const bool large = argc > 1 && std::string(argv[argc - 1]) == "--large";
  if (large) --argc;
  static const std::vector<Case> cases = Cases(large);
  for (const Case& c : cases) {
    benchmark::RegisterBenchmark(c.Name.c_str(), [&c](benchmark::State& state) { Run(state, c); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
  }
  WireReporter reporter;
  return pw::benchrun::RunBenchmarks(argc, argv, reporter, [&reporter] {
    std::cout << "Virtual programmer, datasheet timing, USB latency 1 ms; the shipped baud, or the baud list's "
                 "\"авто\" (auto); wire time:\n"
              << reporter.lines << std::flush;
  });
}
