// Files written by other tools (avr-objcopy, gpasm, srec_cat; see data/make-fixtures.sh)
// load with the page layouts as those tools meant them.
#include <gtest/gtest.h>

#include <algorithm>

#include "ImageSlice.h"
#include "avr/AvrFlashFile.h"
#include "common/Error.h"
#include "frame/ImageFiles.h"
#include "hexfile/HexTexts.h"
#include "pic/PicFiles.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Slice;

std::filesystem::path Fixture(const std::string& name) { return test::SourceDir() / "tests/hexfile/data" / name; }

bool AllWords(const MemoryImages& m, std::size_t from, std::size_t to, std::uint16_t value) {
  return std::all_of(m.FlashImage.begin() + from, m.FlashImage.begin() + to, [&](auto w) { return w == value; });
}

TEST(HexFixtures, AvrObjcopyFlashWithSegmentRecords) {
  MemoryImages m;
  LoadAvrFlashFile(Fixture("avr-flash.hex"), m);
  // srec_cat's reading of the first 512 bytes, holes filled with 0xFF.
  const auto low = test::ReadBytes(Fixture("avr-flash-low.bin"));
  ASSERT_EQ(low.size(), 512u);
  for (std::size_t w = 0; w < 256; ++w) {
    ASSERT_EQ(m.FlashImage[w], low[2 * w] | low[2 * w + 1] << 8) << "word " << w;
  }
  EXPECT_EQ(m.FlashImage[0], 0x940C);  // jmp of the reset vector
  EXPECT_TRUE(AllWords(m, 256, 0xF800, 0xFFFF));
  // far_table at byte 0x1F000, reached through the segment record 0x1000.
  const std::uint8_t table[16] = {0x01, 0x04, 0x07, 0x0A, 0x0D, 0x10, 0x13, 0x16,
                                  0x19, 0x1C, 0x1F, 0x22, 0x25, 0x28, 0x2B, 0x2E};
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(m.FlashImage[0xF800 + i], table[2 * i] | table[2 * i + 1] << 8);
  EXPECT_EQ(m.FlashDataCount, 0xF808);
}

TEST(HexFixtures, TheUpperBankOfA256KiBFlashIsReachedBySegmentAndLinearRecords) {
  MemoryImages m;
  // avr-objcopy: the table at byte 0x3F000 (segment 0x3000), the words before it a hole.
  LoadAvrFlashFile(Fixture("avr-flash-far.hex"), m);
  EXPECT_EQ(m.FlashImage[0x1F800], 0x0401);
  EXPECT_FALSE(m.FlashFilled[0x1F7FF]);
  EXPECT_EQ(m.FlashDataCount, 0x1F808);
  // srec_cat: 09 08 07 06 at 0x20000 (linear 0002), C3 up to the last byte of 256 KiB (linear 0003).
  LoadAvrFlashFile(Fixture("srec-far.hex"), m);
  EXPECT_EQ(Slice(m.FlashImage, 0xFFFF, 3), (std::vector<std::uint16_t>{0xFFFF, 0x0809, 0x0607}));
  EXPECT_EQ(m.FlashImage[0x1FFFF], 0xC3C3);
  EXPECT_EQ(m.FlashDataCount, 0x20000);
}

TEST(HexFixtures, AvrObjcopyEepromWithHoleBelow) {
  MemoryImages m;
  LoadEepromFile(Fixture("avr-eeprom.hex"), m);
  EXPECT_EQ(Slice(m.EepromImage, 0x100, 6), (Bytes{0xDE, 0xAD, 0xBE, 0xEF, 0x12, 0x34}));
  EXPECT_EQ(m.EepromImage[0xFF], 0xFF);
  EXPECT_EQ(m.EepromDataCount, 0x106);
}

TEST(HexFixtures, GpasmInhx8mAndInhx32FillAllThreePicImages) {
  for (const char* name : {"pic-inhx8m.hex", "pic-inhx32.hex"}) {
    SCOPED_TRACE(name);
    MemoryImages m;
    LoadPicFile(Fixture(name), m);
    EXPECT_EQ(m.FlashImage[0], 0x2805);  // goto start
    EXPECT_EQ(m.FlashImage[4], 0x0009);  // retfie
    EXPECT_EQ(m.FlashImage[1], 0xFFFF);
    EXPECT_EQ(m.FlashDataCount, 11);
    EXPECT_EQ(Slice(m.ConfigImage, 0, 16),
              (Bytes{1, 0, 2, 0, 3, 0, 4, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x3F}));
    EXPECT_EQ(Slice(m.EepromImage, 0, 9), (Bytes{1, 0, 2, 0, 3, 0, 0x55, 0, 0xFF}));
    EXPECT_EQ(m.EepromDataCount, 8);
  }
}

TEST(HexFixtures, SrecCatLinearSegmentAndLowerCaseReadAlike) {
  for (const char* name : {"srec-linear.hex", "srec-segment.hex", "srec-lower.hex"}) {
    SCOPED_TRACE(name);
    MemoryImages m;
    LoadAvrFlashFile(Fixture(name), m);
    for (std::size_t w = 0; w < 0x20; ++w) ASSERT_EQ(m.FlashImage[w], w % 2 ? 0x4433 : 0x2211);
    EXPECT_TRUE(AllWords(m, 0x20, 0x200, 0xFFFF));
    EXPECT_EQ(m.FlashImage[0x200], 'P' | 'i' << 8);
    EXPECT_EQ(m.FlashImage[0x207], '.' | '.' << 8);
    EXPECT_TRUE(AllWords(m, 0x208, 0xFFF0, 0xFFFF));
    EXPECT_TRUE(AllWords(m, 0xFFF0, 0x10000, 0xA5A5));
    EXPECT_EQ(m.FlashDataCount, 0x10000);  // the last word of the image, and no further
  }
}

TEST(HexFixtures, SrecCatBytesUpToTheLastByteAndNoFurther) {
  MemoryImages m;
  LoadEepromFile(Fixture("srec-eeprom.hex"), m);
  EXPECT_EQ(Slice(m.EepromImage, 0x10, 4), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(m.EepromImage[0xFFEF], 0xFF);
  EXPECT_EQ(m.EepromImage[0xFFFF], 0x5A);
  EXPECT_EQ(m.EepromDataCount, 0x10000);

  // The same tool's file reaching 0x1FFFF fits the byte image, which holds the largest I2C EEPROM.
  LoadEepromFile(Fixture("srec-linear.hex"), m);
  EXPECT_EQ(m.EepromImage[0x1FFFF], 0xA5);
  EXPECT_EQ(m.EepromDataCount, 0x20000);
}

}  // namespace
}  // namespace pw
