#include "sim/SimAvrFaults.h"

#include <optional>
#include <vector>

#include "sim/BenchValues.h"

namespace pw::sim {
namespace {

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
  const auto bytes = BenchDigits(value, 10);
  if (!bytes) BadBenchSetting(section, "SilentAfter", value, "число байт");
  chip.FallSilentAfter(*bytes);
}

}  // namespace pw::sim
