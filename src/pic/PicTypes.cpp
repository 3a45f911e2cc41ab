#include "pic/PicTypes.h"

#include <charconv>
#include <cstdint>

namespace pw {

std::optional<std::int32_t> PicIniInteger(std::string_view text) {
  int base = 10;
  bool negative = false;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.starts_with("$")) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("-")) {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative) value = -value;
  // Hexadecimal values are 32-bit patterns: $FFFFFFFF is -1.
  if (base == 16 && value > 0x7FFFFFFF && value <= 0xFFFFFFFF) value -= 0x100000000;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

namespace {

std::int32_t Integer(const IniFile& ini, const std::string& type, const char* key, std::int32_t missing) {
  if (!ini.HasKey(type, key)) return missing;
  return PicIniInteger(ini.ReadString(type, key, "")).value_or(missing);
}

}  // namespace

PicTypeValues ReadPicType(const IniFile& ini, const std::string& type) {
  PicTypeValues v;
  v.FlashSize = Integer(ini, type, "FlashSize", 0);
  v.EepromSize = Integer(ini, type, "Eeprom", 0);
  v.ProgrammType = Integer(ini, type, "ProgrammType", 1);
  v.EnterType = Integer(ini, type, "EnterType", 0);
  v.EraseType = Integer(ini, type, "EraseType", 1);
  v.Osccal = Integer(ini, type, "Osccal", 0);
  v.ProgramMs = Integer(ini, type, "ProgramMs", 10);
  for (std::size_t n = 0; n < v.FusesNames.size(); ++n) {
    v.FusesNames[n] = ini.ReadString(type, "FusesNames[" + std::to_string(n) + "]", PicTypeValues::kNoName);
  }
  return v;
}

}  // namespace pw
