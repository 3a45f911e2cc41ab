#include "sim/SimChipFactory.h"

#include <array>
#include <sstream>

#include "sim/BenchValues.h"
#include "sim/SimAvr.h"
#include "sim/SimAvrFaults.h"
#include "sim/SimAvrParts.h"
#include "sim/SimEeprom24.h"
#include "sim/SimPic.h"
#include "sim/SimPic18.h"
#include "sim/SimPicParts.h"
#include "sim/SimSpiFlash.h"

namespace pw::sim {
namespace {

[[noreturn]] void UnknownPart(const IniFile& bench, const std::string& section) {
  BadBench("неизвестная микросхема \"" + bench.ReadString(section, "Part", "") + "\" в разделе [" + section + "]");
}

/// Hex bytes separated by blanks, exactly count of them; nothing when the key is missing.
std::optional<std::vector<std::uint8_t>> HexBytes(const IniFile& bench, const std::string& section,
                                                  const std::string& key, std::size_t count) {
  if (!bench.HasKey(section, key)) return std::nullopt;
  const std::string text = bench.ReadString(section, key, "");
  std::istringstream in(text);
  std::vector<std::uint8_t> bytes;
  std::string word;
  while (in >> word) {
    std::size_t used = 0;
    unsigned long value = 0;
    try {
      value = std::stoul(word, &used, 16);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used != word.size() || word.size() > 2 || value > 0xFF) break;
    bytes.push_back(static_cast<std::uint8_t>(value));
  }
  if (bytes.size() != count || in) {
    BadBenchSetting(section, key, text, std::to_string(count) + " байт в hex через пробел");
  }
  return bytes;
}

/// [AVR] Clock: the frequency (Hz) the board feeds an external clock or crystal setting; 0: none.
std::uint32_t BoardClock(const IniFile& bench, const std::string& section) {
  const std::string text = bench.ReadString(section, "Clock", "");
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
    BadBench("[" + section + "] Clock=" + text + " (нужна частота в герцах)");
  }
  return static_cast<std::uint32_t>(std::stoul(text));
}

/// BusyMs: how long the chip stays busy after each power-up.
SimTime PowerUpBusy(const IniFile& bench, const std::string& section) {
  return BenchNumber(bench.ReadString(section, "BusyMs", "0"), "[" + section + "] BusyMs", kMost32) * kPicosPerMilli;
}

}  // namespace

std::unique_ptr<SimAvrChip> MakeSimAvr(const IniFile& bench, const std::string& section) {
  const SimAvrPart* part = FindSimAvrPart(bench.ReadString(section, "Part", ""));
  if (!part) UnknownPart(bench, section);
  auto chip = std::make_unique<SimAvr>(*part);
  if (const auto fuses = HexBytes(bench, section, "Fuses", 3))
    chip->Core().SetFuses({(*fuses)[0], (*fuses)[1], (*fuses)[2]});
  if (const auto lock = HexBytes(bench, section, "Lock", 1)) chip->Core().SetLock((*lock)[0]);
  if (bench.HasKey(section, "Clock")) chip->SetBoardClock(BoardClock(bench, section));
  ApplySimAvrFaults(bench, section, *chip);
  return chip;
}

std::unique_ptr<SimPicChip> MakeSimPic(const IniFile& bench, const std::string& section) {
  const std::string name = bench.ReadString(section, "Part", "");
  if (const SimPic18Part* part18 = FindSimPic18Part(name)) return std::make_unique<SimPic18>(*part18);
  const SimPicPart* part = FindSimPicPart(name);
  if (!part) UnknownPart(bench, section);
  return std::make_unique<SimPic>(*part);
}

std::unique_ptr<SimI2cChip> MakeSimI2c(const IniFile& bench, const std::string& section) {
  const Eeprom24Part* part = FindEeprom24Part(bench.ReadString(section, "Part", ""));
  if (!part) UnknownPart(bench, section);
  auto chip = std::make_unique<SimEeprom24>(*part);
  if (BenchYesNo(bench, section, "HoldSda", false)) chip->HoldSdaAtPowerUp();
  chip->SetPowerUpBusy(PowerUpBusy(bench, section));
  return chip;
}

std::unique_ptr<SimSpiChip> MakeSimSpi(const IniFile& bench, const std::string& section) {
  const SimSpiFlashPart* part = FindSimSpiFlashPart(bench.ReadString(section, "Part", ""));
  if (!part) UnknownPart(bench, section);
  auto chip = std::make_unique<SimSpiFlash>(*part);
  if (const auto status = HexBytes(bench, section, "Status", 1)) chip->SetStatus((*status)[0] & part->ProtectBits);
  chip->SetPowerUpBusy(PowerUpBusy(bench, section));
  for (const BenchStuckCell& cell : BenchStuckCells(bench, section, part->Size)) {
    chip->StickBit(cell.Address, cell.Bit, cell.Level);
  }
  return chip;
}

}  // namespace pw::sim
