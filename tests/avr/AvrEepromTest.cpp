// "Файл Eeprom", "Прочитать Eeprom" and "Прошить Eeprom" on the virtual programmer: the blocks
// read and the pages written, the verify's first mismatch, byte-write chips and chips that do not
// answer.

#include <gtest/gtest.h>

#include "AvrBench.h"
#include "frame/Texts.h"
#include "hexfile/HexTexts.h"
#include "support/AvrSpiTrace.h"

namespace pw {
namespace {

using test::AvrBench;
using test::Instruction;
using test::TracedInstructions;
using test::WithOpcode;
using Lines = std::vector<std::string>;

/// A chips.ini whose ATmega88PA has an EEPROM of pageSize × pages bytes.
std::string Mega88WithEeprom(int pageSize, int pages) {
  return "[0x1E 0x93 0x0F]\nChip=ATmega88PA\nFlashPageSize=32\nFlashPagesCount=128\nEepromPageSize=" +
         std::to_string(pageSize) + "\nEepromPagesCount=" + std::to_string(pages) + "\n";
}

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t from) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(from + 3 * i);
  return bytes;
}

/// Per page write in a trace: the bytes loaded before it and its address.
std::vector<std::pair<int, int>> EepromPageWrites(const std::vector<Instruction>& all) {
  std::vector<std::pair<int, int>> pages;
  int loads = 0;
  for (const Instruction& i : all) {
    if (i[0] == 0xC1) ++loads;
    if (i[0] == 0xC2) {
      pages.emplace_back(loads, i[1] << 8 | i[2]);
      loads = 0;
    }
  }
  return pages;
}

/// The addresses of the EEPROM reads in a trace.
std::vector<int> ReadAddresses(const std::vector<Instruction>& all) {
  std::vector<int> addresses;
  for (const Instruction& i : WithOpcode(all, 0xA0)) addresses.push_back(i[1] << 8 | i[2]);
  return addresses;
}

std::vector<int> Range(int first, int end) {
  std::vector<int> r;
  for (int a = first; a < end; ++a) r.push_back(a);
  return r;
}

TEST(AvrEepromRead, A512ByteEepromGives32RecordsAndNoSegmentRecord) {
  AvrBench b("ATmega88PA");
  b.Core().Eeprom[0x1FF] = 0x42;
  b.Click(b.Page().AvrRdSign);
  b.Form->Log.Clear();
  ASSERT_EQ(b.ClickWithFile(b.Page().AvrReadEep, b.Dir / "ee.hex"), Outcome::Success);
  EXPECT_EQ(b.Log(),
            (Lines{"Файл Еепром: " + (b.Dir / "ee.hex").string(), "чтение EEPROM", "чтение Eeprom завершено"}));
  EXPECT_EQ(b.Page().AvrPrograss.Max, 511);
  const auto lines = test::FileLines(b.Dir / "ee.hex");
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(lines[0], ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00");
  EXPECT_EQ(lines[31], ":1001F000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFF42CC");
  EXPECT_EQ(lines[32], ":00000001FF");
  EXPECT_FALSE(b.DeviceOpen());
}

TEST(AvrEepromRead, HundredBytesAreReadAsSevenBlocks) {
  AvrBench b("ATmega88PA");
  b.Dir.Write("program/chips.ini", Mega88WithEeprom(4, 25));
  b.Click(b.Page().AvrRdSign);
  b.Sim().StartTrace(b.Dir / "read.bin");
  ASSERT_EQ(b.ClickWithFile(b.Page().AvrReadEep, b.Dir / "ee.hex"), Outcome::Success);
  b.Sim().StopTrace();
  EXPECT_EQ(ReadAddresses(TracedInstructions(b.Dir / "read.bin")), Range(0, 112));
  EXPECT_EQ(test::FileLines(b.Dir / "ee.hex").size(), 8u);
  EXPECT_EQ(b.Page().AvrPrograss.Max, 99);
}

TEST(AvrEepromRead, AChipWithoutEepromIsRefused) {
  AvrBench b("ATmega88PA");
  b.Dir.Write("program/chips.ini", Mega88WithEeprom(4, 0));
  b.Click(b.Page().AvrRdSign);
  EXPECT_EQ(b.ClickWithFile(b.Page().AvrReadEep, b.Dir / "ee.hex"), Outcome::TargetProblem);
  EXPECT_EQ(b.Log().back(), "Ошибка: у чипа нет EEPROM");
  EXPECT_EQ(b.Page().AvrPrograss.Max, 100);  // untouched: no range below its start
  EXPECT_FALSE(std::filesystem::exists(b.Dir / "ee.hex"));
}

TEST(AvrEepromRead, ASilentChipLeavesNoFileAndCancellingChangesNothing) {
  // Each click identifies the chip (36 bytes): the read's first look at the chip finds it silent.
  AvrBench b("ATmega88PA", "SilentAfter=73\n");
  b.Click(b.Page().AvrRdSign);
  const auto log = b.Log();
  EXPECT_EQ(b.ClickWithFile(b.Page().AvrReadEep, std::nullopt), Outcome::Success);
  EXPECT_EQ(b.Log(), log);
  EXPECT_EQ(b.ClickWithFile(b.Page().AvrReadEep, b.Dir / "ee.hex"), Outcome::TargetProblem);
  EXPECT_EQ(Lines(b.Log().end() - 3, b.Log().end()),
            (Lines{"чтение EEPROM", "Ошибка: чип не отвечает", "Ошибка: файл не сохранён"}));
  EXPECT_FALSE(std::filesystem::exists(b.Dir / "ee.hex"));
  EXPECT_FALSE(b.DeviceOpen());
}

TEST(AvrEepromOpen, LabelsShowChipAndFileSizes) {
  AvrBench b("ATmega88PA");
  ASSERT_EQ(b.Open(b.Page().AvrLoadEep, test::WriteBytesHex(b.Dir / "100.hex", Bytes(100, 1))), Outcome::Success);
  EXPECT_EQ(b.Log().back(), "файл Еепром: " + (b.Dir / "100.hex").string());
  EXPECT_EQ(b.Page().AvrParamEep.Caption, "Объём еепром 512 байт\r\nДанных в файле 100 байт\r\n");
  EXPECT_TRUE(b.Page().AvrWriteEep.Enabled);
  AvrBench big("ATmega1284P");
  ASSERT_EQ(big.Open(big.Page().AvrLoadEep, test::WriteBytesHex(big.Dir / "2k.hex", Bytes(2048, 1))), Outcome::Success);
  EXPECT_EQ(big.Page().AvrParamEep.Caption, "Объём еепром 4 Кбайт\r\nДанных в файле 2 Кбайт\r\n");
}

TEST(AvrEepromWrite, TenBytesOnFourBytePagesGoAsThreePagesAndOneVerifiedBlock) {
  AvrBench b("ATmega88PA");
  const auto bytes = Bytes(10, 0x50);
  ASSERT_EQ(b.Open(b.Page().AvrLoadEep, test::WriteBytesHex(b.Dir / "10.hex", bytes)), Outcome::Success);
  b.Form->Log.Clear();
  b.Sim().StartTrace(b.Dir / "write.bin");
  ASSERT_EQ(b.Click(b.Page().AvrWriteEep), Outcome::Success);
  b.Sim().StopTrace();
  EXPECT_EQ(b.Log(), (Lines{"прошивание EEPROM:10 байт", "прошивание EEPROM завершено", "проверка записи EEPROM",
                            "Ошибок нет"}));
  const auto traced = TracedInstructions(b.Dir / "write.bin");
  EXPECT_EQ(EepromPageWrites(traced), (std::vector<std::pair<int, int>>{{4, 0}, {4, 4}, {2, 8}}));
  EXPECT_EQ(ReadAddresses(traced), Range(0, 16));
  for (std::size_t a = 0; a < 10; ++a) EXPECT_EQ(b.Core().Eeprom[a], bytes[a]) << a;
  EXPECT_EQ(b.Core().Eeprom[10], 0xFF);
  EXPECT_EQ(b.Page().AvrPrograss.Position, 0);
  EXPECT_FALSE(b.DeviceOpen());
}

TEST(AvrEepromWrite, FortyBytesVerifyThreeBlocks) {
  AvrBench b("ATmega88PA");
  ASSERT_EQ(b.Open(b.Page().AvrLoadEep, test::WriteBytesHex(b.Dir / "40.hex", Bytes(40, 9))), Outcome::Success);
  b.Sim().StartTrace(b.Dir / "write.bin");
  ASSERT_EQ(b.Click(b.Page().AvrWriteEep), Outcome::Success);
  b.Sim().StopTrace();
  EXPECT_EQ(ReadAddresses(TracedInstructions(b.Dir / "write.bin")), Range(0, 48));
}

TEST(AvrEepromWrite, TheFirstMismatchGivesItsAddressAndBothValues) {
  // Lock mode 2: the chip takes no writes, so its 0 at 0x23 stays where the file has 0xFF.
  AvrBench b("ATmega88PA", "Lock=FE\n");
  b.Core().Eeprom[0x23] = 0x00;
  b.Core().Eeprom[0x2A] = 0x00;
  ASSERT_EQ(b.Open(b.Page().AvrLoadEep, test::WriteBytesHex(b.Dir / "ff.hex", std::vector<std::uint8_t>(48, 0xFF))),
            Outcome::Success);
  b.Form->Log.Clear();
  EXPECT_EQ(b.Click(b.Page().AvrWriteEep), Outcome::TargetProblem);
  EXPECT_EQ(b.Log(), (Lines{"прошивание EEPROM:48 байт", "прошивание EEPROM завершено", "проверка записи EEPROM",
                            "Ошибка: при проверке EEPROM", "байт 0x0023: ожидалось FF, прочитано 00",
                            "байт 0x002A: ожидалось FF, прочитано 00"}));
}

TEST(AvrEepromWrite, ChipsWithoutPageCommandsAreWrittenByteByByte) {
  AvrBench b("ATmega8A", "[Timing]\nModel=datasheet\n");
  const auto bytes = Bytes(40, 0x21);
  ASSERT_EQ(b.Open(b.Page().AvrLoadEep, test::WriteBytesHex(b.Dir / "40.hex", bytes)), Outcome::Success);
  b.Sim().StartTrace(b.Dir / "write.bin");
  ASSERT_EQ(b.Click(b.Page().AvrWriteEep), Outcome::Success);
  b.Sim().StopTrace();
  EXPECT_EQ(b.Log().back(), "Ошибок нет");
  const auto traced = TracedInstructions(b.Dir / "write.bin");
  EXPECT_EQ(WithOpcode(traced, 0xC0).size(), 40u);
  EXPECT_TRUE(WithOpcode(traced, 0xC1).empty());
  EXPECT_TRUE(WithOpcode(traced, 0xC2).empty());
  EXPECT_EQ(std::vector<std::uint8_t>(b.Core().Eeprom.begin(), b.Core().Eeprom.begin() + 40), bytes);
}

TEST(AvrEepromWrite, AChipThatStopsAnsweringNeverGetsANoErrorsLine) {
  // Silent after the second of three pages: two identifications, a look at the chip, two pages.
  AvrBench b("ATmega88PA", "SilentAfter=124\n");
  ASSERT_EQ(b.Open(b.Page().AvrLoadEep, test::WriteBytesHex(b.Dir / "10.hex", Bytes(10, 1))), Outcome::Success);
  b.Form->Log.Clear();
  EXPECT_EQ(b.Click(b.Page().AvrWriteEep), Outcome::TargetProblem);
  EXPECT_EQ(b.Log(),
            (Lines{"прошивание EEPROM:10 байт", "Ошибка: чип не отвечает", texts::PartlyWritten("Прошить Eeprom")}));
}

// Before, every byte from 0 to the file's last was written (0xFF where the file had none), and
// the verify then compared bytes the file never held.
TEST(AvrEepromWrite, ASparseFileChangesOnlyItsBytesOnAChipThatIsNotBlank) {
  const std::string sparse = ":020005001122C6\n:0100210033AB\n:0101FF0044BB\n";  // 5-6, 0x21, 0x1FF
  for (const char* part : {"ATmega88PA", "ATmega8A"}) {                          // page writes; byte writes only
    SCOPED_TRACE(part);
    AvrBench b(part);
    std::fill(b.Core().Eeprom.begin(), b.Core().Eeprom.end(), 0x5A);
    ASSERT_EQ(b.Open(b.Page().AvrLoadEep, b.Dir.Write("sparse.hex", sparse)), Outcome::Success);
    EXPECT_EQ(b.Click(b.Page().AvrWriteEep), Outcome::Success);
    EXPECT_EQ(b.Log().back(), "Ошибок нет");
    std::vector<std::uint8_t> expected(512, 0x5A);
    expected[5] = 0x11;
    expected[6] = 0x22;
    expected[0x21] = 0x33;
    expected[0x1FF] = 0x44;
    EXPECT_EQ(std::vector<std::uint8_t>(b.Core().Eeprom.begin(), b.Core().Eeprom.end()), expected);
  }
}

}  // namespace
}  // namespace pw
