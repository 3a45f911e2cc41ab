#pragma once
/// @file
/// The "I2C Eeprom" page: a 24Cxx type from I2C_E.ini, read into a HEX file, written from a
/// loaded file, erased.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frame/PartialWrite.h"
#include "i2c/I2cAddressing.h"
#include "i2c/I2cGroups.h"
#include "model/Controls.h"
#include "model/FormContext.h"

namespace pw {

class I2cPage {
 public:
  static constexpr const char* kTypesFile = "I2C_E.ini";

  explicit I2cPage(FormContext& context);
  I2cPage(const I2cPage&) = delete;
  I2cPage& operator=(const I2cPage&) = delete;

  /// Sets the page up when the window is created: the types of I2C_E.ini, the first one chosen.
  void Startup();
  /// The page and every control on it, parents before children.
  std::vector<ControlRef> Controls();

  /// Takes the chosen type's size and addressing from I2C_E.ini and shows them with the loaded data.
  void ViewI2C();
  void I2cEepromFileClick();
  void I2cEepromReadClick();
  void I2cEepromWriteClick();
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
  Button I2cEepromWrite{"I2cEepromWrite", "I2cEepom", {244, 38, 116, 25}, "Прошить", false};
  Button I2cEepromErase{"I2cEepromErase", "I2cEepom", {244, 68, 116, 25}, "Стереть чип"};
  Label I2cEepromLab1{"I2cEepromLab1", "I2cEepom", {8, 100, 352, 30}, "Path"};
  Label I2cEepromLab2{"I2cEepromLab2", "I2cEepom", {8, 132, 352, 30}, "Dop"};
  ProgressBar I2cEepromProgress{"I2cEepromProgress", "I2cEepom", {8, 166, 352, 17}};

 private:
  I2cAddressing Addressing() const { return {I2cProtocol}; }
  /// A line that stops an operation before it touches the chip, or nothing when it may go on;
  /// the line names the type's section and ends with cancelled ("чтение отменено").
  std::optional<std::string> SizeProblem(std::int32_t bytes, const char* cancelled) const;
  /// SizeProblem, then a PageSize that cannot be the chip's page: writes would roll over inside it.
  std::optional<std::string> WriteProblem(std::int32_t bytes, const char* cancelled) const;
  /// Logs problem and marks the operation as refused for its input.
  void RefuseInput(const std::string& problem);
  /// Writes the bytes i < count for which wanted(i) holds, value(i) each, in runs that stay
  /// within one group; false (with its line logged) when the chip failed.
  bool WriteAll(std::int32_t count, const std::function<std::uint8_t(std::int32_t)>& value,
                const std::function<bool(std::int32_t)>& wanted, PartialWrite& partial);
  /// Reads the whole chip into bytes and a HEX text; false (with its line logged) when the
  /// chip failed or a stop was asked for.
  bool ReadAll(std::string& hexText, std::vector<std::uint8_t>& bytes);
  /// Reads the chip's first bytes.size() bytes; false when the chip failed (its line logged,
  /// ending in consequence) or a stop was asked for (stopped added to the stop line).
  bool ReadBytes(std::vector<std::uint8_t>& bytes, const char* consequence, const char* stopped);
  void ChipFailed(I2cGroupResult result, std::uint32_t address, const char* consequence);
  void SetProgress(int max, int position);
  void MoveProgress(int position);

  FormContext& ctx_;
  /// The chosen type's PageSize as the file gives it, for the message that refuses it.
  std::string pageSizeText_;
};

}  // namespace pw
