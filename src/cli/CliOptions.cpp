#include "cli/CliOptions.h"

#include <stdexcept>

#include "app/SpeedList.h"

#ifndef PINWRIGHT_VERSION
#error "PINWRIGHT_VERSION comes from the project version in CMakeLists.txt"
#endif

namespace pw::cli {

const char* CliUsage() {
  return R"(pinwright-cli [--simulator[=BENCH]] [--trace FILE] [--device SERIAL] [--baud N|auto] [--clear-log] [--yes] [--force] [--erase] PAGE OPERATION [ARGS]
  avr identify | read-fuses | erase | reset
      | read-flash FILE | write-flash FILE | read-eeprom FILE | write-eeprom FILE
      | write-fuses LOW HIGH EXT LOCK          (hex bytes; asks unless --yes; risky fuses: --force)
      | verify-flash FILE | verify-eeprom FILE | blank-check
  pic TYPE read-config | write-config WORD | erase
      | read-dump FILE | write-dump FILE | write-flash FILE | write-eeprom FILE
  i2c TYPE read FILE | write FILE | erase | verify FILE
  settings read | write CBUS CURRENT USB CLOCK | defaults
  spi identify | read FILE | write FILE | erase | verify FILE   (FILE: .hex or .bin; erase asks unless --yes)

  --simulator[=BENCH]  run on the virtual programmer (the built-in bench without BENCH)
  --trace FILE         with --simulator: write every sample's line levels to FILE
  --device SERIAL      use the real programmer with this serial number (several on one host)
  --baud N             this run's baud value instead of the eighth line of speed.txt (300..3000000)
  --baud auto          AVR: find the fastest clock the chip takes and work at half of it
  --clear-log          tick "Очищать лог"
  --yes                answer Yes to the questions an operation asks
  --force              with --yes: also write fuses that can lock the programmer out
  --erase              with avr write-flash: erase the chip first ("Стереть чип")
  --version            print the version
  --help               print this

Options may stand anywhere on the line; after -- every word belongs to the command.
Page, operation and type names match in any case.
Without --simulator the real FT232R programmer is used (libftdi1);
PINWRIGHT_FTDI_LOCKSTEP=1 makes it exchange 128 samples at a time instead of streaming.
A FILE ending in .bin is a raw binary image, any other an Intel HEX file.
Log lines go to standard output, error reports to standard error, and on a terminal a
progress line for each step to standard error.
Exit status: 0 success, 1 an error report, 2 the target failed (verify mismatch, no answer), 64 usage,
130 stopped by Ctrl-C between pages.
)";
}

std::string CliVersion() { return std::string("pinwright-cli ") + PINWRIGHT_VERSION; }

std::int32_t ParseBaudNumber(const std::string& text) {
  const bool digits = !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
  const long value = digits ? std::stol(text) : -1;
  if (value < kLowestBaud || value > kHighestBaud) {
    throw std::invalid_argument("--baud needs auto or a number from " + std::to_string(kLowestBaud) + " to " +
                                std::to_string(kHighestBaud) + ", not " + text);
  }
  return static_cast<std::int32_t>(value);
}

namespace {

/// The value of option name: the rest of "--name=value", else the next argument.
std::string OptionValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                        const char* what) {
  const std::string& a = args[i];
  std::string value;
  if (a.size() > name.size()) {
    value = a.substr(name.size() + 1);
  } else if (i + 1 < args.size()) {
    value = args[++i];
  }
  if (value.empty()) throw std::invalid_argument(name + " needs " + what);
  return value;
}

/// Whether a is option name, alone or as "name=value".
bool Is(const std::string& a, const std::string& name) {
  return a.rfind(name, 0) == 0 && (a.size() == name.size() || a[name.size()] == '=');
}

void ParseOption(const std::vector<std::string>& args, std::size_t& i, CliOptions& o) {
  const std::string& a = args[i];
  if (a == "--help" || a == "-h") {
    o.Help = true;
  } else if (a == "--version") {
    o.Version = true;
  } else if (a == "--simulator") {
    o.Simulator = true;
  } else if (a.rfind("--simulator=", 0) == 0) {
    o.Simulator = true;
    o.Bench = a.substr(12);
    if (o.Bench->empty()) throw std::invalid_argument("--simulator= needs a bench file");
  } else if (Is(a, "--trace")) {
    o.Trace = OptionValue(args, i, "--trace", "a file");
  } else if (Is(a, "--device")) {
    o.Device = OptionValue(args, i, "--device", "a serial number");
  } else if (Is(a, "--baud")) {
    o.Baud = OptionValue(args, i, "--baud", "a value");
    if (*o.Baud != kBaudAuto) ParseBaudNumber(*o.Baud);
  } else if (a == "--clear-log") {
    o.ClearLog = true;
  } else if (a == "--yes") {
    o.Yes = true;
  } else if (a == "--force") {
    o.Force = true;
  } else if (a == "--erase") {
    o.Erase = true;
  } else {
    throw std::invalid_argument("unknown option " + a);
  }
}

}  // namespace

CliOptions ParseCliOptions(const std::vector<std::string>& args) {
  CliOptions o;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    // A single dash starts no option: "-odd-name.hex" is a file name.
    const bool option = !optionsEnded && (a.rfind("--", 0) == 0 || a == "-h");
    if (option && a == "--") {
      optionsEnded = true;
    } else if (option) {
      ParseOption(args, i, o);
    } else {
      o.Words.push_back(a);
    }
  }
  if (!o.Device.empty() && o.Simulator) throw std::invalid_argument("--device works only without --simulator");
  if (o.Trace && !o.Simulator) throw std::invalid_argument("--trace works only with --simulator");
  return o;
}

}  // namespace pw::cli
