#pragma once
/// @file
/// A production job: what every chip of a run gets (the page, the chip type, the files, the
/// fuses) and how each is numbered, read from the job's INI file.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "production/ProductionRecord.h"
#include "production/SerialNumber.h"

namespace pw::production {

/// Where and how each chip's serial number is stamped.
struct SerialStamp {
  /// The memory the number goes into: "flash" or "eeprom" (avr), "program" or "data" (pic),
  /// "image" (i2c, spi).
  std::string Memory;
  /// Byte address in that memory (a PIC's word or data location).
  std::uint32_t Address = 0;
  SerialFormat Format;
  SerialPlan Plan;
};

struct ProductionJob {
  /// The job file itself; every file name below is already made relative to its folder.
  std::filesystem::path File;
  /// The job's name in the record.
  std::string Name;
  /// "avr", "pic", "i2c" or "spi".
  std::string Page;
  /// AVR: the part the signature must name; pic, i2c: the page's type; spi: unused.
  std::string Type;
  bool Erase = false;
  /// Input files; empty where the job gives none.
  std::filesystem::path Flash, Eeprom, Dump, Program, Data, Image;
  /// AVR fuse bytes "LOW HIGH EXT" and lock byte, as `avr write-fuses` takes them; PIC
  /// configuration as `pic write-config` takes it.
  std::string Fuses, Lock, Config;
  std::filesystem::path Database;
  std::optional<SerialStamp> Serial;
};

/// Reads and checks file; raises PinwrightError with one line naming the file, the key and its
/// value when the job cannot serve.
ProductionJob ReadProductionJob(const std::filesystem::path& file);

}  // namespace pw::production
