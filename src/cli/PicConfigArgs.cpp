#include "cli/PicConfigArgs.h"

#include "cli/CliPage.h"
#include "cli/CliPages.h"
#include "common/HexDigits.h"

namespace pw::cli {
namespace {

/// How a type's configuration is written: Count values of Bits bits each, named by Noun.
struct ConfigForm {
  std::size_t Count;
  std::size_t Bits;
  const char* Noun;
};

ConfigForm FormOf(const PicTypeValues& type) {
  if (PicIsPic18(type)) return {kPicConfigBytes, 8, texts::kHexByte};
  // A mid-range part with a second configuration word names bits of 0x2008 (bits 16 to 31).
  for (std::size_t n = 16; n < kPicPanelBits; ++n) {
    if (type.Named(n)) return {2, 16, texts::kHexWord};
  }
  return {1, 16, texts::kHexWord};
}

/// "XXXX,XXXX" or "XX,XX,…": what a person writes for form.
std::string Pattern(const ConfigForm& form) {
  const std::string one(form.Bits / 4, 'X');
  std::string text = one;
  for (std::size_t k = 1; k < form.Count; ++k) text += "," + one;
  return text;
}

/// Value k of area in form (a mid-range word keeps only the bits a word of the type carries).
std::uint32_t ValueOf(const PicConfigArea& area, const ConfigForm& form, std::size_t k, const PicTypeValues& type) {
  if (form.Bits == 8) return area[kPicConfigWordByte + k];
  return PicAreaWord(area, kPicConfigWordByte / 2 + k) & PicWordMask(type.ProgrammType);
}

}  // namespace

std::vector<std::uint32_t> PicConfigValues(const std::string& text, const PicTypeValues& type) {
  const ConfigForm form = FormOf(type);
  std::vector<std::uint32_t> values;
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    values.push_back(HexArgument(text.substr(start, comma - start), form.Bits / 4, form.Noun));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() != form.Count) {
    throw UsageError(texts::ConfigCount(form.Count, Pattern(form), values.size()));
  }
  return values;
}

PicConfigArea WithConfigValues(PicConfigArea area, std::span<const std::uint32_t> values, const PicTypeValues& type) {
  const std::size_t bits = FormOf(type).Bits;
  for (std::size_t n = 0; n < bits * values.size(); ++n) {
    if (!type.Named(n)) continue;
    std::uint8_t& byte = area[kPicConfigWordByte + n / 8];
    const auto bit = static_cast<std::uint8_t>(1u << (n % 8));
    const bool set = ((values[n / bits] >> (n % bits)) & 1) != 0;
    byte = set ? static_cast<std::uint8_t>(byte | bit) : static_cast<std::uint8_t>(byte & ~bit);
  }
  return area;
}

std::string PicConfigLines(const PicConfigArea& area, const PicTypeValues& type) {
  const ConfigForm form = FormOf(type);
  std::string text = "Config:";
  for (std::size_t k = 0; k < form.Count; ++k)
    text += " " + HexDigits(ValueOf(area, form, k, type), static_cast<int>(form.Bits / 4));
  const std::string ids = PicIsPic18(type) ? PicIdBytes(area, "") : PicIdWords(area, 6, "");
  return text + "\nID: " + ids + "\n";
}

}  // namespace pw::cli
