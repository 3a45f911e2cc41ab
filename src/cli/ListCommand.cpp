#include "cli/ListCommand.h"

#include <algorithm>
#include <cctype>

#include "avr/AvrChipDescription.h"
#include "cli/CliPage.h"
#include "cli/CliTexts.h"
#include "cli/NameMatch.h"
#include "common/HexDigits.h"
#include "i2c/I2cTypes.h"
#include "pic/PicTypes.h"
#include "spi/SpiFlashTexts.h"

namespace pw::cli {
namespace {

std::string Bytes(std::int64_t count) { return std::to_string(count) + " байт"; }

std::vector<ListedType> AvrTypes(const IniFile& chips) {
  std::vector<ListedType> types;
  for (const std::string& section : chips.SectionNames()) {
    const AvrChipDescription chip = ReadChipDescription(chips, section);
    types.push_back(
        {chip.Chip, "флеш " + Bytes(chip.FlashWords() * 2) + ", EEPROM " + Bytes(chip.EepromBytes()), section});
  }
  return types;
}

std::vector<ListedType> PicTypes(const IniFile& ini) {
  std::vector<ListedType> types;
  for (const std::string& section : ini.SectionNames()) {
    const PicTypeValues type = ReadPicType(ini, section);
    const auto id = static_cast<std::uint32_t>(type.DeviceId);
    types.push_back({section, "флеш " + std::to_string(type.FlashSize) + " слов, EEPROM " + Bytes(type.EepromSize),
                     id == 0 ? "без ID" : "ID 0x" + HexDigits(id, 4)});
  }
  return types;
}

std::vector<ListedType> I2cTypes(const IniFile& ini) {
  std::vector<ListedType> types;
  for (const std::string& section : ini.SectionNames())
    types.push_back({section, Bytes(ReadI2cType(ini, section).EepromSize), ""});
  return types;
}

std::vector<ListedType> SpiTypes(const IniFile& ini) {
  std::vector<ListedType> types;
  for (const std::string& section : ini.SectionNames()) {
    // A section that cannot be used is still listed, as the file gives it.
    const auto result = ReadSpiFlashType(ini, section);
    const std::string size = result.Type ? texts::SpiSizeText(result.Type->Size) : ini.ReadString(section, "Size", "");
    const std::string id = result.Type ? JedecText(result.Type->Id) : ini.ReadString(section, "Jedec", "");
    types.push_back({section, size, "JEDEC " + id});
  }
  return types;
}

struct Family {
  const char* Name;
  const char* File;
  std::vector<ListedType> (*Read)(const IniFile&);
};

constexpr Family kFamilies[] = {
    {"avr", kChipsIniName, AvrTypes},
    {"pic", kPicTypesFile, PicTypes},
    {"i2c", kI2cTypesFile, I2cTypes},
    {"spi", kSpiFlashTypesFile, SpiTypes},
};

const Family& FindFamily(const std::string& word) {
  std::vector<std::string> names;
  for (const Family& family : kFamilies) names.emplace_back(family.Name);
  const auto found = FindName(word, names);
  if (!found) throw UsageError(UnknownName(texts::kFamilyNoun, word, names));
  return kFamilies[*found];
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

/// Characters on the screen: UTF-8 continuation bytes take no column.
std::size_t Columns(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

void Print(const std::vector<ListedType>& types, std::ostream& out) {
  std::size_t name = 0;
  std::size_t sizes = 0;
  for (const ListedType& t : types) {
    name = std::max(name, Columns(t.Name));
    sizes = std::max(sizes, Columns(t.Sizes));
  }
  for (const ListedType& t : types) {
    std::string line = t.Name + std::string(name - Columns(t.Name) + 2, ' ') + t.Sizes;
    if (!t.Id.empty()) line += std::string(sizes - Columns(t.Sizes) + 2, ' ') + t.Id;
    out << line << "\n";
  }
}

}  // namespace

std::vector<ListedType> KnownTypes(const std::string& family, const FormPaths& paths) {
  const Family& f = FindFamily(family);
  return f.Read(IniFile::Load(DescriptionFile(paths, f.File)));
}

int RunList(const std::vector<std::string>& args, const FormPaths& paths, std::ostream& out, std::ostream& err) {
  if (args.empty() || args.size() > 2) throw UsageError(texts::kListShape);
  const Family& family = FindFamily(args[0]);
  const std::string text = args.size() == 2 ? Lower(args[1]) : "";
  std::vector<ListedType> shown;
  for (ListedType& type : KnownTypes(args[0], paths)) {
    if (Lower(type.Name).find(text) != std::string::npos) shown.push_back(std::move(type));
  }
  if (shown.empty()) {
    err << "pinwright-cli: в файле " << DescriptionFile(paths, family.File).string() << " нет типов"
        << (text.empty() ? "" : " с \"" + args[1] + "\" в названии") << "\n";
    return kExitError;
  }
  Print(shown, out);
  return kExitSuccess;
}

}  // namespace pw::cli
