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
#include "i2c/I2cTexts.h"
#include "i2c/I2cTypes.h"
#include "model/Controls.h"
#include "model/FormContext.h"
#include "model/PageModel.h"

namespace pw {

class I2cPage : public PageModel {
 public:
  static constexpr const char* kTypesFile = kI2cTypesFile;

  explicit I2cPage(FormContext& context);

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

  // The controls, each with the handler it runs.
  /// Takes the chosen type's size and addressing from I2C_E.ini and shows them with the loaded
  /// data; runs when the page is shown and when another type is chosen.
  void ViewI2C();
  /// ViewI2C, then the line that says why the type shown cannot be used, if it cannot.
  void ShowI2cType();
  TabSheet I2cEepom{"I2cEepom", "I2C Eeprom", [this] { ShowI2cType(); }};
  ComboBox I2eEepromType{"I2eEepromType", "I2cEepom", {8, 8, 150, 21}, "Eeprom-Type", true, [this] { ShowI2cType(); }};
  /// Loads a HEX or binary file into EepromImage.
  void I2cEepromFileClick();
  Button I2cEepromFile{"I2cEepromFile", "I2cEepom", {8, 38, 123, 25}, "Файл", [this] { I2cEepromFileClick(); }};
  /// Reads the whole chip into a file.
  void I2cEepromReadClick();
  Button I2cEepromRead{"I2cEepromRead", "I2cEepom", {137, 38, 127, 25}, "Cчитать", [this] { I2cEepromReadClick(); }};
  /// Writes the bytes of the loaded file and compares them with the chip.
  void I2cEepromWriteClick();
  Button I2cEepromWrite{
      "I2cEepromWrite", "I2cEepom", {270, 38, 138, 25}, kI2cWriteCaption, [this] { I2cEepromWriteClick(); }, false};
  /// Erases the chip and checks that it reads erased.
  void I2cEepromEraseClick();
  Button I2cEepromErase{
      "I2cEepromErase", "I2cEepom", {270, 68, 138, 25}, kI2cEraseCaption, [this] { I2cEepromEraseClick(); }};
  /// Beside the erase button, under the read button.
  Button I2cEepromVerify{
      "I2cEepromVerify", "I2cEepom", {137, 68, 127, 25}, texts::kI2cVerifyCaption, [this] { I2cEepromVerifyClick(); }};
  Label I2cEepromLab1{"I2cEepromLab1", "I2cEepom", {8, 100, 400, 30}, "Path"};
  Label I2cEepromLab2{"I2cEepromLab2", "I2cEepom", {8, 132, 400, 30}, "Dop"};
  ProgressBar I2cEepromProgress{"I2cEepromProgress", "I2cEepom", {8, 166, 400, 17}};

 private:
  void Startup() override;
  std::vector<ControlRef> Controls() override;
  /// Runs step, made by the chosen type's operations, as this page's operation.
  void RunStep(const std::function<OperationStep(I2cOperations&)>& step);

  /// The chosen type, as the last ViewI2C read it.
  I2cType type_;
};

}  // namespace pw
