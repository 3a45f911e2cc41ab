#pragma once
/// @file
/// What the readers of a bench file share: the error a bad setting raises, and the lists its
/// values hold ("a, b, c", "x:y:z").

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ini/IniFile.h"

namespace pw::sim {

/// Raises PinwrightError for a mistake in the bench file; what says where and what it is.
[[noreturn]] void BadBench(const std::string& what);

/// The setting key=value of [section] is malformed; expected says what it should be.
[[noreturn]] void BadBenchSetting(const std::string& section, const std::string& key, const std::string& value,
                                  const std::string& expected);

/// The yes/no setting key of [section] (yes, 1, true or no, 0, false in any case), def when it is
/// not there; anything else is refused.
bool BenchYesNo(const IniFile& ini, const std::string& section, const std::string& key, bool def);
/// The largest 32-bit count or status a bench may give.
inline constexpr std::uint64_t kMost32 = 0xFFFFFFFFu;

/// A decimal number from 0 to most; anything else is a mistake in the file (named by where, such
/// as "[Timing] LatencyUs"), never a wrapped value.
std::uint64_t BenchNumber(const std::string& text, const std::string& where, std::uint64_t most);

/// The whole of text as an unsigned number in base (no sign, no blanks, no prefix), or nothing.
std::optional<std::uint64_t> BenchDigits(const std::string& text, int base);

/// The entries of text between separators, blanks around them dropped; empty entries are left out.
std::vector<std::string> SplitList(const std::string& text, char separator);

/// A flash cell that always reads one level.
struct BenchStuckCell {
  std::uint32_t Address;
  int Bit;
  bool Level;
};
/// The cells StuckFlash=ADDR:BIT:LEVEL, ... of [section] names (ADDR a byte address in hex below
/// flashBytes, BIT 0..7, LEVEL 0 or 1); a malformed entry is refused.
std::vector<BenchStuckCell> BenchStuckCells(const IniFile& ini, const std::string& section, std::size_t flashBytes);

}  // namespace pw::sim
