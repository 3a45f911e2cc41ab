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

void ApplyStuckFlash(const IniFile& bench, const std::string& section, SimAvr& chip) {
  for (const BenchStuckCell& cell : BenchStuckCells(bench, section, chip.Core().Flash.size())) {
    chip.Core().StickFlashBit(cell.Address, cell.Bit, cell.Level);
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
