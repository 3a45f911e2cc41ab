#pragma once
/// @file
/// The "AVR" page: identify an AVR by its signature, read and write its flash, EEPROM, fuses
/// and lock bits.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "avr/AvrChipDescription.h"
#include "avr/AvrFuseSetting.h"
#include "avr/AvrOperations.h"
#include "avr/AvrTexts.h"
#include "frame/ImageFiles.h"
#include "frame/MemoryImages.h"
#include "model/Controls.h"
#include "model/FormContext.h"
#include "model/PageModel.h"

namespace pw {

class AvrPage : public PageModel {
 public:
  explicit AvrPage(FormContext& context);

  /// The chip's values as the last identification left them, or as the last fuse write wrote them.
  std::uint8_t FuseLow = 0xFF;
  std::uint8_t FuseHigh = 0xFF;
  std::uint8_t FuseExt = 0xFF;
  std::uint8_t LockByte = 0xFF;
  /// The lock bits the chip has (chips.ini's LockBits): the boot-lock combos of a chip without
  /// boot-lock bits stay disabled.
  std::uint8_t LockBits = kAllLockBits;
  /// A reported identification found a chip the page can serve; cleared by any identification
  /// that finds none.
  bool ChipKnown = false;
  std::int32_t FlashPageSize = 0;
  std::int32_t FlashPagesCount = 0;
  std::int32_t EepromPageSize = 0;
  std::int32_t EepromPagesCount = 0;
  /// The chip has no EEPROM page commands: write its EEPROM with AvrWriteEepromByte only.
  bool EepromByteWrite = false;
  /// The chip's internal oscillators by CKSEL code (chips.ini's InternalClockKHz).
  std::string InternalClockKHz;

  // The controls, each button with the handler it runs.
  TabSheet AvrSpi{"AvrSpi", "AVR"};
  /// "Определить чип": identify and report. Exits with a target failure when no known chip answers.
  void AvrRdSignClick();
  Button AvrRdSign{"AvrRdSign", "AvrSpi", {8, 6, 123, 25}, "Определить чип", [this] { AvrRdSignClick(); }};
  /// "Сброс": holds RESET low, then lets the chip run by closing the programmer.
  void AvrChipRstClick();
  Button AvrChipRst{"AvrChipRst", "AvrSpi", {137, 6, 127, 25}, "Сброс", [this] { AvrChipRstClick(); }, false};
  /// "Стереть чип": identifies the chip, erases it if it answers, then the panel shows the erased chip.
  void AvrEraseClick();
  Button AvrErase{"AvrErase", "AvrSpi", {270, 6, 138, 25}, "Стереть чип", [this] { AvrEraseClick(); }, false};
  /// "Открыть Flash": loads a HEX file into FlashImage. A file that cannot be loaded leaves the
  /// image, the path label and the write button as they were.
  void AvrLoadFlsClick();
  Button AvrLoadFls{"AvrLoadFls", "AvrSpi", {8, 34, 123, 25}, "Открыть Flash", [this] { AvrLoadFlsClick(); }, false};
  /// "Прошить Flash": identifies the chip, programs FlashImage page by page and verifies it. A
  /// file larger than the chip's flash is refused before anything is written.
  void AvrWriteFlsClick();
  Button AvrWriteFls{
      "AvrWriteFls", "AvrSpi", {137, 34, 127, 25}, texts::kAvrWriteFlashCaption, [this] { AvrWriteFlsClick(); }};
  /// "Прочитать Flash": identifies the chip and reads its whole flash into a HEX file, which is
  /// written only when every page was read from a chip that kept answering.
  void AvrReadFlsClick();
  Button AvrReadFls{"AvrReadFls", "AvrSpi", {270, 34, 138, 25}, "Прочитать Flash", [this] { AvrReadFlsClick(); }};
  // The path and size labels leave their right end to the verify and blank-check buttons.
  Label AvrPathFls{"AvrPathFls", "AvrSpi", {8, 60, 256, 14}, ""};
  Label AvrParamFls{"AvrParamFls", "AvrSpi", {8, 74, 256, 28}, ""};
  /// Verify without writing: identifies the chip and compares the words of FlashFilled with
  /// the flash; logs the first differences and their count, a target failure when any differ.
  void AvrVerifyFlsClick();
  Button AvrVerifyFls{
      "AvrVerifyFls", "AvrSpi", {270, 60, 138, 21}, texts::kAvrVerifyFlashCaption, [this] { AvrVerifyFlsClick(); }};
  /// Identifies the chip and checks that every flash word reads erased (0xFFFF).
  void AvrBlankCheckClick();
  Button AvrBlankCheck{
      "AvrBlankCheck", "AvrSpi", {270, 81, 138, 21}, texts::kAvrBlankCheckCaption, [this] { AvrBlankCheckClick(); }};
  /// "Файл Eeprom": loads a HEX file into EepromImage, all or nothing like AvrLoadFlsClick.
  void AvrLoadEepClick();
  Button AvrLoadEep{"AvrLoadEep", "AvrSpi", {8, 104, 123, 25}, "Файл Eeprom", [this] { AvrLoadEepClick(); }, false};
  /// "Прошить Eeprom": programs EepromImage (page by page, or byte by byte on chips without EEPROM
  /// page commands) and verifies it. A file larger than the EEPROM is refused before writing.
  void AvrWriteEepClick();
  Button AvrWriteEep{
      "AvrWriteEep", "AvrSpi", {137, 104, 127, 25}, texts::kAvrWriteEepromCaption, [this] { AvrWriteEepClick(); }};
  /// "Прочитать Eeprom": identifies the chip and reads its EEPROM into a HEX file.
  void AvrReadEepClick();
  Button AvrReadEep{"AvrReadEep", "AvrSpi", {270, 104, 138, 25}, "Прочитать Eeprom", [this] { AvrReadEepClick(); }};
  Label AvrPathEep{"AvrPathEep", "AvrSpi", {8, 130, 256, 14}, ""};
  Label AvrParamEep{"AvrParamEep", "AvrSpi", {8, 144, 256, 28}, ""};
  /// Verify without writing for the EEPROM, as AvrVerifyFlsClick.
  void AvrVerifyEepClick();
  Button AvrVerifyEep{
      "AvrVerifyEep", "AvrSpi", {270, 130, 138, 21}, texts::kAvrVerifyEepromCaption, [this] { AvrVerifyEepClick(); }};
  ProgressBar AvrPrograss{"AvrPrograss", "AvrSpi", {8, 174, 400, 12}};
  /// Fuse and lock bytes back to 0xFF; fuse boxes disabled and blank; lock combos disabled.
  void ClearFusePanel();
  /// Enables the buttons that need a known chip and shows the fuse and lock bytes.
  void ShowFusePanel();
  /// The fuse and lock bytes the panel stands for when written (FuseLow .. LockByte are set to
  /// them): bits 7 and 6 of each fuse byte are always 1, a box ticked is a 1, the lock combos
  /// give the lock fields.
  void TakeBytesFromPanel();

  GroupBox AvrFuses{"AvrFuses", "AvrSpi", {8, 190, 400, 230}, "Фьюзы и защита галочка = 1"};
  /// AvrFuse[0] is the window's AvrFuse1: low fuse bits 0..7, then high, then extended.
  std::vector<CheckBox> AvrFuse;
  ComboBox AvrLock1{"AvrLock1", "AvrFuses", {8, 172, 80, 21}, "", false};
  ComboBox AvrLock2{"AvrLock2", "AvrFuses", {92, 172, 80, 21}, "", false};
  ComboBox AvrLock3{"AvrLock3", "AvrFuses", {176, 172, 168, 21}, "", false};
  /// "Считать фъюзы": identify without report, so the panel shows the chip's bytes.
  void AvrReadFusesClick();
  Button AvrReadFuses{"AvrReadFuses", "AvrFuses", {8, 198, 164, 25}, "Считать фъюзы", [this] { AvrReadFusesClick(); }};
  /// "Прошить фъюзы": takes the fuse and lock bytes the panel shows, identifies the chip and,
  /// after the person confirms, writes them and reads them back; the ticks stay as they were.
  void AvrWriteFusesClick();
  Button AvrWriteFuses{
      "AvrWriteFuses", "AvrFuses", {180, 198, 164, 25}, "Прошить фъюзы", [this] { AvrWriteFusesClick(); }};

 private:
  void Startup() override;
  std::vector<ControlRef> Controls() override;
  /// The box of fuse bit n (0..23), found by its name as the window finds it.
  CheckBox& FuseBox(int n);
  void FillLockCombos();
  /// Captions and enabling of the fuse boxes from the chip's fuse-bit names.
  void ShowFuseNames(const AvrChipDescription& chip);
  /// What the panel shows, as data.
  AvrFusePanelState PanelState();

  /// Opens a file chosen by the person into an image with load; on failure restores the path
  /// label and the write button. Returns whether a file was loaded.
  bool LoadImageFile(Label& path, Button& write, std::string (*line)(const std::string&),
                     std::string (*load)(const ImageFile&, MemoryImages&));

  /// The operations' settings for one click, at the session's baud; report: the identification
  /// logs the chip, and a missing programmer is said in the page's own words.
  AvrSettings Settings(bool report) const;
  /// One click's operation: the step make takes of a fresh AvrOperations, run with the page's
  /// progress bar; then the clock an automatic choice found is kept and after shows the results
  /// (by default: ShowChip without report).
  void RunOne(bool report, const std::function<OperationStep(AvrOperations&)>& make,
              const std::function<void(const AvrOperations&)>& after = nullptr);
  /// Shows the chip the identification of ops found, if it got that far: DopInfo, geometry,
  /// fuse names, bytes and panel. report decides ChipKnown; any identification of a chip the
  /// page cannot serve withdraws it.
  void ShowChip(const AvrOperations& ops, bool report);
  /// The baud value AVR operations open the programmer with: with automatic baud chosen, the
  /// last identification's choice (ProgrammerBaud until there is one).
  std::int32_t SessionBaud() const;
  /// The working baud the last automatic choice found.
  std::optional<std::int32_t> autoBaud_;
};

}  // namespace pw
