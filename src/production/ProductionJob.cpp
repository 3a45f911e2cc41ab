#include "production/ProductionJob.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/Error.h"
#include "ini/IniFile.h"
#include "production/ProductionTexts.h"

namespace pw::production {
namespace {

namespace fs = std::filesystem;

/// A memory a serial number can go into, and the job keys whose files write it.
struct SerialMemory {
  const char* Name;
  std::vector<const char*> FileKeys;
};

/// What a page's job may hold.
struct JobPage {
  const char* Name;
  std::vector<const char*> FileKeys;
  /// The page erases before it writes unless the job says Erase=no.
  bool ErasesFirst;
  std::vector<SerialMemory> Memories;
};

const std::vector<JobPage>& JobPages() {
  static const std::vector<JobPage> pages = {
      {"avr", {"Flash", "Eeprom"}, true, {{"flash", {"Flash"}}, {"eeprom", {"Eeprom"}}}},
      {"pic", {"Dump", "Program", "Data"}, false, {{"program", {"Dump", "Program"}}, {"data", {"Dump", "Data"}}}},
      {"i2c", {"Image"}, false, {{"image", {"Image"}}}},
      {"spi", {"Image"}, false, {{"image", {"Image"}}}},
  };
  return pages;
}

/// The job file as read, and the refusals that name it.
struct JobReader {
  const IniFile& Ini;
  fs::path File;

  std::string Value(const char* section, const char* key) const { return Ini.ReadString(section, key, ""); }
  [[noreturn]] void Refuse(const char* section, const char* key, const std::string& why) const {
    throw PinwrightError(texts::JobKeyProblem(File.string(), key, Value(section, key), why));
  }
  bool YesNo(const char* section, const char* key, bool def) const {
    const std::string v = Value(section, key);
    if (v.empty()) return def;
    if (SameName(v, "yes")) return true;
    if (SameName(v, "no")) return false;
    Refuse(section, key, texts::kJobYesNo);
  }
  std::int64_t Number(const char* section, const char* key, std::int64_t def) const {
    const std::string v = Value(section, key);
    if (v.empty()) return def;
    const bool hex = v.rfind("0x", 0) == 0 || v.rfind("0X", 0) == 0;
    const std::string digits = hex ? v.substr(2) : v;
    const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.size() > 15 || digits.find_first_not_of(allowed) != std::string::npos) {
      Refuse(section, key, texts::kJobNumber);
    }
    return std::stoll(digits, nullptr, hex ? 16 : 10);
  }
  fs::path Path(const char* key) const {
    const std::string v = Value("Job", key);
    return v.empty() ? fs::path() : File.parent_path() / v;
  }
};

const JobPage& PageOf(const JobReader& reader) {
  const std::string name = reader.Value("Job", "Page");
  if (name.empty()) reader.Refuse("Job", "Page", texts::kJobNoKey);
  for (const JobPage& page : JobPages()) {
    if (SameName(page.Name, name)) return page;
  }
  reader.Refuse("Job", "Page", texts::kJobUnknownPage);
}

/// A key of another page's files (or fuses) is refused rather than quietly left unwritten.
void CheckKeysOfPage(const JobReader& reader, const JobPage& page) {
  static constexpr std::array<const char*, 10> kPageKeys = {"Flash",   "Eeprom", "Fuses",  "Lock",  "Dump",
                                                            "Program", "Data",   "Config", "Image", "Type"};
  const std::string name = page.Name;
  for (const char* key : kPageKeys) {
    const bool own =
        std::any_of(page.FileKeys.begin(), page.FileKeys.end(), [&](const char* k) { return SameName(k, key); });
    const bool avrOnly = SameName(key, "Fuses") || SameName(key, "Lock");
    const bool allowed = own || (avrOnly && name == "avr") || (SameName(key, "Config") && name == "pic") ||
                         (SameName(key, "Type") && name != "spi");
    if (!allowed && !reader.Value("Job", key).empty()) reader.Refuse("Job", key, texts::kJobKeyNotForPage);
  }
  if (name != "spi" && reader.Value("Job", "Type").empty()) reader.Refuse("Job", "Type", texts::kJobNoKey);
  if (!reader.Value("Job", "Lock").empty() && reader.Value("Job", "Fuses").empty()) {
    reader.Refuse("Job", "Lock", texts::kJobFusesNeeded);
  }
}

void ReadFiles(const JobReader& reader, ProductionJob& job) {
  job.Flash = reader.Path("Flash");
  job.Eeprom = reader.Path("Eeprom");
  job.Dump = reader.Path("Dump");
  job.Program = reader.Path("Program");
  job.Data = reader.Path("Data");
  job.Image = reader.Path("Image");
  job.Fuses = reader.Value("Job", "Fuses");
  job.Lock = reader.Value("Job", "Lock");
  job.Config = reader.Value("Job", "Config");
  const bool any = !job.Flash.empty() || !job.Eeprom.empty() || !job.Dump.empty() || !job.Program.empty() ||
                   !job.Data.empty() || !job.Image.empty() || !job.Fuses.empty() || !job.Config.empty();
  if (!any) reader.Refuse("Job", "Page", texts::kJobNothingToWrite);
}

const SerialMemory& MemoryOf(const JobReader& reader, const JobPage& page) {
  const std::string name = reader.Value("Serial", "Memory");
  std::string known;
  for (const SerialMemory& memory : page.Memories) {
    if (SameName(memory.Name, name)) return memory;
    known += std::string(known.empty() ? "" : ", ") + memory.Name;
  }
  reader.Refuse("Serial", "Memory", texts::kJobMemory + known);
}

SerialFormat FormatOf(const JobReader& reader) {
  SerialFormat format;
  try {
    format.Encoding =
        SerialEncodingNamed(reader.Value("Serial", "Encoding").empty() ? "le" : reader.Value("Serial", "Encoding"));
  } catch (const PinwrightError& e) {
    reader.Refuse("Serial", "Encoding", e.what());
  }
  const std::int64_t width = reader.Number("Serial", "Width", 4);
  if (width < 1 || width > 16) reader.Refuse("Serial", "Width", texts::kJobWidth);
  format.Width = static_cast<std::size_t>(width);
  format.Crc = reader.YesNo("Serial", "Crc", false);
  return format;
}

SerialStamp ReadSerial(const JobReader& reader, const JobPage& page) {
  const SerialMemory& memory = MemoryOf(reader, page);
  const bool hasFile = std::any_of(memory.FileKeys.begin(), memory.FileKeys.end(),
                                   [&](const char* key) { return !reader.Value("Job", key).empty(); });
  if (!hasFile) reader.Refuse("Serial", "Memory", texts::kJobMemoryFile);
  const std::int64_t address = reader.Number("Serial", "Address", 0);
  if (address > 0xFFFFFFFF) reader.Refuse("Serial", "Address", texts::kJobNumber);
  SerialStamp stamp{memory.Name, static_cast<std::uint32_t>(address), FormatOf(reader), {}};
  stamp.Plan.First = reader.Number("Serial", "First", 1);
  stamp.Plan.Step = reader.Number("Serial", "Step", 1);
  if (stamp.Plan.Step < 1) reader.Refuse("Serial", "Step", texts::kJobStep);
  return stamp;
}

}  // namespace

ProductionJob ReadProductionJob(const fs::path& file) {
  const IniFile ini = IniFile::Load(file, {.StripInlineComments = true});
  if (!ini.Exists()) throw PinwrightError(texts::JobFileMissing(file.string()));
  if (!ini.LoadError().empty()) throw PinwrightError(ini.LoadError());
  const JobReader reader{ini, file};
  const JobPage& page = PageOf(reader);
  CheckKeysOfPage(reader, page);
  ProductionJob job;
  job.File = file;
  job.Page = page.Name;
  job.Name = reader.Value("Job", "Name").empty() ? file.stem().string() : reader.Value("Job", "Name");
  job.Type = reader.Value("Job", "Type");
  job.Erase = reader.YesNo("Job", "Erase", page.ErasesFirst);
  ReadFiles(reader, job);
  const std::string database = reader.Value("Job", "Database");
  job.Database = database.empty() ? fs::path(file).replace_extension(".sqlite") : file.parent_path() / database;
  if (ini.HasSection("Serial")) job.Serial = ReadSerial(reader, page);
  return job;
}

}  // namespace pw::production
