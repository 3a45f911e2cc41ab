// pinwright-cli avr read-flash / write-flash / read-eeprom / write-eeprom / write-fuses / erase /
// reset on benches written by the tests, with HEX files built by avr-gcc (data/make-fixtures.sh).
// The benches keep the chips' memories in files, so what one run writes the next one reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <span>
#include <sstream>

#include "avr/AvrFlashFile.h"
#include "avr/AvrTexts.h"
#include "frame/ImageFiles.h"
#include "frame/Texts.h"
#include "hexfile/HexWriter.h"
#include "support/AvrSpiTrace.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::RunCli;
using test::TempDir;
using Lines = std::vector<std::string>;

std::filesystem::path Fixture(const std::string& name) { return test::SourceDir() / "tests/e2e/data" / name; }

/// A folder with a bench carrying part, its memories in flash.bin and eeprom.bin.
struct CliBench {
  CliBench(const std::string& part, const std::string& extra = "") {
    dir.Write("bench.ini", "[AVR]\nPart=" + part + "\nFlash=flash.bin\nEeprom=eeprom.bin\n" + extra);
  }
  /// pinwright-cli --simulator=bench.ini [options] avr args: options are the leading "--" words.
  test::CliResult Run(std::vector<std::string> args) const {
    const auto options =
        std::find_if(args.begin(), args.end(), [](const std::string& a) { return a.rfind("--", 0) != 0; });
    args.insert(options, "avr");
    args.insert(args.begin(), "--simulator=bench.ini");
    return RunCli(args, dir.Path());
  }
  std::vector<unsigned char> Memory(const std::string& name) const { return test::ReadBytes(dir / name); }
  TempDir dir;
};

/// The flash a chip of words words holds after writing file: the file's words, 0xFF elsewhere.
std::vector<unsigned char> FlashOf(const std::filesystem::path& file, std::size_t words) {
  MemoryImages m;
  LoadAvrFlashFile(file, m);
  std::vector<unsigned char> bytes;
  for (std::size_t w = 0; w < words; ++w) {
    bytes.push_back(static_cast<unsigned char>(m.FlashImage[w] & 0xFF));
    bytes.push_back(static_cast<unsigned char>(m.FlashImage[w] >> 8));
  }
  return bytes;
}

/// The EEPROM a chip of size bytes holds after writing file.
std::vector<unsigned char> EepromOf(const std::filesystem::path& file, std::size_t size) {
  MemoryImages m;
  LoadEepromFile(file, m);
  return {m.EepromImage.begin(), m.EepromImage.begin() + static_cast<std::ptrdiff_t>(size)};
}

std::string LastLine(const test::CliResult& r) { return r.Lines().empty() ? "" : r.Lines().back(); }

/// The last n lines the run printed.
Lines Tail(const test::CliResult& r, std::size_t n) {
  const Lines all = r.Lines();
  return {all.end() - static_cast<std::ptrdiff_t>(std::min(n, all.size())), all.end()};
}

struct Chip {
  const char* Part;
  const char* Fixture;
  std::size_t FlashWords;
  std::size_t EepromBytes;
};

/// Writes the fixture's flash and EEPROM, reads both back and compares; then erases and reads 0xFF.
void RoundTrip(const Chip& chip, const std::string& extra = "") {
  SCOPED_TRACE(chip.Part);
  CliBench b(chip.Part, extra);
  const auto flashHex = Fixture(std::string(chip.Fixture) + "-flash.hex");
  const auto eepromHex = Fixture(std::string(chip.Fixture) + "-eeprom.hex");
  const auto expectedFlash = FlashOf(flashHex, chip.FlashWords);
  const auto expectedEeprom = EepromOf(eepromHex, chip.EepromBytes);

  const auto write = b.Run({"write-flash", flashHex.string()});
  ASSERT_EQ(write.Status, 0) << write.Out << write.Err;
  EXPECT_EQ(LastLine(write), "Ошибок нет");
  EXPECT_EQ(b.Memory("flash.bin"), expectedFlash);
  const auto read = b.Run({"read-flash", "back.hex"});
  ASSERT_EQ(read.Status, 0) << read.Out << read.Err;
  EXPECT_EQ(LastLine(read), "файл сохранён");
  EXPECT_EQ(FlashOf(b.dir / "back.hex", chip.FlashWords), expectedFlash);

  const auto writeEeprom = b.Run({"write-eeprom", eepromHex.string()});
  ASSERT_EQ(writeEeprom.Status, 0) << writeEeprom.Out << writeEeprom.Err;
  EXPECT_EQ(LastLine(writeEeprom), "Ошибок нет");
  EXPECT_EQ(b.Memory("eeprom.bin"), expectedEeprom);
  ASSERT_EQ(b.Run({"read-eeprom", "ee.hex"}).Status, 0);
  EXPECT_EQ(EepromOf(b.dir / "ee.hex", chip.EepromBytes), expectedEeprom);

  ASSERT_EQ(b.Run({"erase"}).Status, 0);
  ASSERT_EQ(b.Run({"read-flash", "erased.hex"}).Status, 0);
  ASSERT_EQ(b.Run({"read-eeprom", "erased-ee.hex"}).Status, 0);
  EXPECT_EQ(FlashOf(b.dir / "erased.hex", chip.FlashWords), std::vector<unsigned char>(2 * chip.FlashWords, 0xFF));
  EXPECT_EQ(EepromOf(b.dir / "erased-ee.hex", chip.EepromBytes), std::vector<unsigned char>(chip.EepromBytes, 0xFF));
}

TEST(AvrMemoryCli, Atmega328PRoundTripsFlashAndEeprom) { RoundTrip({"ATmega328P", "m328p", 16384, 1024}); }

TEST(AvrMemoryCli, Atmega1284PRoundTripsFlashAndEepromAcrossTheFirst64KiB) {
  RoundTrip({"ATmega1284P", "m1284p", 65536, 4096});
}

TEST(AvrMemoryCli, Atmega8AWithByteWrittenEepromRoundTripsUnderDatasheetTiming) {
  RoundTrip({"ATmega8A", "m8a", 4096, 512}, "[Timing]\nModel=datasheet\n");
}

TEST(AvrMemoryCli, Atmega328PRoundTripsUnderDatasheetTiming) {
  RoundTrip({"ATmega328P", "m328p", 16384, 1024}, "[Timing]\nModel=datasheet\n");
}

TEST(AvrMemoryCli, FusesAndLockAreWrittenAndReadBack) {
  CliBench b("ATmega328P", "[Timing]\nModel=datasheet\n");
  const auto asked = b.Run({"write-fuses", "E2", "D1", "FD", "EC"});
  EXPECT_EQ(asked.Status, 1) << "declined work is not success";
  EXPECT_EQ(asked.Lines().size(), 4u) << asked.Out;  // the identification only: the answer is No
  EXPECT_NE(asked.Err.find("--yes"), std::string::npos);
  EXPECT_NE(asked.Err.find("Точно??"), std::string::npos);
  const auto yes = b.Run({"--yes", "write-fuses", "e2", "0xD1", "FD", "EC"});
  EXPECT_EQ(yes.Status, 0) << yes.Out << yes.Err;
  EXPECT_EQ(Tail(yes, 7), (Lines{"конфигурация E2D1FD", "байт защиты EC", "младший фьюз: записано E2, в чипе E2",
                                 "старший фьюз: записано D1, в чипе D1", "расширенный фьюз: записано FD, в чипе FD",
                                 "байт защиты: записано EC, в чипе EC", "конфигурация и защита прошиты"}));
  EXPECT_EQ(b.Run({"write-fuses", "E2", "D1", "FD", "1EC"}).Status, 64);
  EXPECT_EQ(b.Run({"write-fuses", "E2", "D1", "FD"}).Status, 64);
}

TEST(AvrMemoryCli, FusesThatLockTheProgrammerOutNeedForceBesidesYes) {
  // ATtiny13A: high fuse bit 0 is RSTDISBL.
  CliBench b("ATtiny13A", "[Timing]\nModel=datasheet\n");
  const std::string risk =
      "RSTDISBL = 0: вывод RESET станет обычным выводом, войти в режим программирования будет нельзя";
  const auto yes = b.Run({"--yes", "write-fuses", "6A", "FE", "FF", "FF"});
  EXPECT_EQ(yes.Status, 1) << yes.Out << yes.Err;
  EXPECT_EQ(LastLine(yes), "Внимание! " + risk);
  EXPECT_NE(yes.Err.find("Опасные фьюзы: " + risk), std::string::npos) << yes.Err;
  EXPECT_NE(yes.Err.find("(подтвердите ключами --yes --force)"), std::string::npos) << yes.Err;
  const auto forced = b.Run({"--yes", "--force", "write-fuses", "6A", "FE", "FF", "FF"});
  // Written; the chip restarts with RESET as an I/O pin and no longer answers.
  EXPECT_EQ(forced.Status, 2) << forced.Out << forced.Err;
  EXPECT_EQ(Tail(forced, 3), (Lines{"конфигурация 6AFEFF", "байт защиты FF", "Ошибка: чип не отвечает"}));
}

TEST(AvrMemoryCli, AFuseWriteChangesTheChipAsAskedOrNotAtAll) {
  // Before: the chip's fuse file (low, high, extended, lock); after: what it holds once the run
  // ended, which bench.ini writes back when the run changed it.
  using Bytes = std::vector<unsigned char>;
  struct Row {
    const char* What;
    const char* Part;
    Bytes Before;
    std::string Asked;  ///< the four bytes of write-fuses
    int Status;
    Bytes After;
    Lines Tail = {"конфигурация и защита прошиты"};
  };
  const Bytes m328p{0x62, 0xD9, 0xFF, 0xFF}, t85{0x62, 0xDF, 0xFF, 0xFF}, m1284p{0x62, 0x99, 0xFF, 0xFF},
      m8a{0xE1, 0xD9, 0xFF, 0xFF};
  const Row rows[] = {
      {"factory bytes, CKDIV8 kept", "ATmega328P", m328p, "62 D9 FF FF", 0, m328p},
      {"factory bytes", "ATtiny85", t85, "62 DF FF FF", 0, t85},
      {"factory bytes, JTAGEN kept", "ATmega1284P", m1284p, "62 99 FF FF", 0, m1284p},
      {"factory bytes, brown-out kept", "ATmega8A", m8a, "E1 D9 FF FF", 0, m8a},
      {"low bits 7, 6 cleared", "ATmega328P", m328p, "22 D9 FF FF", 0, {0x22, 0xD9, 0xFF, 0xFF}},
      {"brown-out on", "ATmega8A", m8a, "21 D9 FF FF", 0, {0x21, 0xD9, 0xFF, 0xFF}},
      {"high bits 7, 6 cleared", "ATmega1284P", m1284p, "62 19 FF FF", 0, {0x62, 0x19, 0xFF, 0xFF}},
      // The ATmega328P's extended fuse has no bits 7 and 6: they stay as the chip reads them.
      {"extended bits 7, 6 cleared", "ATmega328P", m328p, "62 D9 3F FF", 0, m328p},
      {"RSTDISBL without --force",
       "ATmega328P",
       m328p,
       "62 59 FF FF",
       1,
       m328p,
       {"Внимание! RSTDISBL = 0: вывод RESET станет обычным выводом, войти в режим программирования будет нельзя"}},
      // Serial programming cannot clear SPIEN's programmed state.
      {"SPIEN unprogrammed",
       "ATmega328P",
       m328p,
       "62 F9 FF FF",
       2,
       m328p,
       {"Ошибка: старший фьюз: записано F9, в чипе D9", "расширенный фьюз: записано FF, в чипе FF",
        "байт защиты: записано FF, в чипе FF", "Ошибка: конфигурация не прошита, в чипе 62D9FF"}},
      // Lock mode 2: the chip refuses fuse writes.
      {"read back differs",
       "ATmega328P",
       {0x62, 0xD9, 0xFF, 0xFE},
       "E2 D9 FF FF",
       2,
       {0x62, 0xD9, 0xFF, 0xFE},
       {"Ошибка: младший фьюз: записано E2, в чипе 62", "старший фьюз: записано D9, в чипе D9",
        "расширенный фьюз: записано FF, в чипе FF", "Ошибка: байт защиты: записано FF, в чипе FE",
        "Ошибка: конфигурация не прошита, в чипе 62D9FF", "Ошибка: байт защиты не прошит, в чипе FE"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.What);
    CliBench b(row.Part, "FuseFile=fuses.bin\n");
    b.dir.Write("fuses.bin", std::string(row.Before.begin(), row.Before.end()));
    std::vector<std::string> args{"--yes", "write-fuses"};
    std::istringstream asked(row.Asked);
    for (std::string byte; asked >> byte;) args.push_back(byte);
    const auto r = b.Run(args);
    EXPECT_EQ(r.Status, row.Status) << r.Out << r.Err;
    EXPECT_EQ(b.Memory("fuses.bin"), row.After);
    EXPECT_EQ(Tail(r, row.Tail.size()), row.Tail);
  }
}

TEST(AvrMemoryCli, ALockedChipFailsTheVerifyAtItsFirstWord) {
  CliBench b("ATmega328P", "Lock=FC\n");
  const auto r = b.Run({"write-flash", Fixture("m328p-flash.hex").string()});
  EXPECT_EQ(r.Status, 2) << r.Out << r.Err;
  // The differences of the first block read, as a verify shows them, without a total.
  const Lines err = r.ErrLines();
  ASSERT_GE(err.size(), 2u) << r.Err;
  EXPECT_EQ(Lines(err.begin(), err.begin() + 2),
            (Lines{"Ошибка: при проверке флеши", "слово 0x0000: ожидалось 940C, прочитано FFFF"}));
  EXPECT_FALSE(err.back().starts_with("Всего различий")) << r.Err;
  const auto read = b.Run({"read-flash", "locked.hex"});
  EXPECT_EQ(read.Status, 0);
  EXPECT_EQ(FlashOf(b.dir / "locked.hex", 16384), std::vector<unsigned char>(32768, 0xFF));
}

TEST(AvrMemoryCli, AStuckFlashBitFailsTheVerifyAtItsWord) {
  // The middle table starts at byte 0x4000 with 0B 30; bit 7 of byte 0x4001 and bit 0 of byte
  // 0x7FC0 (the top table) cannot be programmed.
  CliBench b("ATmega328P", "StuckFlash=4001:7:1, 7FC0:0:1\n");
  const auto r = b.Run({"write-flash", Fixture("m328p-flash.hex").string()});
  EXPECT_EQ(r.Status, 2) << r.Out << r.Err;
  EXPECT_EQ(r.Err, "Ошибка: при проверке флеши\nслово 0x2000: ожидалось 300B, прочитано B00B\n");
}

TEST(AvrMemoryCli, AFileTooLargeForTheChipIsRefusedWithStatus1) {
  CliBench b("ATmega328P");
  const auto r = b.Run({"write-flash", Fixture("m1284p-flash.hex").string()});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(LastLine(r), "Ошибка: в файле 65536 слов, а в чипе 16384 слов, запись отменена");
  EXPECT_TRUE(b.Memory("flash.bin").empty() || b.Memory("flash.bin") == std::vector<unsigned char>(32768, 0xFF));
}

TEST(AvrMemoryCli, AUsbFailureMidOperationLeavesNoFile) {
  // About 40 writes open the programmer and identify the chip; the 60th reads a flash page.
  CliBench b("ATmega328P", "[Faults]\nFail=Write:60:4\n");
  const auto read = b.Run({"read-flash", "cut.hex"});
  EXPECT_EQ(read.Status, 1);
  EXPECT_EQ(LastLine(read), "чтение флеш");
  EXPECT_NE(read.Err.find("FT_Write - General IO error..."), std::string::npos) << read.Err;
  EXPECT_FALSE(std::filesystem::exists(b.dir / "cut.hex"));
  CliBench unplugged("ATmega1284P", "[Faults]\nUnplugAfter=50000\n");
  const auto write = unplugged.Run({"write-flash", Fixture("m1284p-flash.hex").string()});
  EXPECT_EQ(write.Status, 1);
  EXPECT_EQ(Tail(write, 2), (Lines{"запись во флеш 65536 слов", texts::PartlyWritten(texts::kAvrWriteFlash.Command)}));
  CliBench shortLived("ATmega1284P", "[Faults]\nUnplugAfter=100000\n");
  const auto eeprom = shortLived.Run({"read-eeprom", "cut.hex"});
  EXPECT_EQ(eeprom.Status, 1);
  EXPECT_EQ(LastLine(eeprom), "чтение EEPROM");
  EXPECT_FALSE(std::filesystem::exists(shortLived.dir / "cut.hex"));
}

TEST(AvrMemoryCli, A256KiBFlashIsWrittenReadAndVerifiedWithOneExtendedAddressPerBank) {
  CliBench b("ATmega2560");
  // Each word differs from its neighbours and from the word at the same offset in the other bank.
  std::vector<std::uint16_t> words(0x20000);
  for (std::size_t w = 0; w < words.size(); ++w) words[w] = static_cast<std::uint16_t>(3 * w + (w >> 16) * 0x5A5A + 1);
  std::string text;
  std::int32_t address = 0;
  std::optional<std::uint32_t> block;
  for (std::size_t first = 0; first < words.size(); first += 4096) {
    AppendSegmentRecord(text, address, block);
    AppendHexWords(4096, std::span<const std::uint16_t>(words).subspan(first), text, address);
  }
  SaveHexText(b.dir / "big.hex", text);
  const auto write = b.Run({"--trace=write.bin", "write-flash", "big.hex"});
  ASSERT_EQ(write.Status, 0) << write.Out << write.Err;
  EXPECT_EQ(LastLine(write), "Ошибок нет");
  EXPECT_EQ(b.Memory("flash.bin"), FlashOf(b.dir / "big.hex", words.size()));
  EXPECT_EQ(b.Memory("flash.bin")[2 * 0x10000], 0x5B);
  // The write and its verify send bank 0, then bank 1 once they reach it, again after every
  // batch's closing enable (the register may not survive it), never back to 0 within one pass.
  std::vector<int> banks;
  for (const auto& i : test::WithOpcode(test::TracedInstructions(b.dir / "write.bin"), 0x4D)) banks.push_back(i[2]);
  const auto turn = std::adjacent_find(banks.begin(), banks.end(), [](int a, int b) { return a > b; });
  ASSERT_NE(turn, banks.end()) << "one pass for the write, one for its verify";
  EXPECT_TRUE(std::is_sorted(banks.begin(), turn + 1));
  EXPECT_TRUE(std::is_sorted(turn + 1, banks.end()));
  EXPECT_EQ(banks.front(), 0);
  EXPECT_EQ(*turn, 1);
  EXPECT_EQ(banks.back(), 1);
  const auto read = b.Run({"read-flash", "back.hex"});
  ASSERT_EQ(read.Status, 0) << read.Out << read.Err;
  const auto verify = b.Run({"verify-flash", "back.hex"});
  EXPECT_EQ(verify.Status, 0) << verify.Out << verify.Err;
  EXPECT_EQ(LastLine(verify), "Флеш совпадает с файлом");
  EXPECT_EQ(FlashOf(b.dir / "back.hex", words.size()), b.Memory("flash.bin"));
}

TEST(AvrMemoryCli, ResetRestartsTheChip) {
  CliBench b("ATmega328P");
  const auto reset = b.Run({"reset"});
  EXPECT_EQ(reset.Status, 0);
  EXPECT_EQ(LastLine(reset), "чип перезапущен");
}

TEST(AvrMemoryCli, OneRunIdentifiesOnceAndRefusesAFileTooLargeBeforeItsErase) {
  CliBench b("ATmega328P");
  const auto flashHex = Fixture("m328p-flash.hex").string();
  const auto eepromHex = Fixture("m328p-eeprom.hex").string();
  // Read Signature Byte 30 00 00: once per identification.
  const auto signatureReads = [&b](const std::string& trace) {
    const auto reads = test::WithOpcode(test::TracedInstructions(b.dir / trace), 0x30);
    return std::count_if(reads.begin(), reads.end(), [](const test::Instruction& i) { return i[2] == 0; });
  };
  ASSERT_EQ(b.Run({"--trace=one.bin", "write-flash", flashHex}).Status, 0);
  EXPECT_EQ(signatureReads("one.bin"), 1);
  // A chip of 64 K words or less never gets Load Extended Address.
  EXPECT_TRUE(test::WithOpcode(test::TracedInstructions(b.dir / "one.bin"), 0x4D).empty());
  const auto several =
      b.Run({"--trace=all.bin", "write-flash", flashHex, "write-eeprom", eepromHex, "verify-flash", flashHex});
  ASSERT_EQ(several.Status, 0) << several.Out << several.Err;
  EXPECT_EQ(signatureReads("all.bin"), 1);
  const Lines lines = several.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "чип: ATmega328P"), 1);
  EXPECT_EQ(LastLine(several), "Флеш совпадает с файлом");
  const auto flash = FlashOf(flashHex, 16384);
  EXPECT_EQ(b.Memory("flash.bin"), flash);
  EXPECT_EQ(b.Memory("eeprom.bin"), EepromOf(eepromHex, 1024));
  b.dir.Write("big.bin", std::string(32770, '\x01'));
  const auto big = b.Run({"--erase", "write-flash", "big.bin"});
  EXPECT_EQ(big.Status, 1);
  EXPECT_EQ(LastLine(big), "Ошибка: в файле 16385 слов, а в чипе 16384 слов, запись отменена");
  EXPECT_EQ(b.Memory("flash.bin"), flash) << "not erased";
}

}  // namespace
}  // namespace pw
