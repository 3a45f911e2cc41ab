// Every chips.ini section against avrdude's part data, and written and read back on the simulated
// part that answers with its signature.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "avr/AvrChipDescription.h"
#include "avr/AvrOperations.h"
#include "frame/MemoryImages.h"
#include "ini/IniFile.h"
#include "sim/Bench.h"
#include "sim/SimAvr.h"
#include "support/RecordingReporter.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

const std::filesystem::path kAvrdudeConf = "/etc/avrdude.conf";

using Fields = std::map<std::string, std::string>;

/// A part of avrdude.conf as written, before its parent's fields are added.
struct DudePart {
  std::string Parent;
  Fields Own;
  std::map<std::string, Fields> Memories;
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

/// `key = value;` without quotes; nothing for any other line.
std::optional<std::pair<std::string, std::string>> Assignment(const std::string& line) {
  std::istringstream in(line);
  std::string key, equals, value;
  if (!(in >> key >> equals) || equals != "=") return std::nullopt;
  std::getline(in, value);
  value.erase(0, value.find_first_not_of(' '));
  value.erase(std::remove_if(value.begin(), value.end(), [](char c) { return c == '"' || c == ';'; }), value.end());
  return std::pair{key, value};
}

/// Parts by id: `part [parent "id"]` opens one, `memory "name"` a memory in it, a lone `;` closes.
std::map<std::string, DudePart> ReadDudeParts() {
  std::map<std::string, DudePart> parts;
  std::ifstream in(kAvrdudeConf);
  DudePart part;
  Fields* memory = nullptr;
  bool inPart = false;
  for (std::string line; std::getline(in, line);) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string first, second, third;
    words >> first >> second >> third;
    if (first == "part") {
      part = DudePart{};
      if (second == "parent") part.Parent = third.substr(1, third.size() - 2);
      inPart = true;
    } else if (inPart && first == "memory") {
      memory = &part.Memories[second.substr(1, second.size() - 2)];
    } else if (inPart && first == ";") {
      if (!memory) parts[part.Own["id"]] = part;
      inPart = memory != nullptr;
      memory = nullptr;
    } else if (const auto kv = inPart ? Assignment(line) : std::nullopt) {
      (memory ? *memory : part.Own)[kv->first] = kv->second;
    }
  }
  return parts;
}

/// A part's fields and memories with what its parents give it.
DudePart Resolved(const std::map<std::string, DudePart>& parts, const DudePart& part) {
  if (part.Parent.empty() || !parts.contains(part.Parent)) return part;
  DudePart all = Resolved(parts, parts.at(part.Parent));
  for (const auto& [key, value] : part.Own) all.Own[key] = value;
  for (const auto& [name, fields] : part.Memories)
    for (const auto& [key, value] : fields) all.Memories[name][key] = value;
  return all;
}

/// A memory's field as a number; 0 when the part has no such memory or field.
std::int64_t Field(const DudePart& part, const std::string& memory, const std::string& key) {
  const auto m = part.Memories.find(memory);
  const auto f = m == part.Memories.end() ? Fields::const_iterator{} : m->second.find(key);
  return m == part.Memories.end() || f == m->second.end() ? 0 : std::stoll(f->second, nullptr, 0);
}

/// The section's Chip names, lower case.
std::set<std::string> ChipNames(const IniFile& chips, const std::string& section) {
  std::set<std::string> names;
  std::istringstream in(Lower(chips.ReadString(section, "Chip", "")));
  for (std::string name; std::getline(in, name, '/');) names.insert(name);
  return names;
}

TEST(AvrCatalogue, EverySectionAgreesWithAvrdudesPartDataOrSaysWhyNot) {
  if (!std::filesystem::exists(kAvrdudeConf)) GTEST_SKIP() << kAvrdudeConf << " is absent";
  std::map<std::string, DudePart> byName;
  std::map<std::string, std::set<std::string>> namesBySignature;
  const auto parts = ReadDudeParts();
  for (const auto& [id, part] : parts) {
    DudePart all = Resolved(parts, part);
    const std::string name = Lower(all.Own["desc"]);
    if (all.Own["prog_modes"].find("PM_ISP") == std::string::npos) continue;
    // Other makers' parts that answer with an Atmel signature are not the ones a section names.
    if (name.starts_with("at")) namesBySignature[Lower(all.Own["signature"])].insert(name);
    byName[name] = std::move(all);
  }
  const IniFile chips = IniFile::Load(test::SourceDir() / "data" / "chips.ini");
  ASSERT_GT(chips.SectionNames().size(), 90u);
  for (const std::string& section : chips.SectionNames()) {
    const bool noted = chips.HasKey(section, "DatasheetNote");
    const auto check = [&](const std::string& field, const auto& ours, const auto& avrdudes) {
      if (ours != avrdudes && !noted)
        ADD_FAILURE() << section << " " << field << ": chips.ini " << ours << ", avrdude " << avrdudes;
    };
    const auto names = ChipNames(chips, section);
    check("Chip", testing::PrintToString(names), testing::PrintToString(namesBySignature[Lower(section)]));
    const auto number = [&](const char* key) { return chips.ReadInteger(section, key, 0); };
    for (const std::string& name : names) {
      const auto avrdudes = [&](const char* memory, const char* key) { return Field(byName[name], memory, key); };
      check(name + " flash bytes", 2 * number("FlashPageSize") * number("FlashPagesCount"), avrdudes("flash", "size"));
      check(name + " flash page bytes", 2 * number("FlashPageSize"), avrdudes("flash", "page_size"));
      check(name + " EEPROM bytes", number("EepromPageSize") * number("EepromPagesCount"), avrdudes("eeprom", "size"));
      check(name + " EEPROM page bytes", number("EepromPageSize"), avrdudes("eeprom", "page_size"));
    }
  }
}

const sim::SimAvrPart* PartWithSignature(const std::string& section) {
  for (const sim::SimAvrPart& part : sim::SimAvrParts()) {
    if (SignatureText(part.Signature[0], part.Signature[1], part.Signature[2]) == section) return &part;
  }
  return nullptr;
}

/// The first and last flash page and the first and last EEPROM bytes of a chip, as a file fills them.
MemoryImages EndsOf(const sim::SimAvrPart& part) {
  MemoryImages images;
  const std::uint32_t words = part.FlashWords(), page = part.FlashPageWords;
  for (const std::uint32_t start : {0u, words - page}) {
    for (std::uint32_t w = start; w < start + page; ++w) {
      images.FlashImage[w] = static_cast<std::uint16_t>(w * 2654435761u >> 9);
      images.FlashFilled[w] = true;
    }
  }
  for (const std::uint32_t at : {0u, 1u, 2u, part.EepromBytes - 1}) {
    images.EepromImage[at] = static_cast<std::uint8_t>(0xA5 ^ at);
    images.EepromFilled[at] = true;
  }
  images.FlashDataCount = static_cast<std::int32_t>(words);
  images.EepromDataCount = static_cast<std::int32_t>(part.EepromBytes);
  return images;
}

/// A simulated part on a bench under datasheet timing, at zero latency: every wait is the chip's own.
struct CatalogueBench {
  explicit CatalogueBench(const sim::SimAvrPart& part)
      : bench(sim::Bench::FromText("[AVR]\nPart=" + std::string(part.Name) + "\n[Timing]\nModel=datasheet\n",
                                   dir.Path())) {}
  Outcome Run(std::span<const OperationStep> steps, AvrOperations& ops) {
    reporter.Answers.assign(2, true);
    OperationRun run(reporter);
    return RunFrame(unit, run, ops.Target(), steps);
  }
  const sim::SimAvrCore& Core() { return dynamic_cast<sim::SimAvr&>(*bench->Board()->Avr).Core(); }
  std::uint16_t Word(std::uint32_t w) {
    return static_cast<std::uint16_t>(Core().Flash[2 * w] | Core().Flash[2 * w + 1] << 8);
  }

  test::TempDir dir;
  std::unique_ptr<sim::Bench> bench;
  D2XXUnit unit{bench->Programmer()};
  test::RecordingReporter reporter;
};

TEST(AvrCatalogue, EverySectionIsIdentifiedWrittenReadBackAndErasedOnItsSimulatedPart) {
  const std::filesystem::path chipsIni = test::SourceDir() / "data" / "chips.ini";
  const IniFile chips = IniFile::Load(chipsIni);
  for (const std::string& section : chips.SectionNames()) {
    SCOPED_TRACE(section);
    const sim::SimAvrPart* part = PartWithSignature(section);
    ASSERT_NE(part, nullptr) << "no simulated part answers with " << section;
    CatalogueBench b(*part);
    const MemoryImages images = EndsOf(*part);
    AvrOperations ops(b.unit, {.Baud = 19200, .ChipsIni = chipsIni, .Report = true});
    const OperationStep writes[] = {ops.Identify(), ops.WriteFlash(images.Flash()), ops.WriteEeprom(images.Eeprom())};
    EXPECT_EQ(b.Run(writes, ops), Outcome::Success);
    const auto& log = b.reporter.Lines;
    EXPECT_EQ(std::count(log.begin(), log.end(), "чип: " + chips.ReadString(section, "Chip", "")), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "Ошибок нет"), 2) << "both read back and verified";
    for (std::uint32_t w = 0; w < part->FlashWords(); ++w)
      ASSERT_EQ(b.Word(w), images.FlashFilled[w] ? images.FlashImage[w] : 0xFFFF) << "word " << w;
    for (std::uint32_t at = 0; at < part->EepromBytes; ++at)
      ASSERT_EQ(b.Core().Eeprom[at], images.EepromFilled[at] ? images.EepromImage[at] : 0xFF) << "byte " << at;
    // The fuses and lock as the chip has them, written back; then a chip erase.
    const OperationStep fusesAndErase[] = {ops.WriteFuses([](const AvrChip& chip) {
                                             return AvrFuseSetting{chip.Fuses, chip.Lock};
                                           }),
                                           ops.Erase()};
    EXPECT_EQ(b.Run(fusesAndErase, ops), Outcome::Success);
    EXPECT_NE(std::find(log.begin(), log.end(), "конфигурация и защита прошиты"), log.end());
    EXPECT_EQ(b.Word(part->FlashWords() - 1), 0xFFFF);
    EXPECT_EQ(b.Core().Eeprom[0], 0xFF);
  }
}

}  // namespace
}  // namespace pw
