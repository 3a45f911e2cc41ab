// .ci/check-layers, the check CI runs over the includes of src/: the tree as it is keeps the layer
// rule, and every break is named with its file, line and the rule it breaks.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/TestDirs.h"

namespace pw {
namespace {

test::CliResult CheckLayers(const std::filesystem::path& root) {
  return test::RunProgram((test::SourceDir() / ".ci" / "check-layers").string(), {root.string()}, root);
}

TEST(LayerRule, TheSourceTreeKeepsIt) {
  const auto run = CheckLayers(test::SourceDir());
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(run.Err.empty()) << run.Err;
}

TEST(LayerRule, EachBreakIsNamedWithItsFileLineAndRule) {
  struct Case {
    const char* File;
    const char* Text;
    /// The report's line, up to the rule; empty when the file keeps the rule.
    std::string Report;
  };
  const std::string breaks = ": breaks the layer rule of docs/ARCHITECTURE.md: ";
  const std::vector<Case> cases{
      {"src/link/ReachesUp.cpp", "#include <vector>\n\n#include \"d2xx/D2xx.h\"\n#include \"model/Controls.h\"\n",
       "src/link/ReachesUp.cpp:4: \"model/Controls.h\"" + breaks + "link/ may not use model/"},
      {"src/d2xx/Wiring.h", "#pragma once\n#include \"common/Error.h\"\n#include \"link/D2xxUnit.h\"\n",
       "src/d2xx/Wiring.h:3: \"link/D2xxUnit.h\"" + breaks + "d2xx/ may not use link/"},
      {"src/model/Texts.h", "#pragma once\n#include <QString>\n",
       "src/model/Texts.h:2: <QString>" + breaks + "Qt is used only in src/gui/"},
      {"src/avr/AvrPage.cpp",
       "#include \"avr/AvrPage.h\"\n#include \"model/FormContext.h\"\n#include \"i2c/I2cBus.h\"  // x\n",
       "src/avr/AvrPage.cpp:3: \"i2c/I2cBus.h\"" + breaks + "avr/ may not use i2c/"},
      {"src/sim/SimBoard.cpp", "#include \"ini/IniFile.h\"\n#  include \"app/Form1.h\"\n",
       "src/sim/SimBoard.cpp:2: \"app/Form1.h\"" + breaks + "sim/ may not use app/"},
      {"src/sim/Relative.cpp", "#include \"../link/D2xxUnit.h\"\n",
       "src/sim/Relative.cpp:1: \"../link/D2xxUnit.h\"" + breaks + "include by folder"},
      {"src/sim/Usb.cpp", "#include <ftdi.h>\n",
       "src/sim/Usb.cpp:1: <ftdi.h>" + breaks + "libftdi is used only in src/ftdi/"},
      {"src/newpart/Part.cpp", "#include \"common/Error.h\"\n",
       "src/newpart/Part.cpp:1: src/newpart/" + breaks + "the folder is not in the table"},
      // What the table allows, directly or through the folders it may use.
      {"src/gui/MainWindow.cpp", "#include <QWidget>\n#include \"backend/Backend.h\"\n#include \"app/Form1.h\"\n", ""},
      {"src/cli/CliRun.cpp", "#include \"cli/CliRun.h\"\n#include \"avr/AvrPage.h\"\n#include \"CliHost.h\"\n", ""},
      {"src/backend/Backend.cpp", "#include \"ftdi/FtdiD2xx.h\"\n#include \"sim/Bench.h\"\n#include \"app/Form1.h\"\n",
       ""},
      {"src/ftdi/FtdiD2xx.cpp", "#include <ftdi.h>\n#include \"d2xx/FtEepromImage.h\"\n#include \"common/Error.h\"\n",
       ""},
      {"src/setup/SetupPage.cpp", "#include \"model/Controls.h\"\n#include \"d2xx/FtEepromImage.h\"\n", ""},
  };
  test::TempDir root;
  for (const Case& c : cases) root.Write(c.File, c.Text);
  const auto run = CheckLayers(root.Path());
  EXPECT_EQ(run.Status, 1);
  for (const Case& c : cases) {
    if (c.Report.empty()) {
      EXPECT_EQ(run.Err.find(c.File), std::string::npos) << c.File << " keeps the rule:\n" << run.Err;
    } else {
      EXPECT_NE(run.Err.find(c.Report), std::string::npos) << c.Report << "\nnot in:\n" << run.Err;
    }
  }
  const auto reported = std::count_if(cases.begin(), cases.end(), [](const Case& c) { return !c.Report.empty(); });
  EXPECT_NE(run.Err.find("check-layers: " + std::to_string(reported) + " include(s) break the layer rule"),
            std::string::npos)
      << run.Err;
}

}  // namespace
}  // namespace pw
