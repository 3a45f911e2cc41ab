#pragma once
/// @file
/// The "PIC" page: a device type from PIC.ini, its program memory, data memory and
/// configuration word.

#include <functional>
#include <vector>

#include "model/Controls.h"
#include "model/FormContext.h"
#include "pic/PicTypes.h"
#include "pic/PicUtils.h"

namespace pw {

class PicPage {
 public:
  static constexpr const char* kTypesFile = "PIC.ini";
  /// Program words per write block and per read chunk; data locations per read chunk.
  static constexpr std::int32_t kBlockWords = 16;
  /// Image bytes (two per data location) per data-memory write block.
  static constexpr std::int32_t kBlockBytes = 16;

  explicit PicPage(FormContext& context);
  PicPage(const PicPage&) = delete;
  PicPage& operator=(const PicPage&) = delete;

  /// Sets the page up when the window is created.
  void Startup();
  /// The page and every control on it, parents before children.
  std::vector<ControlRef> Controls();

  /// Takes the device values of the type named in PicType from PIC.ini and shows them; PicID
  /// shows seven ID words with "$".
  void ShowPicType();
  /// Shows ConfigImage bytes 14 to 17 in the 32 checkboxes and the six ID words in PicID.
  void ShowPicConfig();
  /// Copies the 32 checkboxes into ConfigImage bytes 14 to 17.
  void TakePicConfig();
  void PICShow();
  void PicTypeChange();
  void PicFileClick();

  // Memory operations: each opens the programmer in "PIC-ISP", logs, and closes it.
  /// Reads the configuration area into ConfigImage and shows it.
  void PicReadFuseClick();
  /// Writes the panel's configuration word and the ID words of ConfigImage.
  void PicWriteFuseClick();
  /// Reads program memory, configuration and data memory into the images and a HEX file.
  void PicReadDumpClick();
  /// Writes program memory, data memory and configuration from the images.
  void PicWriteDumpClick();
  /// Writes program memory from FlashImage.
  void PicWriteFlsClick();
  /// Writes the data-memory locations the loaded file holds.
  void PicWriteEepClick();
  /// Erases the chip (keeping a factory calibration word), then writes the configuration back.
  void PicEraseAllClick();

  /// Writes and verifies words 0 .. n - 1 of FlashImage in blocks of 16; false on a mismatch.
  bool WritePicProgramMemory(std::int32_t n);
  /// Writes and verifies the filled locations among image bytes 0 .. length - 1 of
  /// EepromImage; progress positions are offset by progressOffset. False on a mismatch.
  bool WritePicDataMemory(std::int32_t length, std::int32_t progressOffset);
  /// Writes the ID words and the configuration word of ConfigImage; no log line.
  void WritePicConfig();

  PICUtils Utils;

  // The selected type's device values (PIC.ini), 0 until the page first shows a type.
  std::int32_t FlashSize = 0;
  std::int32_t EepromSize = 0;
  std::int32_t ProgrammType = 0;
  std::int32_t EnterType = 0;
  std::int32_t EraseType = 0;
  /// Program-word address of the factory calibration word to keep across an erase; 0: none.
  std::int32_t Osccal = 0;
  /// The type's longest self-timed write cycle, ms.
  std::int32_t ProgramMs = 10;
  /// The wait count the write and erase routines get: ProgrammerBaud, raised so that its idle
  /// samples last at least ProgramMs at the sample clock of 16 × the baud value.
  std::int32_t ProgramWaitCount() const;
  /// Runs after a file was loaded here: the AVR page's flash write button follows its chip.
  std::function<void()> OnFileLoaded;

  TabSheet PIC{"PIC", "PIC"};
  ComboBox PicType{"PicType", "PIC", {8, 8, 150, 21}, "PIC-Type"};
  Button PicFile{"PicFile", "PIC", {164, 6, 196, 25}, "Файл"};
  Button PicReadDump{"PicReadDump", "PIC", {8, 36, 112, 25}, "Cчитать дамп"};
  Button PicEraseAll{"PicEraseAll", "PIC", {244, 36, 116, 25}, "Стереть чип"};
  Button PicWriteDump{"PicWriteDump", "PIC", {126, 36, 112, 25}, "Прошить дамп"};
  Label PicPathFls{"PicPathFls", "PIC", {8, 66, 352, 15}, ""};
  GroupBox PicFlash{"PicFlash", "PIC", {8, 84, 174, 72}, "Programm Memory"};
  Label PicParamFls{"PicParamFls", "PicFlash", {8, 18, 160, 15}, ""};
  Button PicReadFls{"PicReadFls", "PicFlash", {8, 38, 76, 25}, "Прочитать"};
  Button PicWriteFls{"PicWriteFls", "PicFlash", {90, 38, 76, 25}, "Прошить"};
  GroupBox PicEeprom{"PicEeprom", "PIC", {186, 84, 174, 72}, "Data Memory"};
  Label PicParamEep{"PicParamEep", "PicEeprom", {8, 18, 160, 15}, ""};
  Button PicReadEep{"PicReadEep", "PicEeprom", {8, 38, 76, 25}, "Прочитать", false};
  Button PicWriteEep{"PicWriteEep", "PicEeprom", {90, 38, 76, 25}, "Прошить", false};
  ProgressBar PicProgress{"PicProgress", "PIC", {8, 160, 352, 17}};
  GroupBox PicIDGroup{"PicIDGroup", "PIC", {8, 182, 120, 48}, "ID"};
  Edit PicID{"PicID", "PicIDGroup", {8, 18, 104, 21}};
  GroupBox PicGroupDop{"PicGroupDop", "PIC", {134, 182, 226, 48}, "Dop"};
  Edit PicDop{"PicDop", "PicGroupDop", {8, 18, 102, 21}};
  Edit Edit1{"Edit1", "PicGroupDop", {116, 18, 102, 21}};
  GroupBox PicConfigGroup{"PicConfigGroup", "PIC", {8, 234, 352, 186}, "Конфигурационный байт"};
  /// PicFuse[0] is the window's PicFuse1.
  std::vector<CheckBox> PicFuse;
  Button PicReadFuse{"PicReadFuse", "PicConfigGroup", {8, 156, 164, 25}, "Считать фъюзы"};
  Button PicWriteFuse{"PicWriteFuse", "PicConfigGroup", {180, 156, 164, 25}, "Прошить фъюзы"};

 private:
  /// Entry into programming mode with the type's EnterType; baseline parts step their counter
  /// from the configuration word to word 0 when stepToZero is set.
  void Enter(bool stepToZero);
  /// One run of a single command 6: the target's counter moves one location on.
  void StepCounter();
  void SetProgress(std::int64_t position);
  /// Refuses a file whose data the type cannot take, before the chip is touched.
  bool ImagesFit(bool flash, bool data);
  /// Names the bits of the configuration word that the type does not have and that are not 1.
  void LogIgnoredConfigBits();
  /// Reads the configuration area the way the type's family allows.
  void ReadConfigArea();
  void ShowFileParams();
  FormContext& ctx_;
};

}  // namespace pw
