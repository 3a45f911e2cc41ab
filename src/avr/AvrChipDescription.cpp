#include "avr/AvrChipDescription.h"

#include <algorithm>

#include "common/HexDigits.h"

namespace pw {
namespace {

// Word addresses of the flash instructions and byte addresses of the EEPROM ones are 16 bits.
constexpr std::int64_t kAddressableWords = 65536;
constexpr std::int64_t kAddressableBytes = 65536;

std::string FaultLine(const std::string& section, const std::string& what) {
  return "Ошибка в chips.ini, раздел [" + section + "]: " + what;
}

std::optional<std::string> OutOfRange(const std::string& section, const char* key, std::int64_t value, std::int64_t low,
                                      std::int64_t high) {
  if (value >= low && value <= high) return std::nullopt;
  return FaultLine(section, std::string(key) + "=" + std::to_string(value) + ", допустимо от " + std::to_string(low) +
                                " до " + std::to_string(high));
}

std::optional<std::string> TooLarge(const std::string& section, const char* what, std::int64_t size,
                                    std::int64_t most) {
  if (size <= most) return std::nullopt;
  return FaultLine(section,
                   std::string(what) + " " + std::to_string(size) + ", допустимо не больше " + std::to_string(most));
}

std::optional<std::string> FlashFault(const AvrChipDescription& chip, const std::string& section) {
  if (auto fault = OutOfRange(section, "FlashPageSize", chip.FlashPageSize, 1, AVRUtils::kMaxFlashWriteWords))
    return fault;
  return TooLarge(section, "объём флеши в словах", chip.FlashWords(), kAddressableWords);
}

std::optional<std::string> EepromFault(const AvrChipDescription& chip, const std::string& section) {
  if (auto fault = OutOfRange(section, "EepromPagesCount", chip.EepromPagesCount, 0, kAddressableBytes)) return fault;
  if (chip.EepromPagesCount == 0) return std::nullopt;
  if (auto fault = OutOfRange(section, "EepromPageSize", chip.EepromPageSize, 1, AVRUtils::kMaxEepromWriteBytes)) {
    return fault;
  }
  return TooLarge(section, "объём EEPROM в байтах", chip.EepromBytes(), kAddressableBytes);
}

// A write delay beyond a second is a typing mistake, not a chip.
constexpr std::int64_t kLongestDelayMs = 1000;

std::optional<std::string> DelayFault(const AvrChipDescription& chip, const std::string& section) {
  const std::pair<const char*, std::int64_t> delays[] = {{"FlashPageDelayMs", chip.FlashPageDelayMs},
                                                         {"EepromDelayMs", chip.EepromDelayMs},
                                                         {"EraseDelayMs", chip.EraseDelayMs},
                                                         {"FuseDelayMs", chip.FuseDelayMs}};
  for (const auto& [key, value] : delays) {
    if (auto fault = OutOfRange(section, key, value, 1, kLongestDelayMs)) return fault;
  }
  return std::nullopt;
}

std::uint32_t AtLeast(std::uint32_t minimum, std::int64_t ms) {
  return std::max(minimum, static_cast<std::uint32_t>(std::clamp<std::int64_t>(ms, 0, kLongestDelayMs)));
}

}  // namespace

std::string SignatureText(std::uint8_t s0, std::uint8_t s1, std::uint8_t s2) {
  return "0x" + HexDigits(s0, 2) + " 0x" + HexDigits(s1, 2) + " 0x" + HexDigits(s2, 2);
}

AvrChipDescription ReadChipDescription(const IniFile& chips, const std::string& section) {
  AvrChipDescription chip;
  chip.Chip = chips.ReadString(section, "Chip", kUnknownChip);
  for (int n = 0; n < kFuseBitCount; ++n) {
    chip.FusesNames[static_cast<std::size_t>(n)] =
        chips.ReadString(section, "FusesNames[" + std::to_string(n) + "]", kNoFuseName);
  }
  chip.FlashPageSize = chips.ReadInteger(section, "FlashPageSize", 0);
  chip.FlashPagesCount = chips.ReadInteger(section, "FlashPagesCount", 0);
  chip.EepromPageSize = chips.ReadInteger(section, "EepromPageSize", 0);
  chip.EepromPagesCount = chips.ReadInteger(section, "EepromPagesCount", 0);
  chip.EepromByteWrite = chips.ReadInteger(section, "EepromByteWrite", 0) != 0;
  chip.FlashPageDelayMs = chips.ReadInteger(section, "FlashPageDelayMs", chip.FlashPageDelayMs);
  chip.EepromDelayMs = chips.ReadInteger(section, "EepromDelayMs", chip.EepromDelayMs);
  chip.EraseDelayMs = chips.ReadInteger(section, "EraseDelayMs", chip.EraseDelayMs);
  chip.FuseDelayMs = chips.ReadInteger(section, "FuseDelayMs", chip.FuseDelayMs);
  chip.InternalClockKHz = chips.ReadString(section, "InternalClockKHz", "");
  return chip;
}

AvrWriteDelays WriteDelays(const AvrChipDescription& chip) {
  return {.FlashPageMs = AtLeast(AVRUtils::kPageWaitMs, chip.FlashPageDelayMs),
          .EepromMs = AtLeast(AVRUtils::kPageWaitMs, chip.EepromDelayMs),
          .EraseMs = AtLeast(AVRUtils::kEraseWaitMs, chip.EraseDelayMs),
          .FuseMs = AtLeast(AVRUtils::kFuseWaitMs, chip.FuseDelayMs)};
}

std::optional<std::string> DescriptionFault(const AvrChipDescription& chip, const std::string& section) {
  if (auto fault = OutOfRange(section, "FlashPagesCount", chip.FlashPagesCount, 0, kAddressableWords)) return fault;
  if (chip.FlashPagesCount == 0) return std::nullopt;
  if (auto fault = FlashFault(chip, section)) return fault;
  if (auto fault = EepromFault(chip, section)) return fault;
  return DelayFault(chip, section);
}

}  // namespace pw
