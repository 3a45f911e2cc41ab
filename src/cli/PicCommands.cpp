#include "cli/PicCommands.h"

#include <iostream>

#include "common/HexDigits.h"
#include "frame/ImageFiles.h"

namespace pw::cli {
namespace {

constexpr int kPicPage = 1;
/// Checkboxes of the configuration word 0x2007 (ConfigImage bytes 14 and 15).
constexpr std::size_t kWordBoxes = 16;

/// Chooses the type in the list and shows the page, as a person starts on this page.
bool Prepare(CliSession& s, const std::string& type) {
  return s.Choose(s.Form.Pic.PicType, type) && s.ShowPage(kPicPage);
}

/// The configuration word as the panel's boxes show it, in the bits a word carries.
std::uint16_t PanelWord(const PicPage& page) {
  unsigned word = 0;
  for (std::size_t n = 0; n < kWordBoxes; ++n) {
    if (page.PicFuse[n].Checked) word |= 1u << n;
  }
  return static_cast<std::uint16_t>(word & (page.ProgrammType == 2 ? 0xFFF : 0x3FFF));
}

std::uint16_t HexWord(const std::string& text) {
  std::string digits = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0 ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 4 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    throw UsageError("not a hex word: " + text);
  }
  return static_cast<std::uint16_t>(std::stoul(digits, nullptr, 16));
}

void ReadConfig(CliSession& s, const std::string& type, const std::vector<std::string>&) {
  if (!Prepare(s, type) || !s.Click(s.Form.Pic.PicReadFuse)) return;
  std::cout << "Config: " << HexDigits(PanelWord(s.Form.Pic), 4) << "\nID: " << s.Form.Pic.PicID.Text << "\n";
}

void WriteConfig(CliSession& s, const std::string& type, const std::vector<std::string>& args) {
  const std::uint16_t word = HexWord(args[0]);
  // The ID words are written with the configuration: a person reads them first to keep them.
  if (!Prepare(s, type) || !s.Click(s.Form.Pic.PicReadFuse)) return;
  for (std::size_t n = 0; n < kWordBoxes; ++n) {
    CheckBox& box = s.Form.Pic.PicFuse[n];
    if (box.Enabled) box.Checked = ((word >> n) & 1) != 0;
  }
  s.Click(s.Form.Pic.PicWriteFuse);
}

void Erase(CliSession& s, const std::string& type, const std::vector<std::string>&) {
  if (Prepare(s, type)) s.Click(s.Form.Pic.PicEraseAll);
}

void ReadDump(CliSession& s, const std::string& type, const std::vector<std::string>& args) {
  if (!Prepare(s, type)) return;
  s.Host.SetFile(args[0]);
  s.Click(s.Form.Pic.PicReadDump);
}

/// Opens file with "Файл", then clicks button.
void WithFile(CliSession& s, const std::string& type, const std::string& file, Button& button) {
  if (!Prepare(s, type)) return;
  s.Host.SetFile(file);
  if (s.Click(s.Form.Pic.PicFile)) s.Click(button);
}

void WriteDump(CliSession& s, const std::string& type, const std::vector<std::string>& args) {
  WithFile(s, type, args[0], s.Form.Pic.PicWriteDump);
}

void WriteFlash(CliSession& s, const std::string& type, const std::vector<std::string>& args) {
  WithFile(s, type, args[0], s.Form.Pic.PicWriteFls);
}

void WriteEeprom(CliSession& s, const std::string& type, const std::vector<std::string>& args) {
  WithFile(s, type, args[0], s.Form.Pic.PicWriteEep);
}

}  // namespace

std::vector<CliCommand> PicCliCommands() {
  return {
      {"pic", true, "read-config", 0, ReadConfig},
      {"pic", true, "write-config", 1, WriteConfig},
      {"pic", true, "erase", 0, Erase},
      {"pic", true, "read-dump", 1, ReadDump, FileUse::Output},
      {"pic", true, "write-dump", 1, WriteDump, FileUse::Input, LoadPicFile},
      {"pic", true, "write-flash", 1, WriteFlash, FileUse::Input, LoadPicFile},
      {"pic", true, "write-eeprom", 1, WriteEeprom, FileUse::Input, LoadPicFile},
  };
}

CliPage PicCliPage() { return LegacyCliPage(PicCliCommands()); }

}  // namespace pw::cli
