// A read whose file is saved and whose programmer then fails to close. Before, the run ended
// with status 1 and only "FT_Close - ...": a complete, correct file looked lost.

#include <gtest/gtest.h>

#include "frame/ImageFiles.h"
#include "frame/ReadClose.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

TEST(ReadCloseCli, AFileSavedBeforeTheCloseFailsIsReportedAsGood) {
  struct Case {
    const char* Bench;
    std::vector<std::string> Args;
  };
  // Each command opens the programmer once: the read's close is the first.
  const Case cases[] = {
      {"[AVR]\nPart=ATtiny13A\n[Faults]\nFail=Close:1:4\n", {"avr", "read-flash", "out.hex"}},
      {"[AVR]\nPart=ATtiny13A\n[Faults]\nFail=Close:1:4\n", {"avr", "read-eeprom", "out.hex"}},
      {"[I2C]\nPart=24C02\n[Faults]\nFail=Close:1:4\n", {"i2c", "24C02", "read", "out.hex"}},
      {"[PIC]\nPart=PIC16F84A\n[Faults]\nFail=Close:1:4\n", {"pic", "PIC16F84A", "read-dump", "out.hex"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Args[1]);
    test::TempDir dir;
    dir.Write("bench.ini", c.Bench);
    std::vector<std::string> args{"--simulator=bench.ini"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const test::CliResult r = test::RunCli(args, dir.Path());
    EXPECT_EQ(r.Status, 1);
    ASSERT_FALSE(r.Lines().empty());
    EXPECT_EQ(r.Lines().back(), SavedButNotClosed("out.hex")) << r.Out;
    EXPECT_NE(r.Err.find("FT_Close - General IO error..."), std::string::npos) << r.Err;
    MemoryImages m;
    EXPECT_NO_THROW(LoadEepromFile(dir / "out.hex", m));
    EXPECT_EQ(m.EepromImage[0], 0xFF);  // an erased chip, read whole
  }
}

}  // namespace
}  // namespace pw
