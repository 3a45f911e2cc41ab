#include "sim/SimAvrFaults.h"

#include <optional>
#include <sstream>
#include <vector>

#include "common/Error.h"

namespace pw::sim {
namespace {

[[noreturn]] void BadSetting(const std::string& section, const std::string& key, const std::string& value,
                             const char* expected) {
  throw PinwrightError("Ошибка в файле стенда: [" + section + "] " + key + "=" + value + " (нужно " + expected + ")");
}

/// The whole of text as a number in base, or nothing.
std::optional<unsigned long long> Number(const std::string& text, int base) {
  if (text.empty()) return std::nullopt;
  std::size_t used = 0;
  try {
    const unsigned long long value = std::stoull(text, &used, base);
    if (used == text.size() && text.find_first_of("+- ") == std::string::npos) return value;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, separator)) {
    const auto first = part.find_first_not_of(" \t");
    if (first != std::string::npos) parts.push_back(part.substr(first, part.find_last_not_of(" \t") - first + 1));
  }
  return parts;
}

void ApplyStuckFlash(const IniFile& bench, const std::string& section, SimAvr& chip) {
  const std::string value = bench.ReadString(section, "StuckFlash", "");
  const std::size_t flashBytes = chip.Core().Flash.size();
  for (const std::string& cell : Split(value, ',')) {
    const auto parts = Split(cell, ':');
    const auto address = parts.size() == 3 ? Number(parts[0], 16) : std::nullopt;
    const auto bit = parts.size() == 3 ? Number(parts[1], 10) : std::nullopt;
    const auto level = parts.size() == 3 ? Number(parts[2], 10) : std::nullopt;
    if (!address || !bit || !level || *address >= flashBytes || *bit > 7 || *level > 1) {
      BadSetting(section, "StuckFlash", value, "АДРЕС:БИТ:УРОВЕНЬ, адрес байта флеши в hex, бит 0..7, уровень 0 или 1");
    }
    chip.Core().StickFlashBit(static_cast<std::uint32_t>(*address), static_cast<int>(*bit), *level == 1);
  }
}

}  // namespace

void ApplySimAvrFaults(const IniFile& bench, const std::string& section, SimAvr& chip) {
  ApplyStuckFlash(bench, section, chip);
  if (!bench.HasKey(section, "SilentAfter")) return;
  const std::string value = bench.ReadString(section, "SilentAfter", "");
  const auto bytes = Number(value, 10);
  if (!bytes) BadSetting(section, "SilentAfter", value, "число байт");
  chip.FallSilentAfter(*bytes);
}

}  // namespace pw::sim
