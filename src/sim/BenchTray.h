#pragma once
/// @file
/// The [Tray] section of a bench: which socket holds the tray, when each chip stands in it,
/// which chips are faulty, and the memory files of each chip ({n} in a file name is the chip's
/// number).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ini/IniFile.h"
#include "sim/SimChips.h"
#include "sim/SimTray.h"

namespace pw::sim {

struct BenchTray {
  /// The section of the socket's chips: "AVR", "PIC", "I2C" or "SPI".
  std::string Section;
  SimTraySchedule Schedule;
  /// Chip numbers (1-based) that take the keys of [TrayFaulty] first.
  std::vector<std::uint64_t> Faulty;

  /// The bench as chip n (1-based) sees its section: a faulty chip's carries [TrayFaulty] first.
  IniFile ChipBench(const IniFile& bench, std::uint32_t n) const;
  /// Refuses a memory key of the socket's section whose file would be shared by several chips.
  void CheckFiles(const IniFile& bench, const std::vector<SimMemory>& memories) const;
};

/// The tray a bench describes, or nothing without [Tray]; raises PinwrightError, naming key and
/// value, for a tray that cannot be.
std::optional<BenchTray> ReadBenchTray(const IniFile& bench);

/// A memory key's file name for chip n: every {n} replaced by the number.
std::string TrayChipFile(std::string name, std::uint32_t n);

}  // namespace pw::sim
