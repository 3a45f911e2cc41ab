#include "pic/PicTypes.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <utility>

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

// The numbers PIC.ini gives each method; pic/PicMethods.h says what they mean.
constexpr std::pair<std::int32_t, PicEntry> kEntries[] = {{0, PicEntry::MclrPulse}, {1, PicEntry::MclrPulse}};
constexpr std::pair<std::int32_t, PicProgramming> kProgrammings[] = {
    {1, PicProgramming::EraseProgram}, {2, PicProgramming::Baseline}, {3, PicProgramming::ProgramOnly}};
constexpr std::pair<std::int32_t, PicErase> kErases[] = {
    {1, PicErase::BulkAfterProgramCycle}, {2, PicErase::Bulk}, {3, PicErase::Bulk}, {4, PicErase::Chip}};

/// The method key gives in table; otherwise for a number the table does not hold.
template <typename Method, std::size_t N>
Method MethodOf(const IniFile& ini, const std::string& type, const char* key, std::int32_t missing,
                const std::pair<std::int32_t, Method> (&table)[N], Method otherwise) {
  const std::int32_t number = Integer(ini, type, key, missing);
  for (const auto& [n, method] : table) {
    if (n == number) return method;
  }
  return otherwise;
}

}  // namespace

PicTypeValues ReadPicType(const IniFile& ini, const std::string& type) {
  PicTypeValues v;
  v.FlashSize = Integer(ini, type, "FlashSize", 0);
  v.EepromSize = Integer(ini, type, "Eeprom", 0);
  v.ProgrammType = MethodOf(ini, type, "ProgrammType", 1, kProgrammings, PicProgramming::Unknown);
  v.EnterType = MethodOf(ini, type, "EnterType", 0, kEntries, PicEntry::Nothing);
  v.EraseType = MethodOf(ini, type, "EraseType", 1, kErases, PicErase::Nothing);
  v.Osccal = Integer(ini, type, "Osccal", 0);
  v.ProgramMs = Integer(ini, type, "ProgramMs", 10);
  v.DeviceId = Integer(ini, type, "DeviceId", 0);
  for (std::size_t n = 0; n < v.FusesNames.size(); ++n) {
    v.FusesNames[n] = ini.ReadString(type, "FusesNames[" + std::to_string(n) + "]", PicTypeValues::kNoName);
  }
  return v;
}

}  // namespace pw
