// pinwright-cli's pic read-config and write-config take and print as many configuration words
// or bytes as the type has (one word, two words, a PIC18 part's 14 bytes), and a PIC file loads
// with the layout of the type named.

#include <gtest/gtest.h>

#include "cli/PicConfigArgs.h"
#include "support/FormFixture.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

const std::string kPic18 =
    "[P18]\nFlashSize=16384\nEeprom=256\nProgrammType=7\nEraseType=6\nWriteBuffer=32\nDeviceId=0x1200\n"
    "FusesNames[0]=PLLDIV0\n"
    "FusesNames[64]=CP0\n";
/// One ID byte and one configuration byte in the PIC18 layout.
const char* kPic18Hex = ":020000040020DA\n:0100000012ED\n:020000040030CA\n:01000000AA55\n";

TEST(PicConfigCli, ConfigurationFormsFollowTheType) {
  // A copy of the program beside description files of its own: it reads those first.
  test::TempDir dir;
  const auto cli = test::CliCopyIn(dir);
  // PIC.ini's types, a PIC18 type and a 16F628A that names a bit of a second configuration word.
  const std::string types = test::ReadText(test::BinDir() / "PIC.ini");
  const std::size_t from = types.find("[PIC16F628A]") + 12;
  const std::string twoWords = "[TWO]" + types.substr(from, types.find("[PIC16F648A]") - from);
  dir.Write("PIC.ini", types + kPic18 + twoWords + "FusesNames[16]=WRT0\n");
  dir.Write("speed.txt", test::FormFixture::DefaultSpeedTxt());
  dir.Write("bench.ini", "[PIC]\nPart=PIC16F628A\nMemory=chip.bin\n");
  const std::string p18Hex = dir.Write("p18.hex", kPic18Hex).string();
  const std::string bytes14 = "00,0C,1F,1E,FF,83,81,FF,0E,C0,0F,E0,0F,40";
  struct Case {
    std::vector<std::string> Args;
    bool Usage;
    /// A line the run shows (in either stream); one it must not show.
    std::string Shown;
    std::string NotShown;
  };
  const Case cases[] = {
      {{"PIC16F628A", "write-config", "3F21,3FFF"},
       true,
       "write-config для этого типа: значений нужно 1 (XXXX), а задано 2",
       ""},
      {{"TWO", "write-config", "3F21"},
       true,
       "write-config для этого типа: значений нужно 2 (XXXX,XXXX), а задано 1",
       ""},
      {{"TWO", "write-config", "1F21,3FFF", "read-config"}, false, "\nConfig: 1F21 3FFF\nID: ", "write-config"},
      {{"P18", "write-config", "00,0C"},
       true,
       "write-config для этого типа: значений нужно 14 (XX,XX,XX,XX,XX,XX,XX,XX,XX,XX,XX,XX,XX,XX), а задано 2",
       ""},
      {{"P18", "write-config", bytes14.substr(0, bytes14.size() - 2) + "100"},
       true,
       "ожидается шестнадцатеричный байт, а не 100",
       ""},
      {{"P18", "write-config", bytes14}, false, "", "write-config"},
      {{"P18", "write-dump", p18Hex}, false, "", "Ошибка в файле " + p18Hex},
      {{"PIC16F628A", "write-dump", p18Hex}, false, "Ошибка в файле " + p18Hex, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Args[0] + " " + c.Args[1]);  // some cases have only two words
    std::vector<std::string> args = c.Args;
    SCOPED_TRACE(args[0] + " " + args[1] + " " + args.back());
    args.insert(args.begin(), {"--simulator=" + (dir / "bench.ini").string(), "pic"});
    const auto r = test::RunProgram(cli.string(), args, dir.Path());
    const std::string all = r.Out + r.Err;
    EXPECT_EQ(r.Status == 64, c.Usage) << all;
    EXPECT_NE(all.find(c.Shown), std::string::npos) << all;
    if (!c.NotShown.empty()) {
      EXPECT_EQ(all.find(c.NotShown), std::string::npos) << all;
    }
  }

  // read-config of a PIC18 part: the 14 configuration bytes and the 8 ID bytes.
  PicConfigArea area{};
  for (std::size_t k = 0; k < area.size(); ++k) area[k] = static_cast<std::uint8_t>(k);
  EXPECT_EQ(cli::PicConfigLines(area, ReadPicType(IniFile::Parse(kPic18), "P18")),
            "Config: 0E 0F 10 11 12 13 14 15 16 17 18 19 1A 1B\nID: 00 01 02 03 04 05 06 07 \n");
}

}  // namespace
}  // namespace pw
