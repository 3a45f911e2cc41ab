// The window's list of controls, which the Qt window builds its widgets from: every control listed
// once, after its parent, with the names the pages look their controls up by, inside the window.

#include <gtest/gtest.h>

#include <set>

#include "support/FormFixture.h"

namespace pw {
namespace {

TEST(WindowControls, NamesAreUniqueAndParentsComeFirst) {
  test::FormFixture f;
  TForm1 form(f.Sim(), f.Host, {});
  std::set<std::string> names;
  for (const ControlRef& c : form.Controls()) {
    const ControlBase& base = BaseOf(c);
    EXPECT_TRUE(names.insert(base.Name).second) << "twice: " << base.Name;
    if (!base.Parent.empty()) {
      EXPECT_TRUE(names.count(base.Parent)) << base.Name << " before its parent " << base.Parent;
    }
  }
  for (int n = 1; n <= 24; ++n) EXPECT_TRUE(names.count("AvrFuse" + std::to_string(n)));
  for (int n = 1; n <= 32; ++n) EXPECT_TRUE(names.count("PicFuse" + std::to_string(n)));
  for (const char* name :
       {"PageControl1", "DopInfo",    "Log",        "AvrPrograss", "PicProgress", "I2cEepromProgress",
        "SpiProgress",  "AvrLock1",   "AvrLock2",   "AvrLock3",    "PicID",       "PicDop",
        "Edit1",        "AvrPathFls", "AvrPathEep", "AvrParamFls", "AvrParamEep", "PicPathFls",
        "PicParamFls",  "PicParamEep"}) {
    EXPECT_TRUE(names.count(name)) << name;
  }
}

TEST(WindowControls, EveryControlFitsTheWindow) {
  test::FormFixture f;
  TForm1 form(f.Sim(), f.Host, {});
  for (const ControlRef& c : form.Controls()) {
    const ControlBase& base = BaseOf(c);
    if (!base.Parent.empty()) continue;
    EXPECT_LE(base.Box.Left + base.Box.Width, TForm1::kClientWidth) << base.Name;
    EXPECT_LE(base.Box.Top + base.Box.Height, TForm1::kClientHeight) << base.Name;
  }
}

}  // namespace
}  // namespace pw
