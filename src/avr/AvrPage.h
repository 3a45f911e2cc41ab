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
#include "avr/AvrUtils.h"
#include "frame/ImageDifferences.h"
#include "frame/MemoryImages.h"
#include "frame/PartialWrite.h"
#include "ini/IniFile.h"
#include "model/Controls.h"
#include "model/FormContext.h"

namespace pw {

class AvrPage {
 public:
  explicit AvrPage(FormContext& context);
  AvrPage(const AvrPage&) = delete;
  AvrPage& operator=(const AvrPage&) = delete;

  /// Sets the page up when the window is created.
  void Startup();
  /// The page and every control on it, parents before children.
  std::vector<ControlRef> Controls();

  /// With automatic baud chosen, first finds the clock to work at (ChooseBaud). Enters
  /// programming mode, reads signature and fuses, looks the chip up in chips.ini (geometry,
  /// fuse names) and redraws the fuse panel; with report, logs the chip's sizes, signature and
  /// name and decides ChipKnown. Returns whether chips.ini describes the chip that answered now
  /// soundly and with flash pages: operations that go on to use the geometry stop when it does not.
  /// Needs the programmer open in "AVR-ISP".
  bool IdentifyChip(bool report);
  /// Fuse and lock bytes back to 0xFF; fuse boxes disabled and blank; lock combos disabled.
  void ClearFusePanel();
  /// Enables the buttons that need a known chip and shows the fuse and lock bytes.
  void ShowFusePanel();

  /// "Определить чип": identify and report. Exits with a target failure when no known chip answers.
  void AvrRdSignClick();
  /// "Считать фъюзы": identify without report, so the panel shows the chip's bytes.
  void AvrReadFusesClick();

  /// "Открыть Flash": loads a HEX file into FlashImage. A file that cannot be loaded leaves the
  /// image, the path label and the write button as they were.
  void AvrLoadFlsClick();
  /// "Прочитать Flash": identifies the chip and reads its whole flash into a HEX file, which is
  /// written only when every page was read from a chip that kept answering.
  void AvrReadFlsClick();
  /// "Прошить Flash": identifies the chip, programs FlashImage page by page and verifies it. A
  /// file larger than the chip's flash is refused before anything is written.
  void AvrWriteFlsClick();
  /// "Файл Eeprom": loads a HEX file into EepromImage, all or nothing like AvrLoadFlsClick.
  void AvrLoadEepClick();
  /// "Прочитать Eeprom": reads the EEPROM of the last identified geometry into a HEX file.
  void AvrReadEepClick();
  /// "Прошить Eeprom": programs EepromImage (page by page, or byte by byte on chips without EEPROM
  /// page commands) and verifies it. A file larger than the EEPROM is refused before writing.
  void AvrWriteEepClick();
  /// "Прошить фъюзы": after the person confirms, writes the fuse and lock bytes the panel shows
  /// and reads them back.
  void AvrWriteFusesClick();
  /// Verify without writing: identifies the chip and compares the words of FlashFilled with
  /// the flash; logs the first differences and their count, a target failure when any differ.
  void AvrVerifyFlsClick();
  /// Verify without writing for the EEPROM (the last identified geometry), as AvrVerifyFlsClick.
  void AvrVerifyEepClick();
  /// Identifies the chip and checks that every flash word reads erased (0xFFFF).
  void AvrBlankCheckClick();
  /// "Стереть чип": chip erase, then the panel shows the erased chip.
  void AvrEraseClick();
  /// "Сброс": holds RESET low, then lets the chip run by closing the programmer.
  void AvrChipRstClick();

  /// The fuse and lock bytes the panel stands for when written (FuseLow .. LockByte are set to
  /// them): bits 7 and 6 of each fuse byte are always 1, a box ticked is a 1, the lock combos
  /// give the lock fields.
  void TakeBytesFromPanel();

  /// The chip's values as the last identification left them, or as the last fuse write wrote them.
  std::uint8_t FuseLow = 0xFF;
  std::uint8_t FuseHigh = 0xFF;
  std::uint8_t FuseExt = 0xFF;
  std::uint8_t LockByte = 0xFF;
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

  AVRUtils Utils;

  TabSheet AvrSpi{"AvrSpi", "AVR"};
  Button AvrRdSign{"AvrRdSign", "AvrSpi", {8, 6, 112, 25}, "Определить чип"};
  Button AvrChipRst{"AvrChipRst", "AvrSpi", {126, 6, 112, 25}, "Сброс", false};
  Button AvrErase{"AvrErase", "AvrSpi", {244, 6, 116, 25}, "Стереть чип", false};
  Button AvrLoadFls{"AvrLoadFls", "AvrSpi", {8, 34, 112, 25}, "Открыть Flash", false};
  Button AvrWriteFls{"AvrWriteFls", "AvrSpi", {126, 34, 112, 25}, "Прошить Flash"};
  Button AvrReadFls{"AvrReadFls", "AvrSpi", {244, 34, 116, 25}, "Прочитать Flash"};
  Label AvrPathFls{"AvrPathFls", "AvrSpi", {8, 60, 352, 14}, ""};
  Label AvrParamFls{"AvrParamFls", "AvrSpi", {8, 74, 352, 28}, ""};
  Button AvrLoadEep{"AvrLoadEep", "AvrSpi", {8, 104, 112, 25}, "Файл Eeprom", false};
  Button AvrWriteEep{"AvrWriteEep", "AvrSpi", {126, 104, 112, 25}, "Прошить Eeprom"};
  Button AvrReadEep{"AvrReadEep", "AvrSpi", {244, 104, 116, 25}, "Прочитать Eeprom"};
  Label AvrPathEep{"AvrPathEep", "AvrSpi", {8, 130, 352, 14}, ""};
  Label AvrParamEep{"AvrParamEep", "AvrSpi", {8, 144, 352, 28}, ""};
  ProgressBar AvrPrograss{"AvrPrograss", "AvrSpi", {8, 174, 352, 12}};
  GroupBox AvrFuses{"AvrFuses", "AvrSpi", {8, 190, 352, 230}, "Фьюзы и защита галочка = 1"};
  /// AvrFuse[0] is the window's AvrFuse1: low fuse bits 0..7, then high, then extended.
  std::vector<CheckBox> AvrFuse;
  ComboBox AvrLock1{"AvrLock1", "AvrFuses", {8, 172, 80, 21}, "", false};
  ComboBox AvrLock2{"AvrLock2", "AvrFuses", {92, 172, 80, 21}, "", false};
  ComboBox AvrLock3{"AvrLock3", "AvrFuses", {176, 172, 168, 21}, "", false};
  Button AvrReadFuses{"AvrReadFuses", "AvrFuses", {8, 198, 164, 25}, "Считать фъюзы"};
  Button AvrWriteFuses{"AvrWriteFuses", "AvrFuses", {180, 198, 164, 25}, "Прошить фъюзы"};

 private:
  /// The box of fuse bit n (0..23), found by its name as the window finds it.
  CheckBox& FuseBox(int n);
  void FillLockCombos();
  /// Captions and enabling of the fuse boxes from the chip's fuse-bit names.
  void ShowFuseNames(const AvrChipDescription& chip);
  /// chips.ini, or an empty file when it is missing (then DopInfo and the log say so).
  IniFile LoadChipsIni();
  /// Fuse names and geometry from the chip's description.
  void ApplyDescription(const AvrChipDescription& chip);
  void ReportChip(const AvrChipDescription& chip);

  /// Opens a HEX file chosen by the person into an image with load; on failure restores the
  /// path label and the write button. Returns whether a file was loaded.
  bool LoadImageFile(Label& path, Button& write, const std::string& logPrefix,
                     std::string (*load)(const std::filesystem::path&, MemoryImages&));
  /// The bodies of the operations, between opening and closing the programmer.
  void ReadFlash(const std::string& file);
  void WriteFlash();
  /// Compares the pages below pages that the file touched with FlashImage; logs the first mismatch.
  bool VerifyFlash(std::int32_t pages);
  /// Whole pages one flash read block holds.
  std::int32_t PagesPerReadBlock() const;
  /// Reads pages from page on into dest in one block; a block whose liveness echo is missing
  /// gets one re-entry and one more read. False (logged, target failed) when the chip does not answer.
  bool ReadFlashPages(std::int32_t page, std::int32_t pages, std::span<std::uint16_t> dest);
  /// Whether a word of FlashFilled below count lies in page.
  bool PageTouched(std::int32_t page, std::int32_t count) const;
  void ReadEeprom(const std::string& file);
  void WriteEeprom();
  /// The two ways of writing the bytes of EepromFilled below count; false when the chip stopped
  /// answering. partial learns when the chip begins to change.
  bool WriteEepromPages(std::int32_t count, PartialWrite& partial);
  bool WriteEepromBytes(std::int32_t count, PartialWrite& partial);
  /// Compares the bytes of EepromFilled below count with the EEPROM in 16-byte blocks; logs the first mismatch.
  bool VerifyEeprom(std::int32_t count);
  /// Opens the programmer around compare, as every operation that only reads.
  void RunCompare(const std::function<void()>& compare);
  /// Flash against FlashImage (or, blank, against an erased chip) and EEPROM against EepromImage.
  void CompareFlash(bool blank);
  void CompareEeprom();
  /// Logs same, or differ with the first differences and their count (a target failure).
  void ReportDifferences(const ImageDifferences& differences, const std::string& same, const std::string& differ,
                         const std::string& unit, int digits);
  void WriteFuses();
  /// Reads fuses and lock back and logs what differs from what was written in the bits that
  /// exist and that serial programming can change.
  bool FusesTook();
  /// What the bytes the panel stands for would do that can lock the programmer out (nothing for
  /// a chip not identified); the panel and the page's bytes stay as they are.
  std::vector<std::string> RisksOfPanel();
  /// The fuse-write question: the ordinary one, or one naming each risky bit (logged as well).
  bool ConfirmFuseWrite();

  /// Logs line and marks the operation as one whose target failed.
  void Refuse(const std::string& line);
  /// The running read has saved its file.
  bool fileSaved_ = false;
  /// Logs line and marks the operation as refused for the person's input (exit status 1, not 2).
  void RefuseInput(const std::string& line);
  /// Whether the chip still answers Programming Enable; when it does not, logs so and marks the
  /// target failed.
  bool ChipAnswers();
  /// The baud value AVR operations open the programmer with: with automatic baud chosen, the
  /// last identification's choice (ProgrammerBaud until there is one).
  std::int32_t SessionBaud() const;
  /// With automatic baud chosen, finds the fastest clock the chip takes, works at half of it for
  /// the rest of the session and for later ones, and logs the choice.
  void ChooseBaud();
  /// The working baud the last automatic choice found.
  std::optional<std::int32_t> autoBaud_;
  /// Progress bar range 0..max, at 0.
  void StartProgress(std::int32_t max);
  /// Progress position, kept within the bar's range.
  void SetProgress(std::int64_t position);
  /// Redraws the progress bar and lets the window handle pending events.
  void ShowProgress();

  FormContext& ctx_;
};

}  // namespace pw
