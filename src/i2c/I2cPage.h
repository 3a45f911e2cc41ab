#pragma once
/// @file
/// The "I2C Eeprom" page: a 24Cxx type from I2C_E.ini, read into a HEX file, written from a
/// loaded file, compared, erased. A face of the I2C operations (i2c/I2cOperations.h).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "i2c/I2cGroups.h"
#include "i2c/I2cOperations.h"
#include "i2c/I2cTypes.h"
#include "model/Controls.h"
#include "model/FormContext.h"
#include "model/PageModel.h"

namespace pw {

class I2cPage : public PageModel {
 public:
  static constexpr const char* kTypesFile = kI2cTypesFile;

  explicit I2cPage(FormContext& context);

  void Startup() override;
  std::vector<ControlRef> Controls() override;

  /// Takes the chosen type's size and addressing from I2C_E.ini and shows them with the loaded data.
  void ViewI2C();
  void I2cEepromFileClick();
  void I2cEepromReadClick();
  /// Writes the bytes of the loaded file and compares them with the chip.
  void I2cEepromWriteClick();
  /// Erases the chip and checks that it reads erased.
  void I2cEepromEraseClick();
  /// Verify without writing: reads the chip up to the loaded data's end and compares the bytes
  /// of EepromFilled; logs the first differences and their count (a target failure when any differ).
  void I2cEepromVerifyClick();

  /// The chosen type's capacity in bytes.
  std::int32_t EepromSize = 0;
  /// The chosen type's addressing scheme.
  std::uint8_t I2cProtocol = 2;
  /// The chosen type's page size (its PageSize key; I2cGroups::kGroupBytes without one): writes
  /// go in page-aligned groups of this many bytes.
  std::int32_t I2cPageSize = I2cGroups::kGroupBytes;
  /// Runs after a file was loaded here: the AVR page's EEPROM write button follows the AVR chip.
  std::function<void()> OnFileLoaded;

  TabSheet I2cEepom{"I2cEepom", "I2C Eeprom"};
  ComboBox I2eEepromType{"I2eEepromType", "I2cEepom", {8, 8, 150, 21}, "Eeprom-Type"};
  Button I2cEepromFile{"I2cEepromFile", "I2cEepom", {8, 38, 112, 25}, "Файл"};
  Button I2cEepromRead{"I2cEepromRead", "I2cEepom", {126, 38, 112, 25}, "Cчитать"};
  Button I2cEepromWrite{"I2cEepromWrite", "I2cEepom", {244, 38, 116, 25}, kI2cWriteCaption, false};
  Button I2cEepromErase{"I2cEepromErase", "I2cEepom", {244, 68, 116, 25}, kI2cEraseCaption};
  Label I2cEepromLab1{"I2cEepromLab1", "I2cEepom", {8, 100, 352, 30}, "Path"};
  Label I2cEepromLab2{"I2cEepromLab2", "I2cEepom", {8, 132, 352, 30}, "Dop"};
  ProgressBar I2cEepromProgress{"I2cEepromProgress", "I2cEepom", {8, 166, 352, 17}};

 private:
  /// Runs step, made by the chosen type's operations, as this page's operation.
  void RunStep(const std::function<OperationStep(I2cOperations&)>& step);

  /// The chosen type, as the last ViewI2C read it.
  I2cType type_;
};

}  // namespace pw
