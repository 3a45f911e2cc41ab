// "Определить чип" and "Считать фъюзы" on the virtual programmer: known, unknown and absent chips,
// a missing or unsound chips.ini, a missing programmer, a failing USB call.

#include <gtest/gtest.h>

#include "AvrBench.h"
#include "avr/AvrTexts.h"
#include "backend/Backend.h"
#include "frame/Texts.h"

namespace pw {
namespace {

using test::AvrBench;
using test::ChipsIni;
using Lines = std::vector<std::string>;

std::string Section(const std::string& body) { return "[0x1E 0x95 0x0F]\nChip=ATmega328P\n" + body; }

TEST(AvrIdentify, KnownPartIsReportedAndEnablesThePage) {
  AvrBench w("ATmega328P");
  EXPECT_EQ(w.Click(w.Page().AvrRdSign), Outcome::Success);
  EXPECT_EQ(w.Log(),
            (Lines{"Объём флеши: 32 Кбайт", "Объём Еепром: 1 Кбайт", "сигнатура: 0x1E 0x95 0x0F", "чип: ATmega328P"}));
  AvrPage& p = w.Page();
  EXPECT_EQ(w.Form->DopInfo.Text, "0x1E 0x95 0x0F");
  EXPECT_TRUE(p.ChipKnown);
  EXPECT_EQ(p.FlashPageSize, 64);
  EXPECT_EQ(p.FlashPagesCount, 256);
  EXPECT_EQ(p.EepromPageSize, 4);
  EXPECT_EQ(p.EepromPagesCount, 256);
  EXPECT_EQ(p.FuseLow, 0x62);
  EXPECT_EQ(p.FuseHigh, 0xD9);
  EXPECT_EQ(p.FuseExt, 0xFF);
  for (Button* b : {&p.AvrChipRst, &p.AvrErase, &p.AvrLoadFls, &p.AvrLoadEep, &p.AvrReadFls, &p.AvrReadEep,
                    &p.AvrReadFuses, &p.AvrWriteFuses}) {
    EXPECT_TRUE(b->Enabled) << b->Name;
  }
  // Writing needs a file as well.
  EXPECT_FALSE(p.AvrWriteFls.Enabled);
  EXPECT_FALSE(p.AvrWriteEep.Enabled);
  EXPECT_TRUE(p.AvrLock1.Enabled && p.AvrLock2.Enabled && p.AvrLock3.Enabled);
  EXPECT_FALSE(w.DeviceOpen());
}

TEST(AvrIdentify, EntrySequenceWorksUnderDatasheetTiming) {
  AvrBench w("ATtiny13A");
  w.Sim().Timing().Model = sim::TimingModel::Datasheet;
  EXPECT_EQ(w.Click(w.Page().AvrRdSign), Outcome::Success);
  EXPECT_EQ(w.Log().back(), "чип: ATtiny13A/ATtiny13");
  EXPECT_EQ(w.Click(w.Page().AvrReadFuses), Outcome::Success);
  EXPECT_EQ(w.Page().FuseLow, 0x6A);
}

TEST(AvrIdentify, WriteButtonsFollowTheFilePaths) {
  AvrBench w("ATmega328P");
  w.Page().AvrPathFls.Caption = "a.hex";
  w.Click(w.Page().AvrRdSign);
  EXPECT_TRUE(w.Page().AvrWriteFls.Enabled);
  EXPECT_FALSE(w.Page().AvrWriteEep.Enabled);
}

TEST(AvrIdentify, SignatureWithoutSectionIsAnUnknownChip) {
  AvrBench w("ATtiny85", ChipsIni{Section("FlashPageSize=64\nFlashPagesCount=256\n")});
  w.Core().SetLock(0xFC);
  EXPECT_EQ(w.Click(w.Page().AvrRdSign), Outcome::TargetProblem);
  EXPECT_EQ(w.Log(),
            (Lines{"Объём флеши: 0 Кбайт", "Объём Еепром: 0 байт", "сигнатура: 0x1E 0x93 0x0B", "чип: неизвестный",
                   "Ошибка: сигнатуры 0x1E 0x93 0x0B нет в chips.ini, этот чип не поддерживается",
                   "известные чипы показывает pinwright-cli list avr"}));
  AvrPage& p = w.Page();
  EXPECT_FALSE(p.ChipKnown);
  // The lock byte is not read for a chip that is not known.
  EXPECT_EQ(p.LockByte, 0xFF);
  EXPECT_EQ(p.AvrLock3.ItemIndex, 0);
  for (const CheckBox& box : p.AvrFuse) EXPECT_FALSE(box.Enabled) << box.Name;
  for (Button* b : {&p.AvrReadFls, &p.AvrReadFuses, &p.AvrWriteFuses}) EXPECT_FALSE(b->Enabled) << b->Name;
  // Erase and the file buttons are usable after any identification.
  EXPECT_TRUE(p.AvrErase.Enabled && p.AvrLoadFls.Enabled && p.AvrLoadEep.Enabled);
}

TEST(AvrIdentify, EmptyHeaderReadsAllOnes) {
  AvrBench w(std::nullopt);
  EXPECT_EQ(w.Click(w.Page().AvrRdSign), Outcome::TargetProblem);
  EXPECT_EQ(w.Form->DopInfo.Text, "0xFF 0xFF 0xFF");
  // The window's log carries the diagnosis as the command line's does.
  ASSERT_GE(w.Log().size(), 3u);
  EXPECT_EQ(w.Log().end()[-3], "чип: неизвестный");
  EXPECT_EQ(w.Log().end()[-2], std::string(texts::kDiagnosisFacts) + texts::kAvrMisoHigh);
  EXPECT_EQ(w.Page().FuseLow, 0xFF);
  EXPECT_FALSE(w.Page().ChipKnown);
}

TEST(AvrIdentify, MissingChipsIniIsReportedAndIdentificationGoesOn) {
  AvrBench w("ATmega328P", test::kNoChipsIni);
  EXPECT_EQ(w.Click(w.Page().AvrRdSign), Outcome::TargetProblem);
  EXPECT_EQ(w.Log(), (Lines{"Ошибка: нету ini файла", "Объём флеши: 0 Кбайт", "Объём Еепром: 0 байт",
                            "сигнатура: нету ini файла", "чип: неизвестный"}));
  EXPECT_EQ(w.Form->DopInfo.Text, "нету ini файла");
  EXPECT_FALSE(w.Page().ChipKnown);
  // The fuse bytes were read all the same.
  EXPECT_EQ(w.Page().FuseHigh, 0xD9);
}

TEST(AvrIdentify, AChipsIniValueThatIsNoNumberOrOutOfRangeRefusesTheFile) {
  struct Case {
    std::string Body;
    std::string Line;
  };
  const std::string good = "FlashPageSize=64\nFlashPagesCount=256\n";
  const std::vector<Case> cases{
      {"FlashPageSize=64\n", "[0x1E 0x95 0x0F]: FlashPagesCount не задан"},
      {"FlashPageSize=64\nFlashPagesCount=0\n", "[0x1E 0x95 0x0F]: FlashPagesCount=0, допустимо от 1 до 65536"},
      {"FlashPageSize=64\nFlashPagesCount=-3\n", "[0x1E 0x95 0x0F]: FlashPagesCount=-3, допустимо от 1 до 65536"},
      {"FlashPageSize=64 слова\nFlashPagesCount=256\n", "[0x1E 0x95 0x0F]: FlashPageSize=64 слова, нужно целое число"},
      {"FlashPageSize=0\nFlashPagesCount=256\n", "[0x1E 0x95 0x0F]: FlashPageSize=0, допустимо от 1 до 511"},
      {"FlashPageSize=512\nFlashPagesCount=4\n", "[0x1E 0x95 0x0F]: FlashPageSize=512, допустимо от 1 до 511"},
      {"FlashPageSize=511\nFlashPagesCount=65536\n",
       "[0x1E 0x95 0x0F]: объём флеши в словах 33488896, допустимо не больше 16777216"},
      {good + "EepromPageSize=0\nEepromPagesCount=256\n", "[0x1E 0x95 0x0F]: EepromPageSize=0, допустимо от 1 до 1023"},
      {good + "EepromPageSize=1024\nEepromPagesCount=1\n",
       "[0x1E 0x95 0x0F]: EepromPageSize=1024, допустимо от 1 до 1023"},
      {good + "EepromByteWrite=2\n", "[0x1E 0x95 0x0F]: EepromByteWrite=2, допустимо от 0 до 1"},
      {good + "FuseDelayMs=\n", "[0x1E 0x95 0x0F]: FuseDelayMs=, нужно целое число"},
      {good + "LockBits=3G\n", "[0x1E 0x95 0x0F]: LockBits=3G, " + std::string(texts::kAvrLockBitsWanted)},
      {good + "LockBits=7F\n", "[0x1E 0x95 0x0F]: LockBits=7F, " + std::string(texts::kAvrLockBitsWanted)},
      {good + "LockBits=3C\n", "[0x1E 0x95 0x0F]: LockBits=3C, " + std::string(texts::kAvrLockBitsWanted)},
      {good + "LockBits=\n", "[0x1E 0x95 0x0F]: LockBits=, " + std::string(texts::kAvrLockBitsWanted)},
      {good + "InternalClockKHz=0010:8 МГц\n",
       "[0x1E 0x95 0x0F]: InternalClockKHz=0010:8 МГц, нужны пары КОД:КГЦ, код из 0 и 1, частота больше 0"},
      // Another chip's section: the whole file is refused, the chip on the header included.
      {good + "[0x1E 0x93 0x0B]\nFlashPageSize=32\nFlashPagesCount=0x80z\n",
       "[0x1E 0x93 0x0B]: FlashPagesCount=0x80z, нужно целое число"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Body);
    AvrBench w("ATmega328P", ChipsIni{Section(c.Body)});
    EXPECT_EQ(w.Click(w.Page().AvrRdSign), Outcome::TargetProblem);
    EXPECT_EQ(w.Log(), (Lines{"Ошибка в chips.ini, раздел " + c.Line, "Объём флеши: 0 Кбайт", "Объём Еепром: 0 байт",
                              "сигнатура: 0x1E 0x95 0x0F", "чип: неизвестный"}));
    EXPECT_FALSE(w.Page().ChipKnown);
    EXPECT_FALSE(w.Page().AvrReadFls.Enabled);
  }
  // An EEPROM page size is free while the chip has no EEPROM pages; hex numbers are numbers.
  AvrBench w("ATmega328P", ChipsIni{Section("FlashPageSize=0x40\nFlashPagesCount=256\nEepromPageSize=0\n")});
  EXPECT_EQ(w.Click(w.Page().AvrRdSign), Outcome::Success);
}

TEST(AvrIdentify, ReadFusesRedrawsThePanelWithoutLogging) {
  AvrBench w("ATmega328P");
  w.Click(w.Page().AvrRdSign);
  w.Core().SetFuses({0xE2, 0xDE, 0xFD});
  w.Core().SetLock(0xFC);
  w.Form->Log.Clear();
  w.Page().AvrFuse[5].Checked = false;  // a tick the person changed and did not write
  EXPECT_EQ(w.Click(w.Page().AvrReadFuses), Outcome::Success);
  EXPECT_TRUE(w.Log().empty());
  EXPECT_EQ(w.Page().FuseLow, 0xE2);
  EXPECT_TRUE(w.Page().AvrFuse[5].Checked);
  EXPECT_FALSE(w.Page().AvrFuse[8].Checked);   // high bit 0
  EXPECT_FALSE(w.Page().AvrFuse[17].Checked);  // extended bit 1
  EXPECT_EQ(w.Page().LockByte, 0xFC);
  EXPECT_EQ(w.Page().AvrLock3.Text, "запись и чтение запрещено");
}

TEST(AvrIdentify, ReadFusesWithdrawsAChipThatIsNoLongerKnown) {
  AvrBench w("ATmega328P", ChipsIni{test::ChipsIniWithout("0x1E 0x98 0x01")});
  w.Click(w.Page().AvrRdSign);
  ASSERT_TRUE(w.Page().ChipKnown);
  // Another chip on the header, one chips.ini does not list.
  w.Sim().Devices().front()->Board->Avr = std::make_unique<sim::SimAvr>(*sim::FindSimAvrPart("ATmega2560"));
  EXPECT_EQ(w.Click(w.Page().AvrReadFuses), Outcome::TargetProblem);
  EXPECT_EQ(w.Form->DopInfo.Text, "0x1E 0x98 0x01");
  EXPECT_FALSE(w.Page().ChipKnown);
  EXPECT_EQ(w.Page().FlashPagesCount, 0);
  EXPECT_FALSE(w.Page().AvrReadFls.Enabled);
  EXPECT_FALSE(w.Page().AvrReadFuses.Enabled);
}

TEST(AvrIdentify, ClearsTheLogOnlyWhenTicked) {
  AvrBench w("ATmega328P");
  w.Form->Log.Append("раньше");
  w.Click(w.Page().AvrRdSign);
  EXPECT_EQ(w.Log().front(), "раньше");
  w.Form->CheckBox1.Checked = true;
  w.Click(w.Page().AvrRdSign);
  EXPECT_EQ(w.Log().size(), 4u);
}

TEST(AvrIdentify, MissingProgrammerShowsItsOwnBoxAndChangesNothing) {
  auto absent = Backend::Absent();
  test::ScriptedHost host;
  test::TempDir dir;
  std::filesystem::copy_file(test::BinDir() / "speed.txt", dir / "speed.txt");
  TForm1 form(absent->Driver(), host, FormPaths{dir.Path(), {}, dir.Path()});
  form.FormCreate();
  form.Fire(form.Avr.AvrRdSign.OnClick);
  EXPECT_EQ(form.LastOutcome(), Outcome::ErrorReport);
  EXPECT_EQ(host.Errors, (Lines{texts::kNoProgrammer}));
  EXPECT_FALSE(form.Avr.AvrErase.Enabled);
  EXPECT_FALSE(form.Avr.AvrLoadFls.Enabled);
  EXPECT_EQ(form.Log.Lines, (Lines{"FT_Open - Device not found..."}));
  // The fuse read lets the driver's own error through to the general report.
  form.Fire(form.Avr.AvrReadFuses.OnClick);
  EXPECT_EQ(host.Errors.size(), 2u);
  EXPECT_NE(host.Errors.back(), texts::kNoProgrammer);
}

TEST(AvrIdentify, FailingUsbCallEndsItAndClosesTheProgrammer) {
  AvrBench w("ATmega328P");
  // The open itself writes twice (the reset pulse); the tenth write is deep in identification.
  w.Sim().Faults().FailCall(sim::SimCall::Write, 10, FT_IO_ERROR);
  EXPECT_EQ(w.Click(w.Page().AvrRdSign), Outcome::ErrorReport);
  ASSERT_EQ(w.Host.Errors.size(), 1u);
  EXPECT_EQ(w.Host.Errors[0].rfind("FT_Write", 0), 0u) << w.Host.Errors[0];
  EXPECT_FALSE(w.DeviceOpen());
  EXPECT_FALSE(w.Page().ChipKnown);
  // The next identification works on a fresh open.
  EXPECT_EQ(w.Click(w.Page().AvrRdSign), Outcome::Success);
}

}  // namespace
}  // namespace pw
