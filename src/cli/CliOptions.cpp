#include "cli/CliOptions.h"

#include <stdexcept>
#include <utility>

#include "app/SpeedList.h"
#include "cli/NameMatch.h"

#ifndef PINWRIGHT_VERSION
#error "PINWRIGHT_VERSION comes from the project version in CMakeLists.txt"
#endif

namespace pw::cli {

namespace {

constexpr const char* kUsage =
    R"(pinwright-cli [--simulator[=BENCH]] [--trace FILE] [--device SERIAL] [--baud N|auto] [--clear-log] [--yes] [--force] [--erase] PAGE [TYPE] OPERATION [ARGS] [OPERATION [ARGS]]...
  avr identify | read-fuses | erase | reset
      | read-flash FILE | write-flash FILE | read-eeprom FILE | write-eeprom FILE
      | write-fuses LOW HIGH EXT LOCK          (hex bytes; asks unless --yes; risky fuses: --force)
      | verify-flash FILE | verify-eeprom FILE | blank-check
  pic TYPE read-config | write-config CONFIG | erase   (CONFIG: XXXX, XXXX,XXXX or a PIC18's 14 bytes XX,...)
      | read-dump FILE | write-dump FILE | write-flash FILE | write-eeprom FILE | verify FILE
  i2c TYPE read FILE | write FILE | erase | verify FILE
  i2c scan                                     (lists the device addresses that answer)
  settings read | write CBUS CURRENT USB CLOCK | defaults
  spi identify | read FILE | write FILE | erase | verify FILE   (FILE: .hex or .bin; erase asks unless --yes)
pinwright-cli [options] produce JOB [--count N]
      a production run of the job file JOB: chip after chip, wait for it ("вставьте
      микросхему"), give it the next serial number and its row in the job's record, program it
      with the number stamped, print passed or failed with the count, wait until it is taken
      out; Ctrl-C stops after the chip being programmed. --count N: stop after N passed chips
pinwright-cli report JOB [--csv FILE]
      the summary of the job's record; --csv FILE also writes its rows there
pinwright-cli list avr|pic|i2c|spi [TEXT]
      the types chips.ini, PIC.ini, I2C_E.ini or SpiFlash.ini knows, one per line: name, sizes,
      signature / device ID / JEDEC ID; TEXT keeps those whose name holds it (any case);
      none to show: a line on standard error and status 1
pinwright-cli selftest
      checks the programmer itself, with or without a chip on the headers, changing nothing:
      its EEPROM (checksum, vendor and product IDs, description, serial) and each data line
      driven low and high; a table of what it found; status 0 all well, 2 a fault found,
      1 the programmer cannot be opened

Several operations of one page run in one invocation, in the order given: every file is
loaded and every check that needs no chip is made first, then the programmer is opened and
the chip identified once, every question is asked, and the operations run; the first that
fails ends the run. Each operation takes the arguments shown, so the word after them names
the next operation, e.g.
  pinwright-cli avr write-flash fw.hex write-eeprom data.hex write-fuses E2 D9 FF FF
  pinwright-cli --erase avr write-flash fw.hex verify-eeprom data.hex

  --simulator[=BENCH]  run on the virtual programmer (the built-in bench without BENCH)
  --trace FILE         with --simulator: write every sample's line levels to FILE
  --device SERIAL      use the real programmer with this serial number (several on one host)
  --baud N             this run's baud value instead of the eighth line of speed.txt (300..3000000)
  --baud auto          AVR: find the fastest clock the chip takes and work at half of it
  --clear-log          accepted for older scripts: every log line is printed anyway
  --yes                answer Yes to the questions an operation asks
  --force              with --yes: also write fuses that can lock the programmer out, and work
                       on a PIC whose device ID is not the type's
  --erase              avr, with write-flash: erase the chip first ("Стереть чип")
  --count N            produce: stop after N chips have passed
  --csv FILE           report: also write the job's rows as CSV to FILE
  --format hex|bin|elf формат всех файлов команды, что бы ни говорило их имя
  --version            print the version
  --help               print this

Options may stand anywhere on the line; after -- every word belongs to the command.
Page, operation and type names match in any case.
Without --simulator the real FT232R programmer is used (libftdi1);
PINWRIGHT_FTDI_LOCKSTEP=1 makes it exchange 128 samples at a time instead of streaming.
A FILE ending in .bin is a raw binary image, any other an Intel HEX file.
FILE .bin, .rom, .img, .raw (в любом регистре) — двоичный образ; .elf — файл ELF
от avr-gcc (avr: флеш из .text и .data, EEPROM из .eeprom); прочие — Intel HEX.
FILE "-" — стандартный ввод или вывод, в формате HEX, если нет --format; журнал
тогда идёт в стандартный поток ошибок. Файл с именем "-" задаётся как ./-
Log lines go to standard output, error reports to standard error, and on a terminal a
progress line for each step to standard error.
Exit status: 0 success, 1 an error report, 2 the target failed (verify mismatch, no answer), 64 usage,
130 stopped by Ctrl-C between pages (143 by SIGTERM, 129 by SIGHUP).
produce: 0 after --count passed chips, or after a stop between chips without --count; 128 + the
signal for a stop before --count chips passed; 1 when the job, a file, the record or the
programmer cannot serve. Failed chips are in the record, not in the status.
)";

}  // namespace

const char* CliUsage() { return kUsage; }

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

/// The options that only switch something on.
constexpr std::pair<const char*, bool CliOptions::*> kFlags[] = {
    {"--help", &CliOptions::Help},          {"-h", &CliOptions::Help},
    {"--version", &CliOptions::Version},    {"--simulator", &CliOptions::Simulator},
    {"--clear-log", &CliOptions::ClearLog}, {"--yes", &CliOptions::Yes},
    {"--force", &CliOptions::Force},        {"--erase", &CliOptions::Erase},
};

/// --count's value: a whole number of chips, at least one.
std::int64_t ParseCount(const std::string& text) {
  const bool digits = text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || std::stol(text) < 1)
    throw std::invalid_argument("--count needs a number from 1 to 999999999, not " + text);
  return std::stol(text);
}

/// --format's value: hex, bin or elf, in any case.
FileFormat ParseFormat(const std::string& text) {
  constexpr std::pair<const char*, FileFormat> kFormats[] = {
      {"hex", FileFormat::Hex}, {"bin", FileFormat::Binary}, {"elf", FileFormat::Elf}};
  for (const auto& [name, format] : kFormats) {
    if (SameName(text, name)) return format;
  }
  throw std::invalid_argument("--format: нужно hex, bin или elf, а не " + text);
}

void ParseOption(const std::vector<std::string>& args, std::size_t& i, CliOptions& o) {
  const std::string& a = args[i];
  for (const auto& [name, flag] : kFlags) {
    if (a == name) return void(o.*flag = true);
  }
  if (a.rfind("--simulator=", 0) == 0) {
    o.Simulator = true;
    o.Bench = a.substr(12);
    if (o.Bench->empty()) throw std::invalid_argument("--simulator= needs a bench file");
  } else if (Is(a, "--trace")) {
    o.Trace = OptionValue(args, i, "--trace", "a file");
  } else if (Is(a, "--device")) {
    o.Device = OptionValue(args, i, "--device", "a serial number");
  } else if (Is(a, "--count")) {
    o.Count = ParseCount(OptionValue(args, i, "--count", "a number of chips"));
  } else if (Is(a, "--csv")) {
    o.Csv = OptionValue(args, i, "--csv", "a file");
  } else if (Is(a, "--format")) {
    o.Format = ParseFormat(OptionValue(args, i, "--format", "hex, bin or elf"));
  } else if (Is(a, "--baud")) {
    o.Baud = OptionValue(args, i, "--baud", "a value");
    if (*o.Baud != kBaudAuto) ParseBaudNumber(*o.Baud);
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
