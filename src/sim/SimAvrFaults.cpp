#include "sim/SimAvrFaults.h"

#include <optional>
#include <vector>

#include "sim/BenchValues.h"

namespace pw::sim {
namespace {

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

/// A flash cell that always reads one level.
struct StuckCell {
  std::uint32_t Address;
  int Bit;
  bool Level;
};

/// One StuckFlash entry ADDR:BIT:LEVEL, or nothing when it is malformed or outside the flash.
std::optional<StuckCell> ParseStuckCell(const std::string& cell, std::size_t flashBytes) {
  const auto parts = SplitList(cell, ':');
  if (parts.size() != 3) return std::nullopt;
  const auto address = Number(parts[0], 16);
  const auto bit = Number(parts[1], 10);
  const auto level = Number(parts[2], 10);
  if (!address || !bit || !level || *address >= flashBytes || *bit > 7 || *level > 1) return std::nullopt;
  return StuckCell{static_cast<std::uint32_t>(*address), static_cast<int>(*bit), *level == 1};
}

void ApplyStuckFlash(const IniFile& bench, const std::string& section, SimAvr& chip) {
  const std::string value = bench.ReadString(section, "StuckFlash", "");
  for (const std::string& entry : SplitList(value, ',')) {
    const auto cell = ParseStuckCell(entry, chip.Core().Flash.size());
    if (!cell) {
      BadBenchSetting(section, "StuckFlash", value,
                      "АДРЕС:БИТ:УРОВЕНЬ, адрес байта флеши в hex, бит 0..7, уровень 0 или 1");
    }
    chip.Core().StickFlashBit(cell->Address, cell->Bit, cell->Level);
  }
}

}  // namespace

void ApplySimAvrFaults(const IniFile& bench, const std::string& section, SimAvr& chip) {
  ApplyStuckFlash(bench, section, chip);
  if (BenchYesNo(bench, section, "DamagedSignature", false)) chip.DamageSignature();
  if (!bench.HasKey(section, "SilentAfter")) return;
  const std::string value = bench.ReadString(section, "SilentAfter", "");
  const auto bytes = Number(value, 10);
  if (!bytes) BadBenchSetting(section, "SilentAfter", value, "число байт");
  chip.FallSilentAfter(*bytes);
}

}  // namespace pw::sim
