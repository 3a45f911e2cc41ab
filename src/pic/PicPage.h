#pragma once
/// @file
/// The "PIC" page: a device type from PIC.ini, its program memory, data memory and
/// configuration word.

#include <functional>
#include <vector>

#include "model/Controls.h"
#include "model/FormContext.h"
#include "pic/PicTypes.h"

namespace pw {

class PicPage {
 public:
  static constexpr const char* kTypesFile = "PIC.ini";
  /// Whether the memory operations behind the dump, erase, write and fuse buttons are built;
  /// until they are, their buttons stay disabled.
  static constexpr bool kMemoryOperations = false;

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

  // The selected type's device values (PIC.ini), 0 until the page first shows a type.
  std::int32_t FlashSize = 0;
  std::int32_t EepromSize = 0;
  std::int32_t ProgrammType = 0;
  std::int32_t EnterType = 0;
  std::int32_t EraseType = 0;
  /// Program-word address of the factory calibration word to keep across an erase; 0: none.
  std::int32_t Osccal = 0;
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
  FormContext& ctx_;
};

}  // namespace pw
