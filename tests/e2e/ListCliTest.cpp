#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ini/IniFile.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

/// The sections of a shipped description file whose name holds text in any case.
std::size_t Sections(const char* file, std::string text = "") {
  const auto names = IniFile::Load(test::SourceDir() / "data" / file).SectionNames();
  const auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  return static_cast<std::size_t>(
      std::count_if(names.begin(), names.end(), [&](const auto& n) { return lower(n).find(lower(text)) != n.npos; }));
}

TEST(ListCli, EachFamilyListsItsFileAlignedAndFilteredInAnyCase) {
  test::TempDir dir;
  const struct {
    std::vector<std::string> args;
    int status;
    std::size_t lines;
    std::string shown;  // a part of one line (or of the error report)
  } cases[] = {
      {{"list", "avr"}, 0, Sections("chips.ini"), "0x1E 0x90 0x07"},
      {{"list", "PIC"}, 0, Sections("PIC.ini"), "ID 0x"},
      {{"list", "i2c"}, 0, Sections("I2C_E.ini"), "24C256"},
      {{"list", "spi"}, 0, Sections("SpiFlash.ini"), "JEDEC EF 40 16"},
      {{"list", "spi", "w25Q"}, 0, Sections("SpiFlash.ini", "w25q"), "4 Мбайт"},
      {{"LIST", "Spi", "mx25L"}, 0, Sections("SpiFlash.ini", "MX25L"), "JEDEC C2 20 16"},
      {{"list", "i2c", "no such"}, 1, 0, "нет типов с \"no such\" в названии"},
      {{"list", "eeprom"}, 64, 0, "нет семейства eeprom"},
      {{"list"}, 64, 0, "list: нужно семейство"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    const auto r = test::RunCli(c.args, dir.Path());
    EXPECT_EQ(r.Status, c.status) << r.Err;
    const auto lines = r.Lines();
    EXPECT_EQ(lines.size(), c.lines) << r.Out;
    EXPECT_NE((r.Out + r.Err).find(c.shown), std::string::npos) << r.Out << r.Err;
    // Aligned: the last column starts at the same place on every line (in characters on the screen).
    std::set<std::size_t> starts;
    for (const auto& line : lines) {
      const std::string head = line.substr(0, line.rfind("  "));
      starts.insert(std::count_if(head.begin(), head.end(), [](char ch) { return (ch & 0xC0) != 0x80; }));
    }
    EXPECT_LE(starts.size(), 1u) << r.Out;
  }
}

}  // namespace
}  // namespace pw
