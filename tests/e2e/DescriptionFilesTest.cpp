// PIC.ini and I2C_E.ini entries a type cannot work with: refused when the file is read, naming
// the section and the key; the window says so when the type is shown, the command line ends
// with status 1, and no operation runs with them.

#include <gtest/gtest.h>

#include <system_error>

#include "i2c/I2cTypes.h"
#include "pic/PicTypes.h"
#include "sim/SimPic.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

const std::string kPicProblem = "Ошибка в файле PIC.ini: [T] ";
const std::string kI2cProblem = "Ошибка: у типа [T] в файле I2C_E.ini ";
const std::string kI2cEnd = "; операции с этим типом не выполняются";

TEST(DescriptionFiles, EachUnusableEntryIsRefusedNamingItsSectionAndKey) {
  const std::pair<const char*, std::string> pic[] = {
      {"ProgrammType=0", "ProgrammType=0 (известны 1, 2, 3, 4, 5, 6, 7)"},
      {"ProgrammType=9", "ProgrammType=9 (известны 1, 2, 3, 4, 5, 6, 7)"},
      {"ProgrammType=-1", "ProgrammType=-1 (известны 1, 2, 3, 4, 5, 6, 7)"},
      {"EraseType=9", "EraseType=9 (известны 1, 2, 3, 4, 5, 6)"},
      {"WriteLatch=3", "WriteLatch=3 (известны 1, 2, 4, 8, 16)"},
      {"EnterType=2", "EnterType=2 (известны 0, 1)"},
      {"FlashSize=big", "FlashSize=big (нужно число от 1 до 8192)"},
      {"FlashSize=0x2001", "FlashSize=0x2001 (нужно число от 1 до 8192)"},
      {"Eeprom=-1", "Eeprom=-1 (нужно число от 0 до 24320)"},
      {"ProgramMs=0", "ProgramMs=0 (нужно число от 1 до 1000)"},
      {"Osccal=0x200", "Osccal=0x200 (нужно число от 0 до 511)"},
      {"ProgrammType=7\nEraseType=6\nWriteBuffer=24", "WriteBuffer=24 (нужна степень двойки от 2 до 64)"},
      {"ProgrammType=7\nEraseType=6", "WriteBuffer= (нужна степень двойки от 2 до 64)"},
      {"ProgrammType=7\nEraseType=2\nWriteBuffer=32", "EraseType=2 (нужно 6)"},
      {"EraseType=6", "EraseType=6 (6 только при ProgrammType=7)"},
      {"ProgrammType=7\nEraseType=6\nWriteBuffer=32\nDeviceId=0x10000", "DeviceId=0x10000 (нужно число от 0 до 65535)"},
  };
  for (const auto& [line, why] : pic) {
    const auto ini = IniFile::Parse(std::string("[T]\n") + line + "\nFlashSize=512\nEeprom=64\n");
    EXPECT_EQ(ReadPicType(ini, "T").Problem, kPicProblem + why) << line;
  }
  const std::pair<const char*, std::string> i2c[] = {
      {"Protocol=6", "способ адресации (Protocol=6) не от 1 до 5"},
      {"Protocol=two", "способ адресации (Protocol=two) не от 1 до 5"},
      {"Size=0", "размер (Size) не задан числом больше нуля"},
      {"PageSize=12", "размер страницы (PageSize=12) не степень двойки от 1 до 512"},
  };
  for (const auto& [line, why] : i2c) {
    const auto ini = IniFile::Parse(std::string("[T]\n") + line + "\nSize=512\nProtocol=1\nPageSize=16\n");
    EXPECT_EQ(ReadI2cType(ini, "T").Problem, kI2cProblem + why + kI2cEnd) << line;
  }
  // The files the program ships describe every type usably.
  const IniFile pics = IniFile::Load(test::SourceDir() / "data" / kPicTypesFile);
  for (const auto& type : pics.SectionNames()) EXPECT_EQ(ReadPicType(pics, type).Problem, "");
  const IniFile eeproms = IniFile::Load(test::SourceDir() / "data" / kI2cTypesFile);
  for (const auto& type : eeproms.SectionNames()) EXPECT_EQ(ReadI2cType(eeproms, type).Problem, "");
}

TEST(DescriptionFiles, TheWindowSaysWhyAndRunsNothingWithTheType) {
  test::FormFixture f("[PIC]\nPart=PIC16F628A\n[I2C]\nPart=24C04\n");
  f.Dir.Write("program/PIC.ini", "[T]\nFlashSize=2048\nProgrammType=0\n");
  f.Dir.Write("program/I2C_E.ini", "[T]\nSize=512\nProtocol=6\n");
  f.Start();
  auto& log = f.Form->Log.Lines;
  f.Form->ShowPage(1);
  EXPECT_EQ(log.back(), kPicProblem + "ProgrammType=0 (известны 1, 2, 3, 4, 5, 6, 7)");
  f.Form->Fire(f.Form->Pic.PicEraseAll.OnClick);
  EXPECT_EQ(log.back(), kPicProblem + "ProgrammType=0 (известны 1, 2, 3, 4, 5, 6, 7)");
  EXPECT_EQ(f.Form->LastOutcome(), Outcome::ErrorReport);
  f.Form->ShowPage(2);
  EXPECT_EQ(log.back(), kI2cProblem + "способ адресации (Protocol=6) не от 1 до 5" + kI2cEnd);
  f.Form->Fire(f.Form->I2c.I2cEepromErase.OnClick);
  EXPECT_EQ(log.back(), kI2cProblem + "способ адресации (Protocol=6) не от 1 до 5; стирание отменено");
  EXPECT_EQ(f.Sim().Faults().Calls(sim::SimCall::Open), 0u);
}

TEST(DescriptionFiles, TheCommandLineEndsWithStatusOneAndTheLine) {
  // A copy of the program beside description files of its own: it reads those first.
  test::TempDir dir;
  const auto cli = test::CliCopyIn(dir);
  dir.Write("PIC.ini", "[T]\nFlashSize=2048\nEraseType=7\n");
  dir.Write("I2C_E.ini", "[T]\nSize=512\nProtocol=0\n");
  dir.Write("speed.txt", test::FormFixture::DefaultSpeedTxt());
  dir.Write("bench.ini", "[PIC]\nPart=PIC16F628A\nMemory=chip.bin\n[I2C]\nPart=24C04\nMemory=eeprom.bin\n");
  const std::string bench = "--simulator=" + (dir / "bench.ini").string();
  const std::pair<std::vector<std::string>, std::string> runs[] = {
      {{bench, "pic", "T", "erase"}, kPicProblem + "EraseType=7 (известны 1, 2, 3, 4, 5, 6)"},
      {{bench, "i2c", "T", "erase"}, kI2cProblem + "способ адресации (Protocol=0) не от 1 до 5; стирание отменено"},
  };
  for (const auto& [args, line] : runs) {
    const auto r = test::RunProgram(cli.string(), args, dir.Path());
    EXPECT_EQ(r.Status, 1) << r.Out << r.Err;
    EXPECT_NE((r.Out + r.Err).find(line), std::string::npos) << r.Out << r.Err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "chip.bin"));
  EXPECT_FALSE(std::filesystem::exists(dir / "eeprom.bin"));
}

}  // namespace
}  // namespace pw
