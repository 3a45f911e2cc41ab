// A stop asked for mid-operation (the window's "Стоп", Ctrl-C on the command line) ends the
// operation between pages or groups: the programmer closed with its pins released, no file from
// a read, a line saying what was left undone, and for a write the warning that the chip may be
// partly written.

#include <gtest/gtest.h>

#include <algorithm>

#include "avr/AvrBench.h"
#include "frame/Texts.h"
#include "pic/PicTexts.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

using test::FormFixture;

std::string LogText(const FormFixture& f) {
  std::string text;
  for (const auto& line : f.Form->Log.Lines) text += line + "\n";
  return text;
}

struct Stoppable {
  const char* Name;
  /// Loads what the operation needs and returns the button that starts it.
  std::function<Button&(FormFixture&)> Prepare;
  /// The end of the stop line, and the button the partly-written warning names (empty when
  /// there is no such warning after the stop line).
  const char* LineEnd;
  const char* PartlyWritten;
};

Button& AvrReadFlash(FormFixture& f) {
  f.Form->Fire(f.Form->Avr.AvrRdSign.OnClick);
  f.Host.Files.push_back((f.Dir / "out.hex").string());
  return f.Form->Avr.AvrReadFls;
}

Button& AvrWriteFlash(FormFixture& f) {
  f.Form->Fire(f.Form->Avr.AvrRdSign.OnClick);
  f.Host.Files.push_back(test::WriteWordsHex(f.Dir / "in.hex", std::vector<std::uint16_t>(16384, 0x1234)).string());
  f.Form->Fire(f.Form->Avr.AvrLoadFls.OnClick);
  return f.Form->Avr.AvrWriteFls;
}

Button& AvrWriteEeprom(FormFixture& f) {
  f.Form->Fire(f.Form->Avr.AvrRdSign.OnClick);
  f.Host.Files.push_back(f.Dir.Write("in.bin", std::string(1024, '\x42')).string());
  f.Form->Fire(f.Form->Avr.AvrLoadEep.OnClick);
  return f.Form->Avr.AvrWriteEep;
}

Button& I2cPrepare(FormFixture& f, const std::string& file, Button I2cPage::*button) {
  f.Form->ShowPage(2);
  f.Form->I2c.I2eEepromType.Text = "24C256";
  f.Form->Fire(f.Form->I2c.I2eEepromType.OnChange);
  f.Host.Files.push_back(file);
  return f.Form->I2c.*button;
}

Button& I2cRead(FormFixture& f) { return I2cPrepare(f, (f.Dir / "out.bin").string(), &I2cPage::I2cEepromRead); }

Button& I2cWrite(FormFixture& f) {
  Button& file = I2cPrepare(f, f.Dir.Write("in.bin", std::string(32768, '\x42')).string(), &I2cPage::I2cEepromFile);
  f.Form->Fire(file.OnClick);
  return f.Form->I2c.I2cEepromWrite;
}

void PicPrepare(FormFixture& f) {
  f.Form->ShowPage(1);
  f.Form->Pic.PicType.Text = "PIC16F628A";
  f.Form->Fire(f.Form->Pic.PicType.OnChange);
}

Button& PicReadDump(FormFixture& f) {
  PicPrepare(f);
  f.Host.Files.push_back((f.Dir / "out.hex").string());
  return f.Form->Pic.PicReadDump;
}

Button& PicWriteFlash(FormFixture& f) {
  PicPrepare(f);
  std::fill_n(f.Form->Images.FlashImage.begin(), 2048, 0x0123);
  std::fill_n(f.Form->Images.FlashFilled.begin(), 2048, true);
  f.Form->Images.FlashDataCount = 2048;
  return f.Form->Pic.PicWriteFls;
}

TEST(Stop, AnOperationStopsBetweenPagesWithTheProgrammerClosedAndNoFile) {
  const Stoppable cases[] = {
      {"avr read-flash", AvrReadFlash, "страниц флеши; файл не сохранён", ""},
      {"avr write-flash", AvrWriteFlash, "страниц флеши; микросхема могла остаться записанной частично",
       "Прошить Flash"},
      {"avr write-eeprom", AvrWriteEeprom, "байт EEPROM; микросхема могла остаться записанной частично",
       "Прошить Eeprom"},
      {"i2c read", I2cRead, "байт EEPROM; файл не сохранён", ""},
      {"i2c write", I2cWrite, "байт EEPROM; микросхема могла остаться записанной частично", "Прошить"},
      {"pic read-dump", PicReadDump, "слов и байт; файл не сохранён", ""},
      {"pic write-flash", PicWriteFlash, "блоков флеши; микросхема могла остаться записанной частично",
       texts::kPicWriteFlashCaption},
  };
  for (const Stoppable& c : cases) {
    SCOPED_TRACE(c.Name);
    FormFixture f;
    for (const char* file : {"chips.ini", "I2C_E.ini", "PIC.ini"}) f.InstallDataFile(file);
    f.Start();
    Button& start = c.Prepare(f);
    ASSERT_EQ(f.Form->LastOutcome(), Outcome::Success) << LogText(f);
    // The person clicks Stop a while after the start; the window delivers the click when the
    // operation lets it handle events, and the click bypasses the frame.
    int looks = 0;
    f.Host.OnEvents = [&] {
      if (++looks == 3) {
        ASSERT_TRUE(f.Form->StopButton.Enabled);
        f.Form->StopButton.OnClick();
      }
    };
    f.Form->Fire(start.OnClick);
    EXPECT_EQ(f.Form->LastOutcome(), Outcome::Stopped) << LogText(f);
    EXPECT_FALSE(f.Sim().Devices().front()->Open);
    EXPECT_EQ(f.Sim().Devices().front()->Mask, 0) << "pins released";
    EXPECT_FALSE(std::filesystem::exists(f.Dir / "out.hex"));
    EXPECT_FALSE(std::filesystem::exists(f.Dir / "out.bin"));
    EXPECT_FALSE(f.Form->StopButton.Enabled);
    const auto& lines = f.Form->Log.Lines;
    const auto stop =
        std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("Остановлено", 0) == 0; });
    ASSERT_NE(stop, lines.end()) << LogText(f);
    EXPECT_TRUE(stop->ends_with(c.LineEnd)) << *stop;
    EXPECT_EQ(lines.back(), *c.PartlyWritten ? texts::PartlyWritten(c.PartlyWritten) : *stop);
    // The next operation is not stopped by the earlier request.
    f.Host.OnEvents = nullptr;
    f.Form->Fire(f.Form->Avr.AvrRdSign.OnClick);
    EXPECT_EQ(f.Form->LastOutcome(), Outcome::Success) << LogText(f);
  }
}

}  // namespace
}  // namespace pw
