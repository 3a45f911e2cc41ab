#include "avr/AvrChipDescription.h"

#include <algorithm>
#include <iterator>
#include <sstream>

#include "avr/AvrTexts.h"
#include "common/HexDigits.h"

namespace pw {
namespace {

// Flash word addresses are 16 bits and the extended address byte; EEPROM byte addresses 16 bits.
constexpr std::int64_t kAddressableWords = std::int64_t{1} << 24;
constexpr std::int64_t kAddressableBytes = 65536;
constexpr std::int64_t kMostFlashPages = 65536;
// Every AVR has the lock-mode bits; no lock bit lies above the boot-lock fields.
constexpr std::uint8_t kLockModeBits = 0x03;

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

/// The keys read as numbers; a section must give the first two, the others have defaults.
constexpr const char* kNumberKeys[] = {"FlashPageSize",    "FlashPagesCount", "EepromPageSize",
                                       "EepromPagesCount", "EepromByteWrite", "FlashPageDelayMs",
                                       "EepromDelayMs",    "EraseDelayMs",    "FuseDelayMs"};
constexpr std::size_t kRequiredNumberKeys = 2;

/// A whole number as ReadInteger reads one: an optional sign, decimal digits or 0x and hex digits,
/// and nothing after them.
bool IsNumber(const std::string& text) {
  const std::size_t sign = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  const bool hex = text.size() > sign + 2 && text[sign] == '0' && (text[sign + 1] == 'x' || text[sign + 1] == 'X');
  const std::size_t first = sign + (hex ? 2 : 0);
  const char* digits = hex ? "0123456789abcdefABCDEF" : "0123456789";
  // Beyond 15 digits no description value fits in range; ReadInteger would saturate it.
  return text.size() > first && text.size() - first <= 15 && text.find_first_not_of(digits, first) == std::string::npos;
}

/// InternalClockKHz: blank-separated CKSEL:KHZ pairs, the code in binary digits, the kHz above 0.
bool IsClockList(const std::string& text) {
  std::istringstream in(text);
  for (std::string pair; in >> pair;) {
    const auto colon = pair.find(':');
    if (colon == std::string::npos || colon == 0 || pair.find_first_not_of("01") < colon) return false;
    const std::string khz = pair.substr(colon + 1);
    if (khz.empty() || khz.size() > 9 || khz.find_first_not_of("0123456789") != std::string::npos ||
        std::stoll(khz) == 0)
      return false;
  }
  return true;
}

/// A key that is missing where it is needed, or whose value is no number (or no clock list).
std::optional<std::string> ValueFault(const IniFile& chips, const std::string& section) {
  for (std::size_t i = 0; i < std::size(kNumberKeys); ++i) {
    const char* key = kNumberKeys[i];
    if (!chips.HasKey(section, key)) {
      if (i < kRequiredNumberKeys) return FaultLine(section, std::string(key) + " не задан");
      continue;
    }
    const std::string text = chips.ReadString(section, key, "");
    if (!IsNumber(text)) return FaultLine(section, std::string(key) + "=" + text + ", нужно целое число");
  }
  const std::string clocks = chips.ReadString(section, "InternalClockKHz", "");
  if (IsClockList(clocks)) return std::nullopt;
  return FaultLine(section, "InternalClockKHz=" + clocks + ", нужны пары КОД:КГЦ, код из 0 и 1, частота больше 0");
}

/// LockBits as a mask: one or two hex digits; nothing for any other text.
std::optional<std::uint8_t> LockMask(const std::string& text) {
  if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    return std::nullopt;
  return static_cast<std::uint8_t>(std::stoi(text, nullptr, 16));
}

std::optional<std::string> LockBitsFault(const IniFile& chips, const std::string& section) {
  if (!chips.HasKey(section, "LockBits")) return std::nullopt;
  const std::string text = chips.ReadString(section, "LockBits", "");
  const auto mask = LockMask(text);
  if (mask && (*mask & kLockModeBits) == kLockModeBits && (*mask & ~kAllLockBits) == 0) return std::nullopt;
  return FaultLine(section, "LockBits=" + text + ", " + texts::kAvrLockBitsWanted);
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
  chip.LockBits = LockMask(chips.ReadString(section, "LockBits", "")).value_or(kAllLockBits);
  return chip;
}

std::uint8_t AvrChipDescription::FuseBits(int which) const {
  std::uint8_t bits = 0;
  for (int k = 0; k < 8; ++k) {
    if (FusesNames[static_cast<std::size_t>(8 * which + k)] != kNoFuseName)
      bits = static_cast<std::uint8_t>(bits | (1u << k));
  }
  return bits;
}

AvrWriteDelays WriteDelays(const AvrChipDescription& chip) {
  return {.FlashPageMs = AtLeast(AVRUtils::kPageWaitMs, chip.FlashPageDelayMs),
          .EepromMs = AtLeast(AVRUtils::kPageWaitMs, chip.EepromDelayMs),
          .EraseMs = AtLeast(AVRUtils::kEraseWaitMs, chip.EraseDelayMs),
          .FuseMs = AtLeast(AVRUtils::kFuseWaitMs, chip.FuseDelayMs)};
}

std::optional<std::string> DescriptionFault(const AvrChipDescription& chip, const std::string& section) {
  if (auto fault = OutOfRange(section, "FlashPagesCount", chip.FlashPagesCount, 1, kMostFlashPages)) return fault;
  if (auto fault = FlashFault(chip, section)) return fault;
  if (auto fault = EepromFault(chip, section)) return fault;
  return DelayFault(chip, section);
}

std::optional<std::string> ChipsIniFault(const IniFile& chips) {
  for (const std::string& section : chips.SectionNames()) {
    if (auto fault = ValueFault(chips, section)) return fault;
    const std::int64_t byteWrite = chips.ReadInteger(section, "EepromByteWrite", 0);
    if (auto fault = OutOfRange(section, "EepromByteWrite", byteWrite, 0, 1)) return fault;
    if (auto fault = LockBitsFault(chips, section)) return fault;
    if (auto fault = DescriptionFault(ReadChipDescription(chips, section), section)) return fault;
  }
  return std::nullopt;
}

}  // namespace pw
