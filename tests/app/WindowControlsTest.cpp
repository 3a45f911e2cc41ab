#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/FormFixture.h"

namespace pw {
namespace {

/// What a control shows: its caption, or a drop-down's and an edit box's text.
std::string ShownText(const ControlRef& control) {
  return std::visit(
      [](auto* c) -> std::string {
        using T = std::remove_pointer_t<decltype(c)>;
        if constexpr (std::is_same_v<T, ComboBox> || std::is_same_v<T, Edit>) return c->Text;
        else if constexpr (requires { c->Caption; }) return c->Caption;
        else return "";
      },
      control);
}

struct Expected {
  const char* Text;
  bool Enabled;
};

// The window as a person first sees it, before start-up touches anything.
const std::map<std::string, Expected> kDesign = {
    {"AvrSpi", {"AVR", true}},
    {"AvrRdSign", {"Определить чип", true}},
    {"AvrChipRst", {"Сброс", false}},
    {"AvrErase", {"Стереть чип", false}},
    {"AvrLoadFls", {"Открыть Flash", false}},
    {"AvrLoadEep", {"Файл Eeprom", false}},
    {"AvrWriteFls", {"Прошить Flash", true}},
    {"AvrReadFls", {"Прочитать Flash", true}},
    {"AvrWriteEep", {"Прошить Eeprom", true}},
    {"AvrReadEep", {"Прочитать Eeprom", true}},
    {"AvrFuses", {"Фьюзы и защита галочка = 1", true}},
    {"AvrFuse1", {"Fuse", true}},
    {"AvrFuse24", {"Fuse", true}},
    {"AvrReadFuses", {"Считать фъюзы", true}},
    {"AvrWriteFuses", {"Прошить фъюзы", true}},
    {"PIC", {"PIC", true}},
    {"PicType", {"PIC-Type", true}},
    {"PicFile", {"Файл", true}},
    {"PicReadDump", {"Cчитать дамп", PicPage::kMemoryOperations}},
    {"PicWriteDump", {"Прошить дамп", PicPage::kMemoryOperations}},
    {"PicEraseAll", {"Стереть чип", PicPage::kMemoryOperations}},
    {"PicFlash", {"Programm Memory", true}},
    {"PicReadFls", {"Прочитать", true}},
    {"PicWriteFls", {"Прошить", PicPage::kMemoryOperations}},
    {"PicEeprom", {"Data Memory", true}},
    {"PicReadEep", {"Прочитать", false}},
    {"PicWriteEep", {"Прошить", false}},
    {"PicIDGroup", {"ID", true}},
    {"PicGroupDop", {"Dop", true}},
    {"PicConfigGroup", {"Конфигурационный байт", true}},
    {"PicReadFuse", {"Считать фъюзы", PicPage::kMemoryOperations}},
    {"PicWriteFuse", {"Прошить фъюзы", PicPage::kMemoryOperations}},
    {"I2cEepom", {"I2C Eeprom", true}},
    {"I2eEepromType", {"Eeprom-Type", true}},
    {"I2cEepromErase", {"Стереть чип", true}},
    {"I2cEepromFile", {"Файл", true}},
    {"I2cEepromRead", {"Cчитать", true}},
    {"I2cEepromWrite", {"Прошить", false}},
    {"I2cEepromLab1", {"Path", true}},
    {"I2cEepromLab2", {"Dop", true}},
    {"SpiFlash", {"SPI Flash", true}},
    {"SpiFlashType", {"SPI Flash Type", false}},
    {"SpiFlashErase", {"Стереть чип", false}},
    {"SpiFlashFile", {"Файл", false}},
    {"SpiFlashRead", {"Cчитать", false}},
    {"SpiFlashWrite", {"Прошить", false}},
    {"SpiFlashLab1", {"Path", true}},
    {"SpiFlashLab2", {"Dop", true}},
    {"Setup", {"Настройки", true}},
    {"SetupCbus", {"SetupCbus", false}},
    {"SetupLed1", {"запись", false}},
    {"SetupLed2", {"чтение", false}},
    {"SetupCurrent", {"CurrentIO", false}},
    {"UsbVer", {"", false}},
    {"SetupClock", {"", false}},
    {"SetupRead", {"Считать настройки", false}},
    {"SetupDefoult", {"Прошить по умолчанию", false}},
    {"SetupWrite", {"Прошить настройки", false}},
    {"SetupNote", {"После прошивки настроек программатор необходимо переподключить.", true}},
    {"CheckBox1", {"Очищать лог", true}},
    {"BoudRate", {"BoudRate", true}},
};

TEST(WindowControls, EveryControlHasItsNameCaptionAndEnabledState) {
  test::FormFixture f;
  TForm1 form(f.Sim(), f.Host, {});
  std::set<std::string> seen;
  for (const ControlRef& c : form.Controls()) {
    const auto it = kDesign.find(NameOf(c));
    if (it == kDesign.end()) continue;
    seen.insert(it->first);
    EXPECT_EQ(ShownText(c), it->second.Text) << it->first;
    EXPECT_EQ(BaseOf(c).Enabled, it->second.Enabled) << it->first;
  }
  for (const auto& [name, expected] : kDesign) EXPECT_TRUE(seen.count(name)) << "missing control " << name;
}

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
  for (const char* name : {"PageControl1", "DopInfo", "Log", "AvrPrograss", "PicProgress", "I2cEepromProgress", "SpiProgress",
                           "AvrLock1", "AvrLock2", "AvrLock3", "PicID", "PicDop", "Edit1", "AvrPathFls", "AvrPathEep",
                           "AvrParamFls", "AvrParamEep", "PicPathFls", "PicParamFls", "PicParamEep"}) {
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
  EXPECT_EQ(form.Log.Box.Width, 289);
  EXPECT_EQ(form.Log.Box.Height, 401);
  EXPECT_EQ(form.PageControl1.Box.Width, 377);
  EXPECT_EQ(form.PageControl1.Box.Height, 449);
}

}  // namespace
}  // namespace pw
