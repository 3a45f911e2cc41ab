#pragma once
/// @file
/// The "I2C Eeprom" page: a 24Cxx type from I2C_E.ini, read, written and erased.

#include <vector>

#include "model/Controls.h"
#include "model/FormContext.h"

namespace pw {

class I2cPage {
 public:
  explicit I2cPage(FormContext& context);
  I2cPage(const I2cPage&) = delete;
  I2cPage& operator=(const I2cPage&) = delete;

  /// Sets the page up when the window is created.
  void Startup();
  /// The page and every control on it, parents before children.
  std::vector<ControlRef> Controls();

  TabSheet I2cEepom{"I2cEepom", "I2C Eeprom"};
  ComboBox I2eEepromType{"I2eEepromType", "I2cEepom", {8, 8, 150, 21}, "Eeprom-Type"};
  Button I2cEepromFile{"I2cEepromFile", "I2cEepom", {8, 38, 112, 25}, "Файл"};
  Button I2cEepromRead{"I2cEepromRead", "I2cEepom", {126, 38, 112, 25}, "Cчитать"};
  Button I2cEepromWrite{"I2cEepromWrite", "I2cEepom", {244, 38, 116, 25}, "Прошить", false};
  Button I2cEepromErase{"I2cEepromErase", "I2cEepom", {244, 68, 116, 25}, "Стереть чип"};
  Label I2cEepromLab1{"I2cEepromLab1", "I2cEepom", {8, 100, 352, 15}, "Path"};
  Label I2cEepromLab2{"I2cEepromLab2", "I2cEepom", {8, 118, 352, 15}, "Dop"};
  ProgressBar I2cEepromProgress{"I2cEepromProgress", "I2cEepom", {8, 140, 352, 17}};

 private:
  FormContext& ctx_;
};

}  // namespace pw
