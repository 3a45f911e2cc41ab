// Record texts of the writers, the 64 KiB block records, and saving.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "common/Error.h"
#include "hexfile/HexReader.h"
#include "hexfile/HexWriter.h"
#include "support/FileSizeLimit.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

using test::FileSizeLimit;

TEST(HexWriter, WordsMakeFullRecordsLowByteFirst) {
  const std::vector<std::uint16_t> words = {0x940C, 0x0034, 0x940C, 0x003E, 0x940C, 0x003E, 0x940C, 0x003E,
                                            0x1234, 0xABCD, 0x0001, 0xFFFF, 0x0000, 0x8000, 0x7FFF, 0x5AA5};
  std::string text;
  std::int32_t address = 0;
  AppendHexWords(8, words, text, address);
  EXPECT_EQ(text, ":100000000C9434000C943E000C943E000C943E0082\r\n");
  EXPECT_EQ(address, 16);
  AppendHexWords(16, words, text, address);  // ends exactly on a full record: no short record
  EXPECT_EQ(text.size(), 3 * 45u);
  EXPECT_EQ(text.substr(90, 9), ":10002000");
  EXPECT_EQ(address, 48);
  AppendHexWords(0, words, text, address);
  EXPECT_EQ(text.size(), 3 * 45u);
  EXPECT_EQ(address, 48);
}

TEST(HexWriter, ShortRecordsAdvanceOnlyBytesAsWords) {
  const std::vector<std::uint8_t> bytes = {0x12, 0x34, 0x56, 0x00, 0x01, 0x02, 0x03, 0x04,
                                           0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0xF7, 0x3F};
  std::string text;
  std::int32_t address = 0;
  AppendHexBytesAsWords(3, bytes, text, address, 0x4200, 0);
  EXPECT_EQ(text, ":064200001200340056001C\r\n");
  EXPECT_EQ(address, 3);

  text.clear();
  address = 0;
  AppendHexBytes(14, bytes, text, address, 0x4000, 0);
  AppendHexBytes(2, bytes, text, address, 0x400E, 14);
  EXPECT_EQ(text, ":0E400000123456000102030405060708090ADF\r\n:02400E00F73F7A\r\n");
  EXPECT_EQ(address, 0);

  const std::vector<std::uint16_t> words = {0x3FFF, 0x0102, 0x0304};
  text.clear();
  AppendHexWords(3, words, text, address);
  EXPECT_EQ(text, ":06000000FF3F02010403B2\r\n");
  EXPECT_EQ(address, 0);
}

TEST(HexWriter, RefusesToReadPastItsSource) {
  const std::vector<std::uint16_t> words(8);
  const std::vector<std::uint8_t> bytes(16);
  std::string text = "kept";
  std::int32_t address = 0;
  EXPECT_THROW(AppendHexWords(9, words, text, address), PinwrightError);
  EXPECT_THROW(AppendHexBytes(2, bytes, text, address, 0, 15), PinwrightError);
  EXPECT_THROW(AppendHexBytesAsWords(1, bytes, text, address, 0, -1), PinwrightError);
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(address, 0);
}

TEST(HexWriter, BlockRecordsOnlyWhenTheBlockChanges) {
  std::string text;
  std::optional<std::uint32_t> lastBlock;
  for (const std::int32_t address :
       {0x0, 0x10, 0xFFF0, 0x10000, 0x20000, 0x30000, 0x40000, 0x40010, 0x50000, 0xF0000, 0x100000}) {
    AppendSegmentRecord(text, address, lastBlock);
  }
  EXPECT_EQ(text,
            ":020000020000FC\r\n:020000021000EC\r\n:020000022000DC\r\n:020000023000CC\r\n:020000024000BC\r\n"
            ":020000025000AC\r\n:02000002F0000C\r\n:020000040010EA\r\n");
  EXPECT_EQ(lastBlock, 0x10u);
}

/// Writes a 64 K-word image as the AVR flash read does (a block record before every page),
/// then reads it back with the flash layout.
TEST(HexWriter, FullWordImageLoadsBackWithBlockRecords) {
  std::vector<std::uint16_t> image(65536);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint16_t>(i * 40503u + 17);
  std::string text;
  std::int32_t address = 0;
  std::optional<std::uint32_t> lastBlock;
  for (std::size_t page = 0; page < image.size(); page += 128) {
    AppendSegmentRecord(text, address, lastBlock);
    AppendHexWords(128, std::span(image).subspan(page, 128), text, address);
  }
  test::TempDir dir;
  SaveHexText(dir / "flash.hex", text);
  EXPECT_EQ(test::ReadText(dir / "flash.hex"), text);
  EXPECT_EQ(text.substr(text.size() - 13), ":00000001FF\r\n");

  std::vector<std::uint16_t> words(65536);
  std::vector<std::uint8_t> unused(65536);
  std::int32_t wordCount = 0, ignored = 0;
  LoadHexFile(dir / "flash.hex", words, wordCount, unused, ignored, 0x0FFFFFFF, unused, ignored, 0x0FFFFFFF);
  EXPECT_EQ(words, image);
  EXPECT_EQ(wordCount, 65536);
}

/// Data written past block 4 carries its own block record, so it loads at its own address
/// instead of over block 0.
TEST(HexWriter, BytesAboveBlockFourLoadBackWhereTheyBelong) {
  const std::vector<std::uint8_t> low = {1, 2, 3, 4};
  const std::vector<std::uint8_t> high = {9, 8, 7};
  std::string text;
  std::optional<std::uint32_t> lastBlock;
  std::int32_t address = 0;
  AppendSegmentRecord(text, address, lastBlock);
  AppendHexBytes(4, low, text, address, 0, 0);
  address = 0x50010;
  AppendSegmentRecord(text, address, lastBlock);
  AppendHexBytes(3, high, text, address, 0, 0);
  test::TempDir dir;
  SaveHexText(dir / "big.hex", text);

  std::vector<std::uint16_t> words(65536);
  std::vector<std::uint8_t> top(65536), mid(65536);
  std::int32_t wordCount = 0, topCount = 0, midCount = 0;
  LoadHexFile(dir / "big.hex", words, wordCount, top, topCount, 0x50000, mid, midCount, 0x0FFFFFFF);
  EXPECT_EQ(words[0], 0x0201);
  EXPECT_EQ(words[1], 0x0403);
  EXPECT_EQ(wordCount, 2);
  EXPECT_EQ(std::vector<std::uint8_t>(top.begin() + 0x10, top.begin() + 0x13), high);
  EXPECT_EQ(topCount, 0x13);
}

TEST(HexWriter, FailedSaveKeepsTheOldFileAndTheText) {
  test::TempDir dir;
  std::string text = ":0100000011EE\r\n";
  // A folder that cannot exist: its parent is a regular file (this stops root too).
  dir.Write("plain", "x");
  EXPECT_THROW(SaveHexText(dir / "plain" / "out.hex", text), PinwrightError);
  EXPECT_EQ(text, ":0100000011EE\r\n");

  // The new text cannot be written whole (a file size limit, which stops root too): the old file
  // stays whole and no temporary file is left.
  const auto old = dir.Write("out.hex", "old contents");
  {
    const FileSizeLimit limit(4);
    EXPECT_THROW(SaveHexText(old, text), PinwrightError);
  }
  EXPECT_EQ(test::ReadText(old), "old contents");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
  // A pipe is neither written into nor replaced by a file.
  ASSERT_EQ(::mkfifo((dir / "pipe.hex").c_str(), 0644), 0);
  EXPECT_THROW(SaveHexText(dir / "pipe.hex", text), PinwrightError);
  EXPECT_TRUE(fs::is_fifo(dir / "pipe.hex"));

  SaveHexText(old, text);
  EXPECT_EQ(test::ReadText(old), ":0100000011EE\r\n:00000001FF\r\n");
}

TEST(HexWriter, ASavedFileGetsTheModeOfANewFileOrKeepsTheOneItReplaces) {
  test::TempDir dir;
  const mode_t before = ::umask(022);
  std::string text = ":0100000011EE\r\n";
  SaveHexText(dir / "new.hex", text);
  EXPECT_EQ(fs::status(dir / "new.hex").permissions(), fs::perms(0644));
  fs::permissions(dir / "new.hex", fs::perms(0600));
  SaveHexText(dir / "new.hex", text);
  EXPECT_EQ(fs::status(dir / "new.hex").permissions(), fs::perms(0600));
  ::umask(before);
}

}  // namespace
}  // namespace pw
