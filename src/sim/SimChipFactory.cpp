#include "sim/SimChipFactory.h"

#include "common/Error.h"
#include "sim/SimEeprom24.h"

namespace pw::sim {
namespace {

[[noreturn]] void UnknownPart(const IniFile& bench, const std::string& section) {
  throw PinwrightError("Ошибка в файле стенда: неизвестная микросхема \"" + bench.ReadString(section, "Part", "") +
                       "\" в разделе [" + section + "]");
}

}  // namespace

std::unique_ptr<SimAvrChip> MakeSimAvr(const IniFile& bench, const std::string& section) { UnknownPart(bench, section); }

std::unique_ptr<SimPicChip> MakeSimPic(const IniFile& bench, const std::string& section) { UnknownPart(bench, section); }

std::unique_ptr<SimI2cChip> MakeSimI2c(const IniFile& bench, const std::string& section) {
  const Eeprom24Part* part = FindEeprom24Part(bench.ReadString(section, "Part", ""));
  if (!part) UnknownPart(bench, section);
  return std::make_unique<SimEeprom24>(*part);
}

}  // namespace pw::sim
