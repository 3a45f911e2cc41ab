#include <gtest/gtest.h>

#include <algorithm>

#include "hexfile/HexTexts.h"
#include "sim/SimEeprom24.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

using test::FormFixture;
using Lines = std::vector<std::string>;

const char* kTypes =
    "[Small]\nSize=256\nProtocol=1\n[Odd]\nSize=100\nProtocol=1\n[NoProtocol]\nSize=4096\n"
    "[Mid]\nSize=512\nProtocol=1\n[24C02]\nSize=256\nProtocol=1\n";

struct I2cPageTest : ::testing::Test {
  explicit I2cPageTest(const std::string& bench = "[I2C]\nPart=24C04\n") : f(bench) {
    f.Dir.Write("program/I2C_E.ini", kTypes);
    f.Start();
    page = &f.Form->I2c;
    f.Form->ShowPage(2);
  }
  sim::SimEeprom24& Chip() { return static_cast<sim::SimEeprom24&>(*f.Bench->Board()->I2c); }
  void Choose(const std::string& type) {
    page->I2eEepromType.Text = type;
    f.Form->Fire(page->I2eEepromType.OnChange);
  }
  void Click(Button& b) { f.Form->Fire(b.OnClick); }
  /// Loads a HEX file through the page's file button.
  void Load(const std::string& hex) {
    f.Host.Files.push_back(f.Dir.Write("in.hex", hex).string());
    Click(page->I2cEepromFile);
  }
  Lines& Log() { return f.Form->Log.Lines; }
  FormFixture f;
  I2cPage* page = nullptr;
};

TEST_F(I2cPageTest, AutoClocksATypeWithoutClockKHzAsAStandardModePartBelowTheShippedBaud) {
  // "авто" is the baud list's last entry; SCL is three samples, so 100 kHz is 18,750 baud.
  auto& box = f.Form->BoudRate;
  box.Select(static_cast<int>(box.Items.size()) - 1);
  f.Form->Fire(box.OnChange);
  Choose("Mid");
  f.Host.Files.push_back((f.Dir / "out.hex").string());
  Click(page->I2cEepromRead);
  const std::string choice = "Скорость авто: Mid работает до 100 кГц, работаем на 18750 бод";
  EXPECT_NE(std::find(Log().begin(), Log().end(), choice), Log().end()) << Log().back();
}

TEST(I2cPageStartUp, ListsTheTypesInFileOrderAndChoosesTheFirst) {
  FormFixture f;
  f.Dir.Write("program/I2C_E.ini", kTypes);
  f.Start();
  const I2cPage* page = &f.Form->I2c;
  EXPECT_EQ(page->I2eEepromType.Items, (Lines{"Small", "Odd", "NoProtocol", "Mid", "24C02"}));
  EXPECT_EQ(page->I2eEepromType.Text, "Small");
  EXPECT_EQ(page->I2cEepromLab1.Caption, "");
  EXPECT_EQ(page->I2cEepromLab2.Caption, "");
}

TEST_F(I2cPageTest, ViewShowsSizeAndLoadedDataAndEnablesTheWrite) {
  EXPECT_EQ(page->I2cEepromLab2.Caption, "Размер Еепром: 256 байт\r\nфайл не выбран\r\n");
  EXPECT_FALSE(page->I2cEepromWrite.Enabled);
  f.Form->Images.EepromDataCount = 256;  // another page's file in the shared image
  Choose("Small");
  EXPECT_EQ(page->I2cEepromLab2.Caption, "Размер Еепром: 256 байт\r\nфайл не выбран\r\n");
  Choose("NoProtocol");
  EXPECT_EQ(page->EepromSize, 4096);
  EXPECT_EQ(page->I2cProtocol, 2);
  Choose("nothing like it");
  EXPECT_EQ(page->EepromSize, 0);
  Choose("Small");
  Load(":0400100001020304E2\r\n:00000001FF\r\n");
  EXPECT_EQ(page->I2cEepromLab1.Caption, (f.Dir / "in.hex").string());
  EXPECT_EQ(page->I2cEepromLab2.Caption, "Размер Еепром: 256 байт\r\nДанных в файле 20 байт\r\n");
  EXPECT_TRUE(page->I2cEepromWrite.Enabled);
  EXPECT_EQ(Log().back(), "файл: " + (f.Dir / "in.hex").string());
}

TEST_F(I2cPageTest, AReadWritesSixteenByteRecordsBetweenSegmentAndEndRecords) {
  Chip().Memory()[0x10] = 0x5A;
  f.Host.Files.push_back((f.Dir / "out.hex").string());
  Click(page->I2cEepromRead);
  EXPECT_EQ(Log(), (Lines{"файл.EEPROM: " + (f.Dir / "out.hex").string(), "чтение EEPROM", "чтение Eeprom завершено"}));
  const std::string text = test::ReadText(f.Dir / "out.hex");
  EXPECT_EQ(text.substr(0, 17), ":020000020000FC\r\n");
  EXPECT_EQ(text.substr(17 + 45, 45), ":100010005AFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF95\r\n");
  EXPECT_NE(text.find(":1000F000"), std::string::npos);
  EXPECT_EQ(text.size(), 17u + 16 * 45 + 13);
  EXPECT_EQ(text.substr(text.size() - 13), ":00000001FF\r\n");
  EXPECT_EQ(page->I2cEepromProgress.Position, 0);
  EXPECT_EQ(f.Form->Unit.FtHandle, 0u);
}

TEST_F(I2cPageTest, ASizeThatIsNoMultipleOfSixteenIsReadToTheLastByte) {
  Choose("Odd");
  Chip().Memory()[99] = 0x63;
  f.Host.Files.push_back((f.Dir / "odd.hex").string());
  Click(page->I2cEepromRead);
  const std::string text = test::ReadText(f.Dir / "odd.hex");
  EXPECT_NE(text.find(":04006000FFFFFF633C\r\n"), std::string::npos) << text;
}

TEST_F(I2cPageTest, AWriteSendsTheFileInGroupsAndTheChipHoldsIt) {
  Load(":0400100001020304E2\r\n:01010400AA50\r\n");
  Choose("Mid");
  Click(page->I2cEepromWrite);
  EXPECT_EQ(Log()[1], "прошивание EEPROM:261байт");
  EXPECT_EQ(Log()[2], "прошивание EEPROM завершено");
  EXPECT_EQ(Chip().Memory()[0x13], 0x04);
  EXPECT_EQ(Chip().Memory()[0x104], 0xAA);
  EXPECT_EQ(Chip().Memory()[0x105], 0xFF);
  EXPECT_EQ(f.Form->LastOutcome(), Outcome::Success);
}

TEST_F(I2cPageTest, AFileLargerThanTheChipIsRefusedBeforeAnythingIsWritten) {
  Load(":0400100001020304E2\r\n:01010400AA50\r\n");  // 261 bytes for a 256-byte type
  const auto writes = f.Sim().Faults().Calls(sim::SimCall::Write);
  Click(page->I2cEepromWrite);
  EXPECT_EQ(Log().back(), "Ошибка: данных в файле 261 байт, а объём EEPROM 256 байт; запись отменена");
  EXPECT_EQ(f.Sim().Faults().Calls(sim::SimCall::Write), writes);
  EXPECT_EQ(Chip().Memory()[0x10], 0xFF);
  // The person's file, not the chip, is at fault: exit status 1, not 2.
  EXPECT_EQ(f.Form->LastOutcome(), Outcome::ErrorReport);
}

// Before, a type without a usable size read an empty file and "erased" with a line of success.
TEST_F(I2cPageTest, ATypeWithoutAUsableSizeIsRefusedNamingItsSectionAndTheOperation) {
  f.Dir.Write("program/I2C_E.ini", "[Zero]\nSize=0\n[Words]\nSize=big\n");
  const std::string why = "] в файле I2C_E.ini размер (Size) не задан числом больше нуля; ";
  for (const std::string type : {"no such type", "Zero", "Words"}) {
    Choose(type);
    Log().clear();
    Click(page->I2cEepromErase);
    EXPECT_EQ(Log(), (Lines{"Ошибка: у типа [" + type + why + "стирание отменено"}));
    EXPECT_EQ(f.Form->LastOutcome(), Outcome::ErrorReport);
    f.Host.Files.push_back((f.Dir / "empty.hex").string());
    Click(page->I2cEepromRead);
    EXPECT_EQ(Log().back(), "Ошибка: у типа [" + type + why + "чтение отменено");
    EXPECT_FALSE(std::filesystem::exists(f.Dir / "empty.hex"));
  }
  EXPECT_EQ(f.Sim().Faults().Calls(sim::SimCall::Open), 0u);
}

TEST_F(I2cPageTest, CancellingTheSaveDialogChangesNothing) {
  f.Host.Files.push_back(std::nullopt);
  Click(page->I2cEepromRead);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(f.Sim().Faults().Calls(sim::SimCall::Open), 0u);
}

TEST_F(I2cPageTest, ALoadedFileLetsTheAvrPageWriteItsEepromOnlyForAKnownChip) {
  f.Form->Avr.AvrWriteEep.Enabled = true;
  Load(":0100000011EE\r\n");
  EXPECT_FALSE(f.Form->Avr.AvrWriteEep.Enabled);
  f.Form->Avr.ChipKnown = true;
  Load(":0100000011EE\r\n");
  EXPECT_TRUE(f.Form->Avr.AvrWriteEep.Enabled);
}

// Before, the page named the refused file while its write button still wrote the previous data.
TEST_F(I2cPageTest, ARefusedFileLeavesThePathAndTheWriteButtonAsTheyWere) {
  const std::string none = (f.Dir / "gone.hex").string();
  const std::string empty = f.Dir.Write("empty.hex", ":00000001FF\r\n").string();
  for (const bool loadedBefore : {false, true}) {
    const std::string previous = loadedBefore ? (Load(":0100000011EE\r\n"), (f.Dir / "in.hex").string()) : "";
    for (const std::string& file : {none, empty}) {
      f.Host.Files.push_back(file);
      Click(page->I2cEepromFile);
      EXPECT_EQ(Log().back(), "файл: " + file);
      EXPECT_EQ(page->I2cEepromLab1.Caption, previous);
      EXPECT_EQ(page->I2cEepromWrite.Enabled, loadedBefore);
    }
  }
  EXPECT_EQ(f.Host.Errors, (Lines{"Ошибка! Файл не найден!", texts::HexNoData(empty), "Ошибка! Файл не найден!",
                                  texts::HexNoData(empty)}));
}

TEST_F(I2cPageTest, ATypeBeyondItsAddressingIsRefused) {
  f.Dir.Write("program/I2C_E.ini", "[Big]\nSize=4096\nProtocol=1\n");
  Choose("Big");
  Click(page->I2cEepromErase);
  EXPECT_EQ(Log().back(),
            "Ошибка: объём типа [Big] 4096 байт больше, чем позволяет его адресация (2048 байт); стирание отменено");
  EXPECT_EQ(f.Sim().Faults().Calls(sim::SimCall::Open), 0u);
}

// Before, a file with one record at 0x1F0 programmed 0xFF into every byte below it.
TEST_F(I2cPageTest, ASparseFileChangesOnlyItsBytesOnAChipThatIsNotBlank) {
  Choose("Mid");
  std::fill(Chip().Memory().begin(), Chip().Memory().end(), 0x5A);
  // 3 bytes from 0x0E (across a group boundary), one at 0x1F0.
  Load(":03000E0011223389\n:0101F00044CA\n");
  Click(page->I2cEepromWrite);
  EXPECT_EQ(Lines(Log().end() - 3, Log().end()),
            (Lines{"прошивание EEPROM завершено", "проверка записи EEPROM", "Ошибок нет"}));
  std::vector<std::uint8_t> expected(512, 0x5A);
  expected[0x0E] = 0x11;
  expected[0x0F] = 0x22;
  expected[0x10] = 0x33;
  expected[0x1F0] = 0x44;
  EXPECT_EQ(std::vector<std::uint8_t>(Chip().Memory().begin(), Chip().Memory().end()), expected);
}

struct I2cNoChipTest : I2cPageTest {
  I2cNoChipTest() : I2cPageTest("[Programmer]\n") {}
};

TEST_F(I2cNoChipTest, ReadWriteAndEraseReportTheSilentChip) {
  f.Host.Files.push_back((f.Dir / "out.hex").string());
  Click(page->I2cEepromRead);
  // The failure, then the two lines of what it means.
  EXPECT_EQ(Log().end()[-3], "Ошибка: EEPROM не отвечает (адрес 0x0000), файл не сохранён");
  EXPECT_FALSE(std::filesystem::exists(f.Dir / "out.hex"));
  EXPECT_EQ(f.Form->LastOutcome(), Outcome::TargetProblem);
  Click(page->I2cEepromErase);
  EXPECT_EQ(Log().end()[-3], "Ошибка: EEPROM не отвечает (адрес 0x0000), запись прервана");
  EXPECT_EQ(f.Form->LastOutcome(), Outcome::TargetProblem);
  Load(":0100000011EE\r\n");
  Click(page->I2cEepromWrite);
  EXPECT_EQ(Log().end()[-3], "Ошибка: EEPROM не отвечает (адрес 0x0000), запись прервана");
  EXPECT_EQ(f.Form->Unit.FtHandle, 0u);
  EXPECT_TRUE(f.Host.Errors.empty());
}

struct I2cFastExchangeTest : I2cPageTest {
  // An exchange far shorter than the 5 ms write cycle: without polling every other group would be lost.
  I2cFastExchangeTest()
      : I2cPageTest("[I2C]\nPart=24C02\n[Timing]\nModel=datasheet\nLatencyUs=0\nSampleRate=3000000\n") {
    Choose("24C02");
  }
};

TEST_F(I2cFastExchangeTest, TheWriteWaitsForEachWriteCycleAndLosesNothing) {
  std::string hex;
  for (int line = 0; line < 16; ++line) {
    char record[64];
    std::snprintf(record, sizeof record, ":10%04X00", line * 16);
    hex += record;
    for (int b = 0; b < 16; ++b) hex += "5A";
    std::snprintf(record, sizeof record, "%02X\r\n", (0x100 - (0x10 + line * 16 + 16 * 0x5A) % 0x100) % 0x100);
    hex += record;
  }
  Load(hex);
  const auto writes = f.Sim().Faults().Calls(sim::SimCall::Write);
  Click(page->I2cEepromWrite);
  EXPECT_EQ(Lines(Log().end() - 3, Log().end()),
            (Lines{"прошивание EEPROM завершено", "проверка записи EEPROM", "Ошибок нет"}));
  EXPECT_EQ(Chip().Memory(), std::vector<std::uint8_t>(256, 0x5A));
  EXPECT_EQ(Chip().WriteCycles(), 32);
  EXPECT_GT(f.Sim().Faults().Calls(sim::SimCall::Write) - writes, 32u)
      << "groups were sent again while the chip was busy";
}

TEST_F(I2cPageTest, AUsbFailureMidReadLeavesNoFileAndTheProgrammerClosed) {
  Choose("NoProtocol");  // 4096 bytes: two runs of reads
  f.Sim().Faults().FailCall(sim::SimCall::Read, 2, FT_IO_ERROR);
  f.Host.Files.push_back((f.Dir / "out.hex").string());
  Click(page->I2cEepromRead);
  EXPECT_EQ(f.Host.Errors, (Lines{"FT_Read - General IO error..."}));
  EXPECT_FALSE(std::filesystem::exists(f.Dir / "out.hex"));
  EXPECT_NE(Log().back(), "чтение Eeprom завершено");
  EXPECT_FALSE(f.Sim().Devices()[0]->Open);
}

}  // namespace
}  // namespace pw
