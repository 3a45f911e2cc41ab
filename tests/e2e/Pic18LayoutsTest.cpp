// PIC18 HEX files as gpasm makes them and as the PIC18 dump writes them: each loads to its
// program words, ID bytes, configuration bytes and data EEPROM, and its dump loads back the same.
// Data where the layout has no memory is refused, naming its address.

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/Error.h"
#include "hexfile/HexTexts.h"
#include "hexfile/HexWriter.h"
#include "pic/Pic18Files.h"
#include "pic/PicTexts.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Layout {
  const char* Name;
  /// gpasm source for -p18f4550, or (when empty) the HEX text itself.
  std::string Asm;
  std::string Hex;
  /// Program words the file fills, as (word, value).
  std::vector<std::pair<std::size_t, std::uint16_t>> Program;
  /// The area's ID bytes 0 to 7 and configuration bytes 14 to 27 (0xFF where the file has none).
  Bytes Ids;
  Bytes Config;
  Bytes Data;
  /// Not empty: the load is refused with this line.
  std::string Refusal;
  std::string Notice;
};

const Bytes kNoIds(8, 0xFF);
const Bytes kNoConfig(14, 0xFF);

std::vector<Layout> Layouts() {
  // Four words across the 32-byte write buffer boundary at byte 0x20.
  const std::string gpasm =
      "        config FOSC = HS, WDT = OFF, LVP = OFF, CP0 = ON\n        __idlocs 0x200000, 0x12\n"
      "        __idlocs 0x200007, 0x34\n        org 0x1C\n        dw 0x1111, 0x2222, 0x3333, 0x4444\n"
      "        org 0xF00000\n        de 0x01, 0x55, 0xAA\n        end\n";
  return {
      {"gpasm 18F4550",
       gpasm,
       "",
       {{14, 0x1111}, {15, 0x2222}, {16, 0x3333}, {17, 0x4444}},
       Bytes{0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x34},
       // gputils' values: 0x300004 is not implemented and gets no record.
       Bytes{0x00, 0x0C, 0x1F, 0x1E, 0xFF, 0x83, 0x81, 0xFF, 0x0E, 0xC0, 0x0F, 0xE0, 0x0F, 0x40},
       Bytes{0x01, 0x55, 0xAA},
       "",
       ""},
      {"beyond 64 KiB, one checksum wrong",
       "",
       ":020000040001F9\n:02000000AB0E45\n:0200020055AAFF\n",
       {{0x8000, 0x0EAB}, {0x8001, 0xAA55}},
       kNoIds,
       kNoConfig,
       Bytes{},
       "",
       texts::HexBadChecksums(3, 1)},
      {"between IDs and configuration",
       "",
       ":020000040020DA\n:01000800FFF8\n",
       {},
       {},
       {},
       {},
       texts::Pic18DataNowhere(0x200008),
       ""},
      {"past the configuration bytes",
       "",
       ":020000040031C9\n:01000000FF00\n",
       {},
       {},
       {},
       {},
       texts::HexOutsideImage(2, 0x310000),
       ""},
  };
}

Bytes Slice(const std::vector<std::uint8_t>& v, std::size_t first, std::size_t n) {
  return Bytes(v.begin() + static_cast<std::ptrdiff_t>(first), v.begin() + static_cast<std::ptrdiff_t>(first + n));
}

void ExpectHolds(const MemoryImages& images, const Layout& layout) {
  std::size_t filled = 0;
  for (std::size_t w = 0; w < MemoryImages::kFlashWords; ++w) filled += images.FlashFilled[w] ? 1 : 0;
  EXPECT_EQ(filled, layout.Program.size());
  for (const auto& [w, value] : layout.Program) {
    EXPECT_TRUE(images.FlashFilled[w]) << w;
    EXPECT_EQ(images.FlashImage[w], value) << w;
  }
  EXPECT_EQ(images.FlashDataCount, static_cast<std::int32_t>(layout.Program.back().first + 1));
  EXPECT_EQ(Slice(images.ConfigImage, 0, 8), layout.Ids);
  EXPECT_EQ(Slice(images.ConfigImage, 14, 14), layout.Config);
  Bytes data;
  for (std::int32_t k = 0; k < images.EepromDataCount; k += 2) {
    EXPECT_TRUE(images.EepromFilled[static_cast<std::size_t>(k)]) << k;
    data.push_back(images.EepromImage[static_cast<std::size_t>(k)]);
  }
  EXPECT_EQ(data, layout.Data);
}

/// The dump of what images hold, saved as a file and loaded again.
MemoryImages DumpedAndLoaded(const MemoryImages& images, const std::filesystem::path& file) {
  Bytes data;
  for (std::int32_t k = 0; k < images.EepromDataCount; k += 2) {
    data.push_back(images.EepromImage[static_cast<std::size_t>(k)]);
  }
  const std::span<const std::uint16_t> program(images.FlashImage.data(),
                                               static_cast<std::size_t>(images.FlashDataCount));
  std::string hex = Pic18DumpHex(program, PicAreaOf(images.ConfigImage), data);
  EXPECT_EQ(hex.find("\n"), hex.find("\r\n") + 1);      // the first line, as every one, ends in CR LF
  EXPECT_EQ(hex.find(":02000002"), std::string::npos);  // blocks by linear address records only
  SaveHexText(file, hex);
  MemoryImages back;
  EXPECT_EQ(LoadPic18File(file, back), "");
  return back;
}

TEST(Pic18Layouts, GpasmAndDumpFilesLoadAndStrayDataIsRefused) {
  const bool gpasm = std::system("command -v gpasm >/dev/null 2>&1") == 0;
  for (const Layout& layout : Layouts()) {
    SCOPED_TRACE(layout.Name);
    if (!layout.Asm.empty() && !gpasm) continue;
    test::TempDir dir;
    if (layout.Asm.empty()) dir.Write("x.hex", layout.Hex);
    dir.Write("x.asm", layout.Asm);
    const std::string assemble = "cd '" + dir.Path().string() + "' && gpasm -p18f4550 x.asm >/dev/null";
    if (!layout.Asm.empty()) {
      ASSERT_EQ(std::system(assemble.c_str()), 0);
    }
    MemoryImages images;
    images.FlashImage[3] = 0x1234;  // a refused file leaves the images as they were
    try {
      EXPECT_EQ(LoadPic18File(dir / "x.hex", images), layout.Notice);
      EXPECT_EQ(layout.Refusal, "");
    } catch (const PinwrightError& e) {
      EXPECT_EQ(e.what(), layout.Refusal);
      EXPECT_EQ(images.FlashImage[3], 0x1234);
      continue;
    }
    ExpectHolds(images, layout);
    EXPECT_EQ(images.FlashDamaged, !layout.Notice.empty());
    // Every filled word of the program lies in the dump's words, so the reload holds them all.
    std::fill(images.FlashFilled.begin(), images.FlashFilled.end(), false);
    for (const auto& [w, value] : layout.Program) images.FlashFilled[w] = true;
    MemoryImages back = DumpedAndLoaded(images, dir / "back.hex");
    for (const auto& [w, value] : layout.Program) EXPECT_EQ(back.FlashImage[w], value) << w;
    EXPECT_EQ(Slice(back.ConfigImage, 0, 28), Slice(images.ConfigImage, 0, 28));
    EXPECT_EQ(Slice(back.EepromImage, 0, 2 * layout.Data.size()), Slice(images.EepromImage, 0, 2 * layout.Data.size()));
  }
  if (!gpasm) GTEST_SKIP() << "gpasm (gputils) is not installed: the gpasm layout was not tried";
}

}  // namespace
}  // namespace pw
