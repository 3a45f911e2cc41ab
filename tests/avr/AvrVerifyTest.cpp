// Verify without writing and the blank check: the chip compared with a file (or with an erased
// chip), only the words and bytes the file holds, nothing written, the first differences and
// their count in the log.

#include <gtest/gtest.h>

#include <algorithm>

#include "AvrBench.h"
#include "hexfile/HexWriter.h"

namespace pw {
namespace {

using test::AvrBench;
using Lines = std::vector<std::string>;

/// A HEX file with words at word addresses 0..7 and 0x100..0x107 (a gap between the records).
std::filesystem::path GappedFile(const test::TempDir& dir) {
  std::string text;
  std::int32_t address = 0;
  std::vector<std::uint16_t> words(8);
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint16_t>(0x1100 + i);
  AppendHexWords(8, words, text, address);
  address = 0x200;
  AppendHexWords(8, words, text, address);
  SaveHexText(dir / "gapped.hex", text);
  return dir / "gapped.hex";
}

TEST(AvrVerify, TheChipIsComparedWithTheFileWhereTheFileHoldsData) {
  struct Case {
    const char* Name;
    /// Word address and value set in the chip after it holds the file.
    std::vector<std::pair<std::size_t, std::uint16_t>> Changes;
    Outcome Result;
    Lines Tail;
  };
  std::vector<std::pair<std::size_t, std::uint16_t>> twelve;
  for (std::size_t w = 0; w < 12; ++w) twelve.push_back({w < 8 ? w : 0x100 + w - 8, 0x0000});
  const Case cases[] = {
      {"equal", {}, Outcome::Success, {"Флеш совпадает с файлом"}},
      {"the gap is not compared", {{0x20, 0x0000}, {0xFF, 0x1234}}, Outcome::Success, {"Флеш совпадает с файлом"}},
      {"one word",
       {{0x101, 0xABCD}},
       Outcome::TargetProblem,
       {"Ошибка: флеш отличается от файла", "слово 0x0101: ожидалось 1101, прочитано ABCD", "Всего различий: 1"}},
      {"twelve words",
       twelve,
       Outcome::TargetProblem,
       {"слово 0x0101: ожидалось 1101, прочитано 0000", "Всего различий: 12"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    AvrBench b("ATmega328P");
    const auto file = GappedFile(b.Dir);
    ASSERT_EQ(b.Open(b.Page().AvrLoadFls, file), Outcome::Success);
    for (std::size_t w : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u}) {
      for (std::size_t base : {0x000u, 0x100u}) {
        b.Core().Flash[2 * (base + w)] = static_cast<std::uint8_t>(w);
        b.Core().Flash[2 * (base + w) + 1] = 0x11;
      }
    }
    for (const auto& [word, value] : c.Changes) {
      b.Core().Flash[2 * word] = static_cast<std::uint8_t>(value & 0xFF);
      b.Core().Flash[2 * word + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    const auto flash = b.Core().Flash;
    b.Form->Fire([&] { b.Page().AvrVerifyFlsClick(); });
    EXPECT_EQ(b.Form->LastOutcome(), c.Result);
    const Lines& log = b.Log();
    ASSERT_GE(log.size(), c.Tail.size());
    EXPECT_EQ(Lines(log.end() - static_cast<std::ptrdiff_t>(c.Tail.size()), log.end()), c.Tail);
    const auto shown =
        std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.starts_with("слово "); });
    EXPECT_EQ(static_cast<std::size_t>(shown),
              c.Result == Outcome::Success ? 0 : std::min<std::size_t>(c.Changes.size(), 10));
    EXPECT_EQ(b.Core().Flash, flash) << "nothing written";
    EXPECT_FALSE(b.DeviceOpen());
  }
}

TEST(AvrVerify, TheBlankCheckAndTheEepromCompareReportLikeTheFlashVerify) {
  AvrBench b("ATmega328P");
  b.Click(b.Page().AvrRdSign);
  b.Form->Fire([&] { b.Page().AvrBlankCheckClick(); });
  EXPECT_EQ(b.Form->LastOutcome(), Outcome::Success);
  EXPECT_EQ(b.Log().back(), "Флеш чистая");
  b.Core().Flash[2 * 0x3FFF + 1] = 0x7F;
  b.Form->Fire([&] { b.Page().AvrBlankCheckClick(); });
  EXPECT_EQ(b.Form->LastOutcome(), Outcome::TargetProblem);
  EXPECT_EQ(Lines(b.Log().end() - 3, b.Log().end()),
            (Lines{"Ошибка: флеш не чистая", "слово 0x3FFF: ожидалось FFFF, прочитано 7FFF", "Всего различий: 1"}));

  ASSERT_EQ(b.ClickWithFile(b.Page().AvrLoadEep, test::WriteBytesHex(b.Dir / "ee.hex", {1, 2, 3})), Outcome::Success);
  b.Core().Eeprom[0] = 1;
  b.Core().Eeprom[1] = 2;
  b.Core().Eeprom[2] = 3;
  b.Form->Fire([&] { b.Page().AvrVerifyEepClick(); });
  EXPECT_EQ(b.Log().back(), "EEPROM совпадает с файлом");
  b.Core().Eeprom[2] = 0x33;
  b.Form->Fire([&] { b.Page().AvrVerifyEepClick(); });
  EXPECT_EQ(b.Form->LastOutcome(), Outcome::TargetProblem);
  EXPECT_EQ(Lines(b.Log().end() - 2, b.Log().end()),
            (Lines{"байт 0x0002: ожидалось 03, прочитано 33", "Всего различий: 1"}));
}

}  // namespace
}  // namespace pw
