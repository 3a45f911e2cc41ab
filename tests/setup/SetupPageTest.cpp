#include <gtest/gtest.h>

#include <functional>

#include "d2xx/FtEepromImage.h"
#include "frame/Texts.h"
#include "setup/FtSettings.h"
#include "support/FormFixture.h"
#include "support/FtRecord.h"

namespace pw {
namespace {

using test::FormFixture;
using Lines = std::vector<std::string>;

constexpr int kSetupPage = 4;

/// A record decoded from an EEPROM image, with its own text buffers.
struct ChipRecord : test::FtRecord {
  explicit ChipRecord(const FtEepromImage& image) { EXPECT_EQ(DecodeFtEeprom(image, Data), FT_OK); }
  FtEepromImage Encode() const {
    FtEepromImage image{};
    EXPECT_EQ(EncodeFtEeprom(Data, image), FT_OK);
    return image;
  }
};

/// Settings the page does not show, as another program may have left them.
void PresetUnshown(FT_PROGRAM_DATA& d) {
  d.Cbus0 = 4;
  d.InvertRTS = 1;
  d.PullDownEnableR = 1;
}

/// A write keeps what the page does not show as it was read.
void ExpectUnshownKept(const ChipRecord& chip) {
  EXPECT_EQ(chip.Data.VendorId, 0x0403);
  EXPECT_EQ(chip.Data.ProductId, 0x6001);
  EXPECT_EQ(chip.Data.Cbus0, 4);
  EXPECT_EQ(chip.Data.InvertRTS, 1);
  EXPECT_EQ(chip.Data.PullDownEnableR, 1);
  EXPECT_STREQ(chip.Description, "FT232R USB UART");
  EXPECT_STREQ(chip.Serial, "A1B2C3D4");
}

struct SetupPageTest : ::testing::Test {
  explicit SetupPageTest(const std::string& bench = "") : f(bench) { f.Start(); }
  SetupPage& Page() { return f.Form->Setup; }
  FtEepromImage& Eeprom(std::size_t device = 0) { return f.Sim().Devices()[device]->Eeprom; }
  /// Changes the chip's EEPROM as another program would have programmed it.
  void Preset(const std::function<void(FT_PROGRAM_DATA&)>& change) {
    ChipRecord r(Eeprom());
    change(r.Data);
    Eeprom() = r.Encode();
  }
  ChipRecord Stored(std::size_t device = 0) { return ChipRecord(Eeprom(device)); }
  void Show() { f.Form->ShowPage(kSetupPage); }
  void Click(Button& b) { f.Form->Fire(b.OnClick); }
  void Type(ComboBox& box, const std::string& text) { box.Text = text; }
  Lines& Log() { return f.Form->Log.Lines; }
  FormFixture f;
};

TEST_F(SetupPageTest, StartUpFillsTheListsAndLeavesTheControlsDisabled) {
  EXPECT_EQ(Page().SetupCbus.Items, (Lines{"CLK48", "CLK24", "CLK12", "CLK6", "CLK OFF"}));
  EXPECT_EQ(Page().SetupCurrent.Items, (Lines{"10", "20", "30", "40", "50", "60", "70", "80"}));
  EXPECT_EQ(Page().SetupLed1.Items, (Lines{"чтение", "запись", "питание вкл."}));
  EXPECT_EQ(Page().SetupLed2.Items, Page().SetupLed1.Items);
  EXPECT_EQ(Page().UsbVer.Items, (Lines{"2.0", "1.1"}));
  EXPECT_EQ(Page().SetupClock.Items, (Lines{"внутренний генератор", "внешний кварц"}));
  EXPECT_EQ(Page().SetupClock.ItemIndex, 0);
  EXPECT_EQ(Page().SetupCbus.Text, "SetupCbus");
  EXPECT_EQ(Page().SetupCurrent.Text, "CurrentIO");
  for (const ControlBase* c : std::initializer_list<const ControlBase*>{
           &Page().SetupCbus, &Page().SetupCurrent, &Page().UsbVer, &Page().SetupClock, &Page().SetupRead,
           &Page().SetupDefoult, &Page().SetupWrite, &Page().SetupLed1, &Page().SetupLed2}) {
    EXPECT_FALSE(c->Enabled) << c->Name;
  }
}

TEST_F(SetupPageTest, ShowingThePageReadsTheChipIntoTheControls) {
  const struct {
    std::uint8_t Cbus4;
    std::uint16_t Current, Usb;
    std::uint8_t ExtOsc;
    const char *Cbus, *CurrentText, *UsbText;
    int Clock;
  } cases[] = {{10, 90, 0x0200, 0, "CLK OFF", "90", "2.0", 0},
               {13, 50, 0x0110, 1, "неизвестная функция", "50", "1.1", 1},
               {8, 0, 0x0000, 0, "CLK12", "0", "0.0", 0}};
  for (const auto& c : cases) {
    Preset([&](FT_PROGRAM_DATA& d) {
      d.Cbus4 = c.Cbus4;
      d.MaxPower = c.Current;
      d.USBVersion = c.Usb;
      d.UseExtOsc = c.ExtOsc;
    });
    f.Form->PageControl1.ActivePageIndex = 0;
    Show();
    EXPECT_EQ(Page().SetupCbus.Text, c.Cbus);
    EXPECT_EQ(Page().SetupCurrent.Text, c.CurrentText);
    EXPECT_EQ(Page().UsbVer.Text, c.UsbText);
    EXPECT_EQ(Page().SetupClock.ItemIndex, c.Clock);
    EXPECT_TRUE(Page().SetupWrite.Enabled && Page().SetupDefoult.Enabled && Page().SetupCbus.Enabled);
    EXPECT_FALSE(Page().SetupLed1.Enabled);
    EXPECT_EQ(f.Form->Unit.FtHandle, 0u);
  }
}

TEST_F(SetupPageTest, ATickedClearLogLeavesTheSixLinesOfARead) {
  f.Form->CheckBox1.Checked = true;
  f.Form->Log.Append("старая строка");
  Preset([](FT_PROGRAM_DATA& d) { d.HighDriveIOs = 1; });
  Show();
  EXPECT_EQ(Log(), (Lines{"считывание настроек FT", "Manufacture: FTDI", "ID: A1", "Description: FT232R USB UART",
                          "SerialNumber: A1B2C3D4", "HI Drive=1"}));
}

TEST_F(SetupPageTest, WritingProgramsTheControlsAndALaterReadShowsThem) {
  const struct {
    std::uint8_t ChipCbus4;
    const char *Cbus, *Current, *Usb;
    int Clock;
    std::uint8_t Cbus4;
    std::uint16_t MaxPower, Version;
  } cases[] = {
      {5, "CLK12", "30", "1.1", 1, 8, 30, 0x0110},
      {13, nullptr, nullptr, nullptr, 0, 10, 90, 0x0200},  // written back unchanged: 13 becomes 10
      {5, "CLK48", "90", "2.0", 0, 6, 90, 0x0200},         // 90 is no entry and is written as typed
      {5, "clk48", "80", "2.00", 0, 10, 80, 0x0110},
  };
  for (const auto& c : cases) {
    Eeprom() = FactoryFtEeprom("FT232R USB UART", "A1B2C3D4");
    Preset([&](FT_PROGRAM_DATA& d) {
      d.Cbus4 = c.ChipCbus4;
      PresetUnshown(d);
    });
    f.Form->PageControl1.ActivePageIndex = 0;
    Show();
    if (c.Cbus) Type(Page().SetupCbus, c.Cbus);
    if (c.Current) Type(Page().SetupCurrent, c.Current);
    if (c.Usb) Type(Page().UsbVer, c.Usb);
    Page().SetupClock.Select(c.Clock);
    f.Host.Answers = {true};  // the external crystal is asked about (No: see FtSettingsOperationsTest)
    Click(Page().SetupWrite);
    EXPECT_EQ(Log().back(), "настройки прошиты");
    const FtEepromImage& image = Eeprom();
    EXPECT_EQ(image[0x7E] | (image[0x7F] << 8), FtEepromChecksum(image));
    const ChipRecord chip = Stored();
    EXPECT_EQ(chip.Data.Cbus4, c.Cbus4);
    EXPECT_EQ(chip.Data.MaxPower, c.MaxPower);
    EXPECT_EQ(chip.Data.USBVersion, c.Version);
    EXPECT_EQ(chip.Data.UseExtOsc, c.Clock);
    EXPECT_EQ(chip.Data.HighDriveIOs, 1);
    ExpectUnshownKept(chip);
    Click(Page().SetupRead);
    EXPECT_EQ(Page().SetupCbus.Text, CbusName(c.Cbus4));
    EXPECT_EQ(Page().SetupCurrent.Text, std::to_string(c.MaxPower));
  }
}

TEST_F(SetupPageTest, DefaultsGoOverTheRecordReadAndTheControlsStay) {
  Preset([](FT_PROGRAM_DATA& d) {
    d.Cbus4 = 7;
    d.MaxPower = 100;
    d.USBVersion = 0x0110;
    d.UseExtOsc = 1;
    PresetUnshown(d);
  });
  Show();
  Click(Page().SetupDefoult);
  EXPECT_EQ(Log().back(), "настройки прошиты по умолчанию");
  const ChipRecord chip = Stored();
  EXPECT_EQ(chip.Data.Cbus4, 10);
  EXPECT_EQ(chip.Data.MaxPower, 50);
  EXPECT_EQ(chip.Data.USBVersion, 0x0200);
  EXPECT_EQ(chip.Data.HighDriveIOs, 1);
  EXPECT_EQ(chip.Data.UseExtOsc, 0);
  ExpectUnshownKept(chip);
  EXPECT_EQ(Page().SetupCbus.Text, "CLK24");
  EXPECT_EQ(Page().SetupCurrent.Text, "100");
  EXPECT_EQ(Page().UsbVer.Text, "1.1");
  EXPECT_EQ(Page().SetupClock.ItemIndex, 1);
}

TEST_F(SetupPageTest, WithoutASuccessfulReadNothingIsProgrammed) {
  const std::string refusal = "Ошибка: настройки не считаны с программатора, прошивка отменена";
  const FtEepromImage before = Eeprom();
  // No read at all: the record holds zeros.
  Type(Page().SetupCurrent, "50");
  for (Button* b : {&Page().SetupDefoult, &Page().SetupWrite}) {
    Click(*b);
    EXPECT_EQ(Log().back(), refusal);
    EXPECT_EQ(f.Form->LastOutcome(), Outcome::TargetProblem);
  }
  // A read whose last EEPROM read fails after a successful open.
  Show();
  f.Sim().Faults().FailCall(sim::SimCall::EeRead, f.Sim().Faults().Calls(sim::SimCall::EeRead) + 3,
                            FT_EEPROM_READ_FAILED);
  f.Host.Errors.clear();
  Click(Page().SetupRead);
  EXPECT_EQ(f.Host.Errors, Lines{"FT_EE_Read  - EEPROM read failed..."});
  EXPECT_TRUE(Page().SetupDefoult.Enabled);
  EXPECT_EQ(f.Form->Unit.FtHandle, 0u);
  for (Button* b : {&Page().SetupDefoult, &Page().SetupWrite}) {
    Click(*b);
    EXPECT_EQ(Log().back(), refusal);
  }
  EXPECT_EQ(Eeprom(), before);
}

}  // namespace
}  // namespace pw
