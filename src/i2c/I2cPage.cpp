#include "i2c/I2cPage.h"

namespace pw {

I2cPage::I2cPage(FormContext& context) : ctx_(context) {}

void I2cPage::Startup() {
  // The memory types of I2C_E.ini come with the I2C EEPROM page.
}

std::vector<ControlRef> I2cPage::Controls() {
  return {&I2cEepom,       &I2eEepromType, &I2cEepromFile, &I2cEepromRead,    &I2cEepromWrite,
          &I2cEepromErase, &I2cEepromLab1, &I2cEepromLab2, &I2cEepromProgress};
}

}  // namespace pw
