#include <gtest/gtest.h>

#include "cli/CliRun.h"
#include "sim/SimFt232r.h"
#include "support/FormFixture.h"

namespace pw::cli {
namespace {

TEST(RunOptions, BaudOfTheLineReplacesSpeedTxtForTheRun) {
  struct Case {
    std::vector<std::string> Line;
    std::uint32_t Baud;  // what the programmer is set to
    bool ClearLog;
  } cases[] = {
      {{"avr", "identify"}, 19200, false},
      {{"avr", "identify", "--baud", "38400", "--clear-log"}, 38400, true},
      {{"--baud=300", "avr", "identify"}, 300, false},
  };
  for (const auto& c : cases) {
    test::FormFixture f;
    TForm1& form = f.Start();
    ApplyRunOptions(form, ParseCliOptions(c.Line));
    EXPECT_EQ(form.CheckBox1.Checked, c.ClearLog);
    form.Fire(form.Avr.AvrRdSign.OnClick);
    EXPECT_EQ(f.Sim().Devices().at(0)->Baud, c.Baud) << testing::PrintToString(c.Line);
  }
}

}  // namespace
}  // namespace pw::cli
