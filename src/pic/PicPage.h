#pragma once
/// @file
/// The "PIC" page: a device type from PIC.ini, its program memory, data memory and
/// configuration word.

#include <functional>
#include <optional>
#include <vector>

#include "frame/Frame.h"
#include "model/Controls.h"
#include "model/FormContext.h"
#include "model/PageModel.h"
#include "pic/PicConfigArea.h"
#include "pic/PicOperations.h"
#include "pic/PicTexts.h"
#include "pic/PicTypes.h"

namespace pw {

class PicPage : public PageModel {
 public:
  explicit PicPage(FormContext& context);

  /// The chosen type's values (PIC.ini); before the page first shows a type, sizes 0 and no
  /// programming or erase method.
  const PicTypeValues& Type() const { return type_; }
  std::int32_t FlashSize() const { return type_.FlashSize; }
  std::int32_t EepromSize() const { return type_.EepromSize; }
  PicProgramming ProgrammType() const { return type_.ProgrammType; }
  PicEntry EnterType() const { return type_.EnterType; }
  PicErase EraseType() const { return type_.EraseType; }
  /// Runs after a file was loaded here: the AVR page's flash write button follows its chip.
  std::function<void()> OnFileLoaded;

  // The controls, each with the handler it runs. The memory operations each run one step of
  // PicOperations on the operation frame, in "PIC-ISP".
  /// Showing the page shows the chosen type and the configuration image.
  void PICShow();
  TabSheet PIC{"PIC", "PIC", [this] { PICShow(); }};
  /// Takes the device values of the type named in PicType from PIC.ini and shows them; PicID
  /// shows seven ID words with "$".
  void ShowPicType();
  void PicTypeChange();
  /// Says, when the type is shown or chosen, why PIC.ini's section cannot be used.
  void LogTypeProblem();
  /// Moves a baseline file's configuration and ID words (pic/PicFiles.h) for the type chosen.
  void PlaceFileWords();
  ComboBox PicType{"PicType", "PIC", {8, 8, 150, 21}, "PIC-Type", true, [this] { PicTypeChange(); }};
  /// Loads a HEX file into the images in the layout of the type chosen (pic/Pic18Files.h); a
  /// type change to the other layout loads the file shown again.
  void PicFileClick();
  Button PicFile{"PicFile", "PIC", {164, 6, 244, 25}, "Файл", [this] { PicFileClick(); }};
  /// Reads program memory, configuration and data memory into the images and a HEX file.
  void PicReadDumpClick();
  Button PicReadDump{"PicReadDump", "PIC", {8, 36, 112, 25}, "Cчитать дамп", [this] { PicReadDumpClick(); }};
  /// Erases the chip (keeping a factory calibration word), then writes the configuration back.
  void PicEraseAllClick();
  Button PicEraseAll{"PicEraseAll", "PIC", {244, 36, 164, 25}, "Стереть чип", [this] { PicEraseAllClick(); }};
  /// Writes program memory, data memory and configuration from the images.
  void PicWriteDumpClick();
  Button PicWriteDump{"PicWriteDump", "PIC", {126, 36, 112, 25}, "Прошить дамп", [this] { PicWriteDumpClick(); }};
  /// Compares program memory, data memory and configuration with the images, as "Прошить дамп"
  /// would write them.
  void PicVerifyClick();
  /// In the path line's right end: the row of the dump buttons above is full.
  Button PicVerify{"PicVerify", "PIC", {270, 62, 138, 21}, texts::kPicVerifyCaption, [this] { PicVerifyClick(); }};
  Label PicPathFls{"PicPathFls", "PIC", {8, 66, 256, 15}, ""};
  GroupBox PicFlash{"PicFlash", "PIC", {8, 84, 200, 75}, "Programm Memory"};
  Label PicParamFls{"PicParamFls", "PicFlash", {8, 18, 188, 28}, ""};
  Button PicReadFls{"PicReadFls", "PicFlash", {8, 46, 88, 25}, "Прочитать"};
  /// Writes program memory from FlashImage.
  void PicWriteFlsClick();
  Button PicWriteFls{"PicWriteFls", "PicFlash", {102, 46, 80, 25}, "Прошить", [this] { PicWriteFlsClick(); }};
  GroupBox PicEeprom{"PicEeprom", "PIC", {212, 84, 196, 75}, "Data Memory"};
  Label PicParamEep{"PicParamEep", "PicEeprom", {8, 18, 184, 28}, ""};
  Button PicReadEep{"PicReadEep", "PicEeprom", {8, 46, 88, 25}, "Прочитать", false};
  /// Writes the data-memory locations the loaded file holds.
  void PicWriteEepClick();
  Button PicWriteEep{"PicWriteEep", "PicEeprom", {102, 46, 80, 25}, "Прошить", [this] { PicWriteEepClick(); }, false};
  ProgressBar PicProgress{"PicProgress", "PIC", {8, 162, 400, 17}};
  GroupBox PicIDGroup{"PicIDGroup", "PIC", {8, 182, 300, 48}, "ID"};
  Edit PicID{"PicID", "PicIDGroup", {8, 18, 284, 21}};
  GroupBox PicGroupDop{"PicGroupDop", "PIC", {314, 182, 94, 48}, "Dop"};
  Edit PicDop{"PicDop", "PicGroupDop", {8, 18, 36, 21}};
  Edit Edit1{"Edit1", "PicGroupDop", {50, 18, 36, 21}};
  GroupBox PicConfigGroup{"PicConfigGroup", "PIC", {8, 234, 400, 186}, "Конфигурационный байт"};
  /// PicFuse[0] is the window's PicFuse1.
  std::vector<CheckBox> PicFuse;
  /// Shows the four configuration bytes the checkboxes stand for (ConfigImage bytes 14 to 17,
  /// or the group PicFuseGroup chose) in the 32 checkboxes, and the six ID words (PIC18: the
  /// eight ID bytes) in PicID.
  void ShowPicConfig();
  /// Copies the 32 checkboxes into the configuration bytes they stand for.
  void TakePicConfig();
  /// Chooses which four configuration bytes the checkboxes show and take, for a type with more
  /// than 32 configuration bits (PIC18); the checkboxes' changes are taken first.
  void PicFuseGroupChange();
  /// In the group box's caption line, right of the caption: the panel's fixed size leaves no other room.
  ComboBox PicFuseGroup{
      "PicFuseGroup", "PicConfigGroup", {196, 0, 148, 18}, "", false, [this] { PicFuseGroupChange(); }};
  /// Reads the configuration area into ConfigImage and shows it.
  void PicReadFuseClick();
  Button PicReadFuse{
      "PicReadFuse", "PicConfigGroup", {8, 156, 164, 25}, "Считать фъюзы", [this] { PicReadFuseClick(); }};
  /// Writes the panel's configuration word and the ID words of ConfigImage.
  void PicWriteFuseClick();
  Button PicWriteFuse{
      "PicWriteFuse", "PicConfigGroup", {180, 156, 164, 25}, "Прошить фъюзы", [this] { PicWriteFuseClick(); }};

 private:
  void Startup() override;
  std::vector<ControlRef> Controls() override;
  /// Runs step of ops on the frame, this page's progress bar showing it.
  void Run(PicOperations& ops, const OperationStep& step);
  /// The operations for the chosen type on this window's programmer.
  PicOperations Operations();
  /// The panel (TakePicConfig) and the ID words of ConfigImage, as the writes take them.
  PicConfigArea PanelArea();
  /// Shows the configuration area a read found, if it found one.
  void ShowConfigRead(const PicOperations& ops);
  /// Puts the memories a dump read took whole into the images.
  void TakeDump(const PicOperations& ops);
  void ShowFileParams();
  /// The selector's entries for the type, and the checkboxes' captions for the group shown.
  void ShowFuseGroups();
  void ShowFuseCaptions();
  /// The ID words (PIC18: bytes) of ConfigImage; words: how many mid-range ID words.
  std::string IdText(int words, const char* prefix) const;
  /// Loads file with the chosen type's layout, names it and logs it; a refused file leaves the
  /// images and the label as they were.
  void LoadFile(const std::string& file);

  PicTypeValues type_;
  /// The group of 32 configuration bits the checkboxes stand for.
  std::size_t fuseGroup_ = 0;
  /// Whether the file PicPathFls names was loaded with the PIC18 layout; none once a dump read
  /// replaced the images.
  std::optional<bool> fileIsPic18_;
};

}  // namespace pw
