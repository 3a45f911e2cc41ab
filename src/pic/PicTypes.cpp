#include "pic/PicTypes.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "ini/IniKeyProblem.h"
#include "pic/Pic18Protocol.h"
#include "pic/PicFiles.h"

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

// The numbers PIC.ini gives each method; pic/PicMethods.h says what they mean.
constexpr std::pair<std::int32_t, PicEntry> kEntries[] = {{0, PicEntry::MclrPulse}, {1, PicEntry::MclrPulse}};
constexpr std::pair<std::int32_t, PicProgramming> kProgrammings[] = {{1, PicProgramming::EraseProgram},
                                                                     {2, PicProgramming::Baseline},
                                                                     {3, PicProgramming::ProgramOnly},
                                                                     {4, PicProgramming::ExternallyTimed},
                                                                     {5, PicProgramming::LatchedProgramOnly},
                                                                     {6, PicProgramming::LatchedExternal},
                                                                     {7, PicProgramming::Pic18}};
constexpr std::pair<std::int32_t, PicErase> kErases[] = {
    {1, PicErase::BulkAfterProgramCycle}, {2, PicErase::Bulk},    {3, PicErase::Bulk}, {4, PicErase::Chip},
    {5, PicErase::BulkFromConfig},        {6, PicErase::Pic18Key}};
/// Write-latch sizes: a latch block must start where the 16-word write blocks do.
constexpr std::pair<std::int32_t, std::int32_t> kLatchSizes[] = {{1, 1}, {2, 2}, {4, 4}, {8, 8}, {16, 16}};
/// ProgrammType's number of the PIC18 parts: their sizes and IDs have wider bounds.
constexpr std::int32_t kPic18Programming = 7;
/// ProgramMs beyond this is no self-timed cycle of a PIC but a slip of the pen.
constexpr std::int32_t kMostProgramMs = 1000;

/// The cycle waits that fall back to ProgramMs when missing.
constexpr std::pair<const char*, std::int32_t PicTypeValues::*> kCycleKeys[] = {
    {"EraseProgramMs", &PicTypeValues::EraseProgramMs},
    {"ProgramOnlyMs", &PicTypeValues::ProgramOnlyMs},
    {"DataMs", &PicTypeValues::DataMs}};

/// One section read key by key; the first unusable value becomes the type's Problem.
class PicTypeReader {
 public:
  PicTypeReader(const IniFile& ini, const std::string& type, std::string& problem)
      : ini_(ini), type_(type), problem_(problem) {}

  /// The key's number in least .. most; missing when the key is missing or unusable.
  std::int32_t Number(const char* key, std::int32_t missing, std::int32_t least, std::int32_t most) {
    if (!ini_.HasKey(type_, key)) return missing;
    const std::string text = ini_.ReadString(type_, key, "");
    const auto value = PicIniInteger(text);
    if (value && *value >= least && *value <= most) return *value;
    Bad(key, text, "нужно число от " + std::to_string(least) + " до " + std::to_string(most));
    return missing;
  }

  /// The method the key's number names in table (missing: the number when the key is missing);
  /// otherwise for anything else.
  template <typename Method, std::size_t N>
  Method MethodOf(const char* key, std::int32_t missing, const std::pair<std::int32_t, Method> (&table)[N],
                  Method otherwise) {
    const std::string text = ini_.ReadString(type_, key, std::to_string(missing));
    const auto number = PicIniInteger(text);
    std::string known;
    for (const auto& [n, method] : table) {
      if (n == number) return method;
      known += (known.empty() ? "" : ", ") + std::to_string(n);
    }
    Bad(key, text, "известны " + known);
    return otherwise;
  }

  /// Sets the Problem naming key when ok is false.
  void Require(bool ok, const char* key, const std::string& need) {
    if (!ok) Bad(key, ini_.ReadString(type_, key, ""), need);
  }

  /// The key's number, which must be a power of two in least .. most; 0 (and the Problem) otherwise.
  std::int32_t PowerOfTwo(const char* key, std::int32_t least, std::int32_t most) {
    const std::string text = ini_.ReadString(type_, key, "");
    const auto value = PicIniInteger(text);
    if (value && *value >= least && *value <= most && (*value & (*value - 1)) == 0) return *value;
    Bad(key, text, "нужна степень двойки от " + std::to_string(least) + " до " + std::to_string(most));
    return 0;
  }

 private:
  void Bad(const char* key, const std::string& text, const std::string& need) {
    if (problem_.empty()) problem_ = IniKeyProblem(kPicTypesFile, type_, key, text, need);
  }

  const IniFile& ini_;
  const std::string& type_;
  std::string& problem_;
};

}  // namespace

PicTypeValues ReadPicType(const IniFile& ini, const std::string& type) {
  PicTypeValues v;
  PicTypeReader r(ini, type, v.Problem);
  // PIC18 parts address bytes, so their sizes and IDs are not held to the mid-range layout's bounds.
  const bool pic18 = PicIniInteger(ini.ReadString(type, "ProgrammType", "")) == kPic18Programming;
  v.FlashSize = r.Number("FlashSize", 0, 1, pic18 ? pic18::kPic18MostProgramWords : kPicMostProgramWords);
  v.EepromSize = r.Number("Eeprom", 0, 0, kPicMostDataLocations);
  v.ProgrammType = r.MethodOf("ProgrammType", 1, kProgrammings, PicProgramming::Unknown);
  v.EnterType = r.MethodOf("EnterType", 0, kEntries, PicEntry::Nothing);
  v.EraseType = r.MethodOf("EraseType", 1, kErases, PicErase::Nothing);
  v.WriteLatch = r.MethodOf("WriteLatch", 1, kLatchSizes, std::int32_t{1});
  // The PIC18 erase and programming serve only each other.
  r.Require(pic18 == (v.EraseType == PicErase::Pic18Key), "EraseType",
            pic18 ? "нужно 6" : "6 только при ProgrammType=7");
  // The calibration word is a program word: 0 (none) up to the last one.
  v.Osccal = r.Number("Osccal", 0, 0, std::max(v.FlashSize - 1, 0));
  // Band-gap bits sit in the 14-bit configuration word 0x2007.
  v.BandGap = r.Number("BandGap", 0, 0, 0x3FFF);
  v.ProgramMs = r.Number("ProgramMs", 10, 1, kMostProgramMs);
  for (const auto& [key, field] : kCycleKeys) v.*field = r.Number(key, v.ProgramMs, 1, kMostProgramMs);
  v.EraseMs = r.Number("EraseMs", v.EraseMs, 1, kMostProgramMs);
  // A device ID is one 14-bit word, on PIC18 parts two bytes.
  v.DeviceId = r.Number("DeviceId", 0, 0, pic18 ? 0xFFFF : 0x3FFF);
  if (pic18) v.WriteBuffer = r.PowerOfTwo("WriteBuffer", 2, pic18::kPic18MostWriteBuffer);
  for (std::size_t n = 0; n < v.FusesNames.size(); ++n) {
    v.FusesNames[n] = ini.ReadString(type, "FusesNames[" + std::to_string(n) + "]", PicTypeValues::kNoName);
  }
  return v;
}

std::int32_t PicTypeValues::WordCycleMs() const {
  const bool programOnly = ProgrammType == PicProgramming::ProgramOnly || PicWritesLatches(ProgrammType);
  return programOnly ? ProgramOnlyMs : EraseProgramMs;
}

std::int32_t PicTypeValues::OneWordCycleMs() const {
  // Only the latched program-only types program a single word by Begin Programming Only.
  return ProgrammType == PicProgramming::LatchedProgramOnly ? ProgramOnlyMs : EraseProgramMs;
}

OperationStep PicTypeCheck(const PicTypeValues& type) {
  return {.CheckInputs = [problem = type.Problem]() -> Refusal {
    if (problem.empty()) return std::nullopt;
    return problem;
  }};
}

}  // namespace pw
