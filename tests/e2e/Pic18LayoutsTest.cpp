// PIC18 HEX files as gpasm makes them and as the PIC18 dump writes them: each loads to its
// program words, ID bytes, configuration bytes and data EEPROM, and its dump loads back the same.
// Data where the layout has no memory is refused, naming its address.

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/Error.h"
#include "common/HexDigits.h"
#include "hexfile/HexTexts.h"
#include "hexfile/HexWriter.h"
#include "pic/Pic18Files.h"
#include "pic/PicTexts.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

/// A file (gpasm source for -p18f4550, or HEX text starting with ':'): the program words it
/// holds from word First; ID bytes 0 to 7 and configuration bytes 14 to 27 of the area, and the
/// data EEPROM, in hex digits; the load's checksum line.
struct Layout {
  std::string Source;
  std::size_t First;
  std::vector<std::uint16_t> Program;
  std::string Area, Data, Notice;
};

// Four words across the 32-byte write buffer boundary at byte 0x20; gpasm writes no record for
// the unimplemented configuration byte 0x300004. Then words beyond 64 KiB, one checksum wrong.
const Layout kLayouts[] = {
    {"  config FOSC = HS, WDT = OFF, LVP = OFF, CP0 = ON\n  __idlocs 0x200000, 0x12\n  __idlocs 0x200007, 0x34\n"
     "  org 0x1C\n  dw 0x1111, 0x2222, 0x3333, 0x4444\n  org 0xF00000\n  de 0x01, 0x55, 0xAA\n  end\n",
     14,
     {0x1111, 0x2222, 0x3333, 0x4444},
     "12FFFFFFFFFFFF34000C1F1EFF8381FF0EC00FE00F40",
     "0155AA",
     ""},
    {":020000040001F9\n:02000000AB0E45\n:0200020055AAFF\n",
     0x8000,
     {0x0EAB, 0xAA55},
     std::string(44, 'F'),
     "",
     texts::HexBadChecksums(3, 1)},
};

/// What images hold where layout says, in its terms.
void ExpectHolds(const MemoryImages& images, const Layout& layout) {
  EXPECT_EQ(images.FlashDataCount, static_cast<std::int32_t>(layout.First + layout.Program.size()));
  for (std::size_t i = 0; i < layout.Program.size(); ++i)
    EXPECT_EQ(images.FlashImage[layout.First + i], layout.Program[i]);
  std::string area, data;
  for (std::size_t k = 0; k < 28; ++k) area += k < 8 || k >= 14 ? HexDigits(images.ConfigImage[k], 2) : "";
  for (std::size_t k = 0; k < static_cast<std::size_t>(images.EepromDataCount); k += 2) {
    EXPECT_TRUE(images.EepromFilled[k]);
    data += HexDigits(images.EepromImage[k], 2);
  }
  EXPECT_EQ(area, layout.Area);
  EXPECT_EQ(data, layout.Data);
}

/// The dump of what images hold, saved and loaded again.
MemoryImages DumpedAndLoaded(const MemoryImages& images, const std::filesystem::path& file) {
  std::vector<std::uint8_t> data;
  for (std::int32_t k = 0; k < images.EepromDataCount; k += 2)
    data.push_back(images.EepromImage[static_cast<std::size_t>(k)]);
  std::string hex = Pic18DumpHex(std::span(images.FlashImage).first(static_cast<std::size_t>(images.FlashDataCount)),
                                 PicAreaOf(images.ConfigImage), data);
  EXPECT_EQ(hex.find("\n"), hex.find("\r\n") + 1);      // the first line, as every one, ends in CR LF
  EXPECT_EQ(hex.find(":02000002"), std::string::npos);  // blocks by linear address records only
  SaveHexText(file, hex);
  MemoryImages back;
  EXPECT_EQ(LoadPic18File(file, back), "");
  return back;
}

TEST(Pic18Layouts, GpasmAndDumpFilesLoadAndStrayDataIsRefused) {
  const bool gpasm = std::system("command -v gpasm >/dev/null 2>&1") == 0;
  for (const Layout& layout : kLayouts) {
    SCOPED_TRACE(layout.Source);
    const bool assembled = !layout.Source.starts_with(":");
    if (assembled && !gpasm) continue;
    test::TempDir dir;
    dir.Write(assembled ? "x.asm" : "x.hex", layout.Source);
    const std::string assemble = "cd '" + dir.Path().string() + "' && gpasm -p18f4550 x.asm >/dev/null";
    if (assembled) {
      ASSERT_EQ(std::system(assemble.c_str()), 0);
    }
    MemoryImages images;
    EXPECT_EQ(LoadPic18File(dir / "x.hex", images), layout.Notice);
    ExpectHolds(images, layout);
    EXPECT_EQ(images.FlashDamaged, !layout.Notice.empty());
    ExpectHolds(DumpedAndLoaded(images, dir / "back.hex"), layout);
  }
  // Data between the IDs and the configuration, and past the configuration bytes; all or nothing.
  const std::pair<const char*, std::string> stray[] = {
      {":020000040020DA\n:01000800FFF8\n", texts::Pic18DataNowhere(0x200008)},
      {":020000040031C9\n:01000000FF00\n", texts::HexOutsideImage(2, 0x310000)}};
  for (const auto& [hex, line] : stray) {
    test::TempDir dir;
    MemoryImages images;
    images.FlashImage[3] = 0x1234;
    EXPECT_THROW(
        try { LoadPic18File(dir.Write("x.hex", hex), images); } catch (const PinwrightError& e) {
          EXPECT_EQ(e.what(), line);
          throw;
        },
        PinwrightError);
    EXPECT_EQ(images.FlashImage[3], 0x1234);
  }
  if (!gpasm) GTEST_SKIP() << "gpasm (gputils) is not installed: the gpasm layout was not tried";
}

}  // namespace
}  // namespace pw
