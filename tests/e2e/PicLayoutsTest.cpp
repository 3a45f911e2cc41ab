// PIC HEX files as gpasm makes them for a baseline and two mid-range parts, and as the dump
// read writes them: each loads to its program words, configuration word and data memory, is
// written to the simulated chip through pinwright-cli and reads back the same. Data where the
// layout has no memory is refused, naming its word address.

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/Error.h"
#include "common/HexDigits.h"
#include "pic/PicFiles.h"
#include "pic/PicTexts.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using Words = std::vector<std::uint16_t>;
using Bytes = std::vector<std::uint8_t>;

/// An Intel HEX data record.
std::string Record(std::uint32_t address, const Bytes& data) {
  unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + address;
  std::string text =
      ":" + HexDigits(static_cast<std::uint32_t>(data.size()), 2) + HexDigits(address & 0xFFFF, 4) + "00";
  for (const std::uint8_t b : data) {
    text += HexDigits(b, 2);
    sum += b;
  }
  return text + HexDigits((0x100 - (sum & 0xFF)) & 0xFF, 2) + "\n";
}

struct Layout {
  const char* Name;
  const char* Type;  // PIC.ini section; gpasm's processor is its name without "PIC"
  /// gpasm source, or (when Asm is empty) the HEX text itself.
  std::string Asm;
  std::string Hex;
  Words Program;
  std::uint16_t Config;
  Bytes Data;
  /// Not empty: the load is refused with this line.
  std::string Refusal;
};

const std::string kMidRange =
    "        errorlevel -1302\n        __idlocs 0x1A2B\n        org 0\n        dw 0x2804, 0x1234, 0x0ABC\n"
    "        org 0x2100\n        de 0x01, 0x55, 0xAA\n        end\n";

std::vector<Layout> Layouts() {
  return {
      {"gpasm baseline", "PIC12F508",
       "        __config 0xFEA\n        __idlocs 0x1234\n        org 0\n        dw 0xA04, 0x123, 0x456\n        end\n",
       "", Words{0xA04, 0x123, 0x456}, 0xFEA, Bytes{}, ""},
      {"gpasm 16F628A", "PIC16F628A", "        __config 0x3F21\n" + kMidRange, "", Words{0x2804, 0x1234, 0x0ABC},
       0x3F21, Bytes{0x01, 0x55, 0xAA}, ""},
      {"gpasm 16F877A", "PIC16F877A", "        __config 0x3F71\n" + kMidRange, "", Words{0x2804, 0x1234, 0x0ABC},
       0x3F71, Bytes{0x01, 0x55, 0xAA}, ""},
      {"dump layout, baseline", "PIC12F508", "", Record(0, {0x04, 0x0A, 0x23, 0x01}) + Record(0x400E, {0xEA, 0x0F}),
       Words{0xA04, 0x123}, 0xFEA, Bytes{}, ""},
      {"words 0x2010-0x2017",
       "PIC16F628A",
       "",
       Record(0, {0x04, 0x28}) + Record(0x4020, Bytes(16, 0x11)),
       {},
       0,
       {},
       texts::PicDataNowhere(0x2010)},
      {"word 0x8000",
       "PIC16F628A",
       "",
       Record(0, {0x04, 0x28}) + ":020000040001F9\n" + Record(0, {0x01, 0x00}),
       {},
       0,
       {},
       texts::PicDataNowhere(0x8000)},
  };
}

/// The images layout's file loads to, placed for its type.
MemoryImages Loaded(const std::filesystem::path& file, const char* type) {
  MemoryImages images;
  LoadPicFile(file, images);
  const IniFile types = IniFile::Load(test::BinDir() / kPicTypesFile);
  PlacePicWords(images, ReadPicType(types, type));
  return images;
}

void ExpectHolds(const MemoryImages& images, const Layout& layout) {
  EXPECT_EQ(images.FlashDataCount, static_cast<std::int32_t>(layout.Program.size()));
  EXPECT_EQ(Words(images.FlashImage.begin(), images.FlashImage.begin() + images.FlashDataCount), layout.Program);
  // A read gives the bits a word does not have as 1.
  const int mask = std::string(layout.Type).starts_with("PIC12") ? 0xFFF : 0x3FFF;
  EXPECT_EQ((images.ConfigImage[14] | images.ConfigImage[15] << 8) & mask, layout.Config);
  Bytes data;
  for (std::int32_t k = 0; k < images.EepromDataCount; k += 2) data.push_back(images.EepromImage[k]);
  EXPECT_EQ(data, layout.Data);
}

TEST(PicLayouts, EachToolsLayoutLoadsWritesAndReadsBackAndStrayDataIsRefused) {
  const bool gpasm = std::system("command -v gpasm >/dev/null 2>&1") == 0;
  for (const Layout& layout : Layouts()) {
    SCOPED_TRACE(layout.Name);
    if (!layout.Asm.empty() && !gpasm) continue;
    test::TempDir dir;
    dir.Write("x.asm", layout.Asm);
    if (layout.Asm.empty()) dir.Write("x.hex", layout.Hex);
    const std::string processor = std::string(layout.Type).substr(3);
    const std::string assemble = "cd '" + dir.Path().string() + "' && gpasm -p" + processor + " x.asm >/dev/null";
    if (!layout.Asm.empty()) {
      ASSERT_EQ(std::system(assemble.c_str()), 0);
    }
    dir.Write("bench.ini", std::string("[PIC]\nPart=") + layout.Type + "\nMemory=chip.bin\n");
    const auto run = [&](const std::string& operation, const std::string& file) {
      return test::RunCli({"--simulator=" + (dir / "bench.ini").string(), "pic", layout.Type, operation, file},
                          dir.Path());
    };
    if (!layout.Refusal.empty()) {
      MemoryImages images;
      EXPECT_THROW(
          try { LoadPicFile(dir / "x.hex", images); } catch (const PinwrightError& e) {
            EXPECT_EQ(e.what(), layout.Refusal);
            throw;
          },
          PinwrightError);
      const auto r = run("write-dump", "x.hex");
      EXPECT_EQ(r.Status, 1) << r.Out << r.Err;
      EXPECT_NE(r.Err.find(layout.Refusal), std::string::npos) << r.Err;
      continue;
    }
    ExpectHolds(Loaded(dir / "x.hex", layout.Type), layout);
    const auto written = run("write-dump", "x.hex");
    ASSERT_EQ(written.Status, 0) << written.Out << written.Err;
    ASSERT_EQ(run("read-dump", "back.hex").Status, 0);
    MemoryImages back = Loaded(dir / "back.hex", layout.Type);
    back.FlashDataCount = static_cast<std::int32_t>(layout.Program.size());
    back.EepromDataCount = 2 * static_cast<std::int32_t>(layout.Data.size());
    ExpectHolds(back, layout);
  }
  if (!gpasm) GTEST_SKIP() << "gpasm (gputils) is not installed: the gpasm layouts were not tried";
}

}  // namespace
}  // namespace pw
