#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "d2xx/FtEepromImage.h"
#include "frame/Texts.h"
#include "setup/SelfTestTexts.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

std::string EepromFile(const std::string& description, bool checksumGood) {
  FtEepromImage image = FactoryFtEeprom(description, "PW000001");
  if (!checksumGood) image[0x7E] ^= 0x01;
  return std::string(image.begin(), image.end());
}

std::string Shorted(const std::string& line) { return texts::kLineShorted + line; }

/// The table's row of every line: well, unless faults names it.
std::vector<std::string> LineRows(const std::map<int, std::string>& faults) {
  std::vector<std::string> rows;
  for (int line = 0; line < 8; ++line) {
    const auto fault = faults.find(line);
    rows.push_back(std::string(texts::kSelfTestLines[static_cast<std::size_t>(line)]) + ": " +
                   (fault == faults.end() ? texts::kLineWell : fault->second));
  }
  return rows;
}

TEST(SelftestCli, NamesEachFaultyLineAndTheEepromAndSaysWhetherAllIsWell) {
  struct Case {
    const char* Bench;
    int Status;
    std::map<int, std::string> Lines;
    std::string Row;  ///< another row the table must hold, if any
  };
  const std::string chips = "[AVR]\nPart=ATmega328P\n[PIC]\nPart=PIC16F628A\n[I2C]\nPart=24C256\n";
  const std::string other = std::string(texts::kSelfTestDescription) + "Pinwright ISP" +
                            texts::kSelfTestOtherDescription + "\"FT232R USB UART\")";
  const Case cases[] = {
      {"[Programmer]\nEeprom=good.bin\n", 0, {}, "VID:PID: 0403:6001"},
      {"[Programmer]\nEeprom=other.bin\n", 0, {}, other},
      {"[Programmer]\nEeprom=bad.bin\n", 2, {}, texts::kSelfTestEepromDamaged},
      {"[Faults]\nStuckHigh=D3\n", 2, {{3, texts::kLineStuckHigh}}, ""},
      {"[Faults]\nStuckLow=D7\n", 2, {{7, texts::kLineStuckLow}}, ""},
      {"[Faults]\nStuckLow=D1\n", 2, {{1, texts::kLineStuckLow}}, ""},
      {"[Faults]\nShort=D3-D5\n", 2, {{3, Shorted("D5")}, {5, Shorted("D3")}}, ""},
      {"[Faults]\nShort=D0-D2, D1-D6\n",
       2,
       {{0, Shorted("D2")}, {1, Shorted("D6")}, {2, Shorted("D0")}, {6, Shorted("D1")}},
       ""},
  };
  test::TempDir dir;
  dir.Write("good.bin", EepromFile("FT232R USB UART", true));
  dir.Write("other.bin", EepromFile("Pinwright ISP", true));
  dir.Write("bad.bin", EepromFile("FT232R USB UART", false));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Bench);
    const auto bench = dir.Write("bench.ini", c.Bench + chips);
    const auto r = test::RunCli({"--simulator=" + bench.string(), "selftest"}, dir.Path());
    EXPECT_EQ(r.Status, c.Status) << r.Out << r.Err;
    const auto lines = r.Lines();
    for (const std::string& row : LineRows(c.Lines)) {
      EXPECT_NE(std::find(lines.begin(), lines.end(), row), lines.end()) << row << "\n" << r.Out;
    }
    if (!c.Row.empty()) {
      EXPECT_NE(std::find(lines.begin(), lines.end(), c.Row), lines.end()) << c.Row << "\n" << r.Out;
    }
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), c.Status == 0 ? texts::kSelfTestPassed : texts::kSelfTestFailed);
  }
}

TEST(SelftestCli, AProgrammerThatCannotBeOpenedIsReportedAsThePagesReportIt) {
  test::TempDir dir;
  const auto bench = dir.Write("bench.ini", "[Programmer]\nOpenStatus=3\n");
  const auto r = test::RunCli({"--simulator=" + bench.string(), "selftest"}, dir.Path());
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find(texts::kNoProgrammer), std::string::npos) << r.Err;
}

}  // namespace
}  // namespace pw
