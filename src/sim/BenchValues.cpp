#include "sim/BenchValues.h"

#include <charconv>
#include <optional>
#include <sstream>

#include "common/Error.h"

namespace pw::sim {

void BadBench(const std::string& what) { throw PinwrightError("Ошибка в файле стенда: " + what); }

void BadBenchSetting(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& expected) {
  BadBench("[" + section + "] " + key + "=" + value + " (нужно " + expected + ")");
}

bool BenchYesNo(const IniFile& ini, const std::string& section, const std::string& key, bool def) {
  const std::string v = ini.ReadString(section, key, def ? "yes" : "no");
  if (SameName(v, "yes") || v == "1" || SameName(v, "true")) return true;
  if (SameName(v, "no") || v == "0" || SameName(v, "false")) return false;
  BadBenchSetting(section, key, v, "yes или no");
}

std::uint64_t BenchNumber(const std::string& text, const std::string& where, std::uint64_t most) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) BadBench(where + ": " + text);
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || value > most) {
    BadBench(where + "=" + text + " (число вне пределов 0.." + std::to_string(most) + ")");
  }
  return value;
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, separator)) {
    const auto first = part.find_first_not_of(" \t");
    if (first != std::string::npos) parts.push_back(part.substr(first, part.find_last_not_of(" \t") - first + 1));
  }
  return parts;
}

std::optional<std::uint64_t> BenchDigits(const std::string& text, int base) {
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

namespace {

/// One StuckFlash entry ADDR:BIT:LEVEL, or nothing when it is malformed or outside the flash.
std::optional<BenchStuckCell> ParseStuckCell(const std::string& cell, std::size_t flashBytes) {
  const auto parts = SplitList(cell, ':');
  if (parts.size() != 3) return std::nullopt;
  const auto address = BenchDigits(parts[0], 16);
  const auto bit = BenchDigits(parts[1], 10);
  const auto level = BenchDigits(parts[2], 10);
  if (!address || !bit || !level || *address >= flashBytes || *bit > 7 || *level > 1) return std::nullopt;
  return BenchStuckCell{static_cast<std::uint32_t>(*address), static_cast<int>(*bit), *level == 1};
}

}  // namespace

std::vector<BenchStuckCell> BenchStuckCells(const IniFile& ini, const std::string& section, std::size_t flashBytes) {
  const std::string value = ini.ReadString(section, "StuckFlash", "");
  std::vector<BenchStuckCell> cells;
  for (const std::string& entry : SplitList(value, ',')) {
    const auto cell = ParseStuckCell(entry, flashBytes);
    if (!cell) {
      BadBenchSetting(section, "StuckFlash", value,
                      "АДРЕС:БИТ:УРОВЕНЬ, адрес байта флеши в hex, бит 0..7, уровень 0 или 1");
    }
    cells.push_back(*cell);
  }
  return cells;
}

}  // namespace pw::sim
