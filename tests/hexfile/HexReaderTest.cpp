// The reader's record handling, its leniency, and every refusal leaving the images as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ImageSlice.h"
#include "avr/AvrFlashFile.h"
#include "common/Error.h"
#include "frame/ImageFiles.h"
#include "hexfile/HexReader.h"
#include "hexfile/HexTexts.h"
#include "pic/PicFiles.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Slice;

class HexReaderTest : public ::testing::Test {
 protected:
  /// Images that hold something a load must replace (or, when refused, keep).
  HexReaderTest() {
    for (std::size_t i = 0; i < MemoryImages::kElements; ++i) {
      images.FlashImage[i] = static_cast<std::uint16_t>(i * 7);
      images.EepromImage[i] = images.ConfigImage[i] = static_cast<std::uint8_t>(i * 3);
    }
    images.FlashDataCount = 123;
    images.EepromDataCount = 456;
  }

  std::filesystem::path File(const std::string& text) { return dir.Write("in.hex", text); }

  /// Expects loading text with layout to be refused with message, changing nothing.
  template <typename Layout>
  void ExpectRefused(Layout layout, const std::string& text, const std::string& message) {
    const MemoryImages before = images;
    try {
      layout(File(text), images);
      ADD_FAILURE() << "loaded: " << text;
    } catch (const PinwrightError& e) {
      EXPECT_EQ(e.what(), message);
    }
    EXPECT_EQ(images.FlashImage, before.FlashImage);
    EXPECT_EQ(images.EepromImage, before.EepromImage);
    EXPECT_EQ(images.ConfigImage, before.ConfigImage);
    EXPECT_EQ(images.FlashDataCount, 123);
    EXPECT_EQ(images.EepromDataCount, 456);
    EXPECT_EQ(images.EepromFilled, before.EepromFilled);
  }

  test::TempDir dir;
  MemoryImages images;
};

TEST(HexToWord, ReadsLowSixteenBitsOfAnyCase) {
  EXPECT_EQ(HexToWord(""), 0);
  EXPECT_EQ(HexToWord("0a"), HexToWord("0A"));
  EXPECT_EQ(HexToWord("ffFF"), 0xFFFF);
  EXPECT_EQ(HexToWord("12345"), 0x2345);
  EXPECT_THROW(HexToWord("1G"), PinwrightError);
}

// Before, each of these loaded as an empty image and a write of it ended "Ошибок нет".
TEST_F(HexReaderTest, FileWithoutDataIsRefusedNamingIt) {
  const std::string path = (dir / "in.hex").string();
  for (const std::string& text : {std::string(), std::string(":00000001FF\r\n"), std::string(":00001000F0\n"),
                                  std::string("\x7F"
                                              "ELF\x02\x01\x01\0\0\0\n\x13\xF0 random bytes\r\n"),
                                  std::string("Hello, world!\nThis is no HEX file.\n")}) {
    ExpectRefused(LoadPicFile, text, texts::HexNoData(path));
  }
  ExpectRefused([](const std::filesystem::path&, MemoryImages& m) { return LoadEepromFile("/dev/null", m); }, "",
                "Ошибка! Не удалось прочитать файл /dev/null: это не обычный файл");
}

TEST_F(HexReaderTest, FilledMapMarksExactlyTheRecordBytes) {
  LoadEepromFile(File(":020010001122BB\n:01800000AA55\n"), images);
  std::vector<bool> expected(MemoryImages::kEepromElements, false);
  expected[0x10] = expected[0x11] = expected[0x8000] = true;
  EXPECT_EQ(images.EepromFilled, expected);
  EXPECT_EQ(images.EepromDataCount, 0x8001);
}

// A FIFO used to block the load for ever and /dev/zero to be read until memory ran out.
TEST_F(HexReaderTest, RefusesSpecialAndHugeFilesWithoutBlocking) {
  const auto fifo = dir / "pipe.hex";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const auto huge = dir / "huge.hex";
  std::filesystem::resize_file(dir.Write("huge.hex", ":0100000011EE\n"), kHexFileLimit + 1);
  const std::string notRegular = ": это не обычный файл";
  const std::vector<std::pair<std::filesystem::path, std::string>> cases = {
      {fifo, "Ошибка! Не удалось прочитать файл " + fifo.string() + notRegular},
      {"/dev/zero", "Ошибка! Не удалось прочитать файл /dev/zero" + notRegular},
      {huge, "Ошибка! Не удалось прочитать файл " + huge.string() + ": файл больше допустимых 67108864 байт"},
  };
  for (const auto& [file, message] : cases) {
    ExpectRefused([&](const std::filesystem::path&, MemoryImages& m) { return LoadEepromFile(file, m); }, "", message);
  }
}

TEST_F(HexReaderTest, ByteLayoutStoresAtOwnAddressAndCountsGaps) {
  LoadEepromFile(File(":0400100001020304E2\r\n:00000001FF\r\n"), images);
  EXPECT_EQ(Slice(images.EepromImage, 0x0F, 6), (Bytes{0xFF, 0x01, 0x02, 0x03, 0x04, 0xFF}));
  EXPECT_EQ(images.EepromDataCount, 0x14);
}

TEST_F(HexReaderTest, WordLayoutPairsBytesLowFirst) {
  LoadAvrFlashFile(File(":100000000C9434000C943E000C943E000C943E0082\r\n"), images);
  const std::vector<std::uint16_t> words = {0x940C, 0x0034, 0x940C, 0x003E, 0x940C, 0x003E, 0x940C, 0x003E, 0xFFFF};
  EXPECT_EQ(Slice(images.FlashImage, 0, 9), words);
  EXPECT_EQ(images.FlashDataCount, 8);
}

TEST_F(HexReaderTest, SegmentAndLinearBasesMoveRecords) {
  LoadAvrFlashFile(File(":020000021000EC\n:02000000AABB99\n"), images);
  EXPECT_EQ(images.FlashImage[0x8000], 0xBBAA);
  EXPECT_EQ(images.FlashDataCount, 0x8001);
  LoadAvrFlashFile(File(":020000040001F9\n:02000200AABB99\n:020000040000FA\n:0200000011224B\n"), images);
  EXPECT_EQ(images.FlashImage[0x8001], 0xBBAA);
  EXPECT_EQ(images.FlashImage[0], 0x2211);
  EXPECT_EQ(images.FlashDataCount, 0x8002);
}

TEST_F(HexReaderTest, ReadsOnPastEndRecordsAndSkipsEmptyAndOddRecords) {
  LoadAvrFlashFile(File(":0200000011224B\n:00000001FF\n:00004000C0\n:03001000AABBCC00\n:020020000a0bC9\n"), images);
  EXPECT_EQ(images.FlashImage[0], 0x2211);
  EXPECT_EQ(images.FlashImage[8], 0xBBAA);  // the third byte of a 3-byte record is dropped
  EXPECT_EQ(images.FlashImage[9], 0xFFFF);
  EXPECT_EQ(images.FlashImage[0x10], 0x0B0A);
  EXPECT_EQ(images.FlashImage[0x20], 0xFFFF);  // a byte count of 00 ignores the address
  EXPECT_EQ(images.FlashDataCount, 0x11);
}

TEST_F(HexReaderTest, PicLayoutSplitsProgramConfigurationAndData) {
  LoadPicFile(File(":02400E00FF3F72\r\n:04420000010002003F\r\n:02000000FE2FD1\r\n"), images);
  EXPECT_EQ(Slice(images.ConfigImage, 14, 2), (Bytes{0xFF, 0x3F}));
  EXPECT_EQ(Slice(images.EepromImage, 0, 4), (Bytes{0x01, 0x00, 0x02, 0x00}));
  EXPECT_EQ(images.EepromDataCount, 4);
  EXPECT_EQ(images.FlashImage[0], 0x2FFE);
  EXPECT_EQ(images.FlashDataCount, 1);
}

TEST_F(HexReaderTest, IgnoresStartCharacterChecksumAndOtherRecordTypes) {
  const std::string text =
      ";0200000011220000\r"    // odd start, wrong checksum, lone CR line end
      "junk\r\n"               // too short to have a type
      ":0400000503020100F0\n"  // start linear address: ignored
      "  \n"
      ":04001000123\n"      // cut short: 12, then one digit 3, then none twice
      ":03002000ABCD99\n";  // the checksum digits stand where the third byte is expected
  // Taken anyway, but the log hears of the first wrong checksum and how many there were.
  EXPECT_EQ(LoadEepromFile(File(text), images), texts::HexBadChecksums(1, 3));
  EXPECT_EQ(images.EepromImage[0], 0x11);
  EXPECT_EQ(images.EepromImage[1], 0x22);
  EXPECT_EQ(images.EepromImage[0x10], 0x12);
  EXPECT_EQ(images.EepromImage[0x11], 0x03);
  EXPECT_EQ(images.EepromImage[0x12], 0x00);
  EXPECT_EQ(images.EepromImage[0x13], 0x00);
  EXPECT_EQ(images.EepromImage[0x22], 0x99);
  EXPECT_EQ(images.EepromDataCount, 0x23);
  EXPECT_EQ(LoadEepromFile(File(":040000001122334452\n"), images), "");
}

TEST_F(HexReaderTest, SecondLoadReplacesFirstCompletely) {
  LoadEepromFile(File(":0400000011223344EC\n"), images);
  LoadEepromFile(File(":0100020055A8\n"), images);
  EXPECT_EQ(images.EepromImage[0], 0xFF);
  EXPECT_EQ(images.EepromImage[2], 0x55);
  EXPECT_EQ(images.EepromImage[3], 0xFF);
  EXPECT_EQ(images.EepromDataCount, 3);
}

TEST_F(HexReaderTest, RefusesDataBeyondAByteImage) {
  ExpectRefused(LoadEepromFile, ":0100000011EE\n:020000040004F6\n:0100000022DD\n", texts::HexOutsideImage(3, 0x40000));
  ExpectRefused(LoadEepromFile, ":020000040003F7\n:10FFF800000102030405060708090A0B0C0D0E0F81\n",
                texts::HexOutsideImage(2, 0x3FFF8));
  ExpectRefused(LoadEepromFile, ":02000004FFFFFC\n:10FFF000000102030405060708090A0B0C0D0E0F00\n",
                texts::HexOutsideImage(2, 0xFFFFFFF0));
  ExpectRefused(LoadPicFile, ":020000021000EC\n:0242000001000200\n", texts::HexOutsideImage(2, 0x14200));
}

TEST_F(HexReaderTest, RefusesWordsBeyondTheWordImage) {
  // The image holds 256 KiB, the largest AVR's flash.
  ExpectRefused(LoadAvrFlashFile, ":020000024000BC\n:02000000AABB99\n", texts::HexOutsideImage(2, 0x40000));
  // The last two words still fit; one word further does not.
  ExpectRefused(LoadAvrFlashFile, ":020000023000CC\n:04FFFC00AABBCCDDEE\n:04FFFE00AABBCCDDEC\n",
                texts::HexOutsideImage(3, 0x3FFFE));
  // A lone byte at word 0x20001 stores nothing, but would count past the image.
  ExpectRefused(LoadAvrFlashFile, ":020000024000BC\n:01000200AA53\n", texts::HexOutsideImage(2, 0x40002));
}

TEST_F(HexReaderTest, RefusesNonHexDigitsInFieldsItReads) {
  ExpectRefused(LoadEepromFile, ":0100000011EE\n:0G00000011EE\n", texts::HexBadDigit(2, 3));
  ExpectRefused(LoadEepromFile, ":01000x0011EE\n", texts::HexBadDigit(1, 7));
  ExpectRefused(LoadEepromFile, ":020000001 22\n", texts::HexBadDigit(1, 11));
  ExpectRefused(LoadEepromFile, ":02000004000-F9\n", texts::HexBadDigit(1, 13));
  ExpectRefused(LoadEepromFile, ":0300000011223 \n", texts::HexBadDigit(1, 15));  // a blank is no digit
}

TEST_F(HexReaderTest, MissingFileOrFolderIsNotFound) {
  ExpectRefused([](const std::filesystem::path& p, MemoryImages& m) { LoadPicFile(p.parent_path() / "none.hex", m); },
                "", texts::kFileNotFound);
  ExpectRefused([](const std::filesystem::path& p, MemoryImages& m) { LoadPicFile(p.parent_path(), m); }, "",
                texts::kFileNotFound);
}

}  // namespace
}  // namespace pw
