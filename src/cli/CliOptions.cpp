#include "cli/CliOptions.h"

#include <stdexcept>

namespace pw::cli {

const char* CliUsage() {
  return R"(pinwright-cli [--simulator[=BENCH]] [--trace FILE] [--device SERIAL] [--clear-log] [--yes] [--force] PAGE OPERATION [ARGS]
  avr identify | read-fuses | erase | reset
      | read-flash FILE | write-flash FILE | read-eeprom FILE | write-eeprom FILE
      | write-fuses LOW HIGH EXT LOCK          (hex bytes; asks unless --yes; risky fuses: --force)
  pic TYPE read-config | write-config WORD | erase
      | read-dump FILE | write-dump FILE | write-flash FILE | write-eeprom FILE
  i2c TYPE read FILE | write FILE | erase
  settings read | write CBUS CURRENT USB CLOCK | defaults
  spi identify | read FILE | write FILE | erase | verify FILE   (FILE: .hex or .bin; erase asks unless --yes)

  --simulator[=BENCH]  run on the virtual programmer (the built-in bench without BENCH)
  --trace FILE         with --simulator: write every sample's line levels to FILE
  --device SERIAL      use the real programmer with this serial number (several on one host)
  --clear-log          tick "Очищать лог"
  --yes                answer Yes to the questions an operation asks
  --force              with --yes: also write fuses that can lock the programmer out
  --help               print this

Without --simulator the real FT232R programmer is used (libftdi1);
PINWRIGHT_FTDI_LOCKSTEP=1 makes it exchange 128 samples at a time instead of streaming.
Log lines go to standard output, error reports to standard error.
Exit status: 0 success, 1 an error report, 2 the target failed (verify mismatch, no answer), 64 usage.
)";
}

CliOptions ParseCliOptions(const std::vector<std::string>& args) {
  CliOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!o.Words.empty() || a.empty() || a[0] != '-') {
      o.Words.push_back(a);
    } else if (a == "--help" || a == "-h") {
      o.Help = true;
    } else if (a == "--simulator") {
      o.Simulator = true;
    } else if (a.rfind("--simulator=", 0) == 0) {
      o.Simulator = true;
      o.Bench = a.substr(12);
      if (o.Bench->empty()) throw std::invalid_argument("--simulator= needs a bench file");
    } else if (a == "--trace") {
      if (i + 1 >= args.size()) throw std::invalid_argument("--trace needs a file");
      o.Trace = args[++i];
    } else if (a.rfind("--trace=", 0) == 0) {
      o.Trace = a.substr(8);
    } else if (a == "--device") {
      if (i + 1 >= args.size() || args[i + 1].empty()) throw std::invalid_argument("--device needs a serial number");
      o.Device = args[++i];
    } else if (a.rfind("--device=", 0) == 0) {
      o.Device = a.substr(9);
      if (o.Device.empty()) throw std::invalid_argument("--device needs a serial number");
    } else if (a == "--clear-log") {
      o.ClearLog = true;
    } else if (a == "--yes") {
      o.Yes = true;
    } else if (a == "--force") {
      o.Force = true;
    } else {
      throw std::invalid_argument("unknown option " + a);
    }
  }
  for (const auto& w : o.Words) {
    if (w == "--help") o.Help = true;
  }
  if (!o.Device.empty() && o.Simulator) throw std::invalid_argument("--device works only without --simulator");
  if (o.Trace && !o.Simulator) throw std::invalid_argument("--trace works only with --simulator");
  return o;
}

}  // namespace pw::cli
