// Comparing images with what a chip read (verify without writing), and raw binary files beside
// HEX ones: the same file in either format loads the same image (saving: tests/e2e/ImagesCliTest).

#include <gtest/gtest.h>

#include "avr/AvrFlashFile.h"
#include "common/Error.h"
#include "frame/ImageDifferences.h"
#include "frame/ImageFiles.h"
#include "hexfile/HexWriter.h"
#include "pic/PicFiles.h"
#include "support/SameImages.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using Lines = std::vector<std::string>;

TEST(ImageDifferences, CountEveryDifferenceShowTenAndSkipWhatTheFileDidNotHold) {
  struct Case {
    const char* Name;
    std::vector<std::uint8_t> Read;
    std::vector<bool> Filled;
    std::size_t Count;
    Lines Shown;
  };
  const std::vector<std::uint8_t> image{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B};
  const std::vector<bool> all(image.size(), true);
  std::vector<bool> gaps = all;
  gaps[1] = gaps[2] = false;
  std::vector<std::uint8_t> twisted = image;
  twisted[1] = twisted[2] = 0xFF;
  const Case cases[] = {
      {"equal", image, all, 0, {}},
      {"one",
       {0x10, 0x11, 0xFF, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B},
       all,
       1,
       {"байт 0x0002: ожидалось 12, прочитано FF", "Всего различий: 1"}},
      {"unfilled bytes are not compared", twisted, gaps, 0, {}},
      {"twelve", std::vector<std::uint8_t>(12, 0x00), all, 12, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ImageDifferences d;
    d.Compare(image, c.Filled, 0x10, std::span(c.Read).first(2));  // past the image: nothing compared
    ImageDifferences whole;
    whole.Compare(image, c.Filled, 0, c.Read);
    EXPECT_EQ(whole.Count(), c.Count);
    const Lines lines = whole.Lines("байт", 2);
    EXPECT_EQ(lines.size(), std::min<std::size_t>(c.Count, ImageDifferences::kShown) + (c.Count > 0 ? 1 : 0));
    if (!c.Shown.empty()) {
      EXPECT_EQ(lines, c.Shown);
    }
    if (c.Count > 0) {
      EXPECT_EQ(lines.back(), "Всего различий: " + std::to_string(c.Count));
    }
  }
  // Shifted words: word 3 of the image is compared with the first word read from 3 on.
  const std::vector<std::uint16_t> words{0xFFFF, 0xFFFF, 0xFFFF, 0x940C};
  ImageDifferences w;
  w.Compare(words, std::vector<bool>(4, true), 3, std::vector<std::uint16_t>{0x940D});
  EXPECT_EQ(w.Lines("слово", 4), (Lines{"слово 0x0003: ожидалось 940C, прочитано 940D", "Всего различий: 1"}));
}

/// The same bytes as a HEX file (16-byte records) and as a raw file.
struct TwinFiles {
  explicit TwinFiles(const std::vector<std::uint8_t>& bytes, const std::string& binName = "image.bin") {
    std::string text;
    std::int32_t address = 0;
    std::optional<std::uint32_t> block;
    for (std::size_t at = 0; at < bytes.size(); at += 16) {
      AppendSegmentRecord(text, address, block);
      AppendHexBytes(static_cast<std::int32_t>(std::min<std::size_t>(16, bytes.size() - at)), bytes, text, address, 0,
                     static_cast<std::int32_t>(at));
    }
    SaveHexText(dir / "image.hex", text);
    bin = dir.Write(binName, std::string(bytes.begin(), bytes.end()));
  }
  test::TempDir dir;
  std::filesystem::path bin;
};

std::vector<std::uint8_t> Pattern(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t k = 0; k < n; ++k) bytes[k] = static_cast<std::uint8_t>(k * 7 + 3);
  return bytes;
}

TEST(BinaryFiles, LoadTheSameImagesAsTheirHexTwins) {
  using Load = std::string (*)(const ImageFile&, MemoryImages&);
  struct Case {
    const char* Name;
    std::size_t Bytes;
    const char* BinName;
  };
  // 131072 bytes fill the whole flash image; 65536 the whole EEPROM image.
  const Case cases[] = {{"small", 300, "image.bin"}, {"upper-case name", 64, "IMAGE.BIN"}, {"whole", 65536, "a.Bin"}};
  EXPECT_EQ(FormatOf(ImageFile{"chip.bin.hex"}), FileFormat::Hex);
  EXPECT_EQ(FormatOf(ImageFile{"bin"}), FileFormat::Hex);
  for (const Case& c : cases) {
    for (const Load load : {Load{LoadAvrFlashFile}, Load{LoadEepromFile}}) {
      SCOPED_TRACE(c.Name);
      const TwinFiles files(Pattern(c.Bytes), c.BinName);
      MemoryImages hex, bin;
      load(files.dir / "image.hex", hex);
      EXPECT_EQ(load(files.bin, bin), "");
      test::ExpectSameImages(bin, hex);
    }
  }
}

TEST(BinaryFiles, AFileTheImageCannotHoldIsRefusedAndTheImagesKeepWhatTheyHeld) {
  test::TempDir dir;
  const auto kept = dir.Write("kept.bin", "\x01\x02\x03");
  struct Case {
    const char* Name;
    std::string (*Load)(const ImageFile&, MemoryImages&);
    std::size_t Bytes;
    const char* Message;
  };
  const Case cases[] = {
      {"flash", LoadAvrFlashFile, 2 * MemoryImages::kFlashWords + 1, "(262145 байт) больше памяти"},
      {"eeprom", LoadEepromFile, MemoryImages::kEepromElements + 1, "(262145 байт) больше памяти"},
      {"empty", LoadEepromFile, 0, "пуст; файл не загружен"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    MemoryImages m;
    c.Load(kept, m);
    const MemoryImages before = m;
    const auto big = dir.Write("big.bin", std::string(c.Bytes, '\x5A'));
    try {
      c.Load(big, m);
      ADD_FAILURE() << "loaded";
    } catch (const PinwrightError& e) {
      EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
    }
    EXPECT_EQ(m.FlashImage, before.FlashImage);
    EXPECT_EQ(m.EepromImage, before.EepromImage);
    EXPECT_EQ(m.FlashDataCount, before.FlashDataCount);
    EXPECT_EQ(m.EepromDataCount, before.EepromDataCount);
  }
  MemoryImages m;
  EXPECT_THROW(LoadEepromFile(dir / "missing.bin", m), PinwrightError);
}

TEST(BinaryFiles, AnEepromFileAfterAPicFileHasTheWholeImageToFill) {
  test::TempDir dir;
  MemoryImages m;
  LoadPicFile(dir.Write("pic.hex", ":02000000FF3FC0\n:00000001FF\n"), m);
  ASSERT_EQ(m.EepromImage.size(), MemoryImages::kEepromElements);
  ASSERT_EQ(m.EepromFilled.size(), MemoryImages::kEepromElements);
  EXPECT_EQ(LoadEepromFile(dir.Write("data.bin", std::string(MemoryImages::kEepromElements, '\x5A')), m), "");
  EXPECT_EQ(m.EepromImage.back(), 0x5A);
}

}  // namespace
}  // namespace pw
