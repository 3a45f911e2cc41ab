#pragma once
/// @file
/// The AVR operations without a window. A face makes one AvrOperations for a run, takes the
/// steps it wants, runs them with RunFrame(unit, run, Target(), steps) and then reads what the
/// run found: the identified chip, the clock the automatic baud chose, the fuse bytes written.
///
/// Every run identifies the chip once (see AvrNeed), so each step checks what it needs against
/// the chip that answers now: a file larger than its memory is refused before anything on the
/// chip changes, also when an erase was asked for before the write.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "avr/AvrChip.h"
#include "avr/AvrFuseSetting.h"
#include "avr/AvrUtils.h"
#include "frame/Frame.h"
#include "frame/ImageData.h"
#include "frame/ImageDifferences.h"
#include "frame/ImageFiles.h"
#include "frame/PartialWrite.h"
#include "link/D2xxUnit.h"

namespace pw {

/// What a run needs of the chip the identification finds; each step raises it to its own need.
enum class AvrNeed {
  /// The programmer only (restart): no identification unless one is reported.
  Programmer,
  /// A chip that answers Programming Enable (erase): "Ошибка: чип не отвечает" otherwise.
  Answer,
  /// A chip chips.ini serves; the identification's own lines say which chip it is (identify,
  /// read fuses).
  KnownChip,
  /// As KnownChip, and a line names the signature of a chip that is not served (the memory
  /// operations and the fuse write).
  ServedChip,
};

/// How the operations reach the chip.
struct AvrSettings {
  /// The baud value the programmer opens at.
  std::int32_t Baud = 0;
  /// "авто": the identification first finds the fastest clock the chip takes and works at
  /// AvrWorkingBaud's value.
  bool AutoBaud = false;
  std::filesystem::path ChipsIni = {};
  /// The identification logs the chip's sizes, signature and name.
  bool Report = false;
  /// Shown instead of the driver's error when the programmer does not open; empty: the error.
  std::string OpenFailure = {};
};

class AvrOperations {
 public:
  AvrOperations(D2XXUnit& unit, AvrSettings settings) : unit_(unit), settings_(std::move(settings)), avr_(unit) {}
  AvrOperations(const AvrOperations&) = delete;
  AvrOperations& operator=(const AvrOperations&) = delete;

  /// The "AVR-ISP" mode at the settings' baud and the identification the steps need.
  FrameTarget Target();
  /// Raises what the run needs of the chip.
  void Require(AvrNeed need);

  /// The identification alone: it reads signature, fuses and lock (Chip() afterwards).
  OperationStep Identify();
  /// The whole flash into file (HEX, or raw for a ".bin" name), saved only when every page was
  /// read from a chip that kept answering.
  OperationStep ReadFlash(ImageFile file);
  /// Programs the pages image holds words in and verifies them; the first difference ends the verify.
  OperationStep WriteFlash(ImageData<std::uint16_t> image);
  /// Compares the words image holds with the flash; logs the first differences and their count.
  OperationStep VerifyFlash(ImageData<std::uint16_t> image);
  /// Compares every flash word with the erased value.
  OperationStep BlankCheck();
  OperationStep ReadEeprom(ImageFile file);
  /// Programs the bytes image holds (page by page, or byte by byte on chips without EEPROM page
  /// commands) and verifies them.
  OperationStep WriteEeprom(ImageData<std::uint8_t> image);
  OperationStep VerifyEeprom(ImageData<std::uint8_t> image);
  /// Writes the fuse and lock bytes setting makes of the identified chip, after the question
  /// (one naming each setting that can lock the programmer out), and reads them back.
  OperationStep WriteFuses(std::function<AvrFuseSetting(const AvrChip&)> setting);
  /// Chip erase; Chip() then holds the erased chip's fuses and lock.
  OperationStep Erase();
  /// Holds RESET low; the chip runs when the frame lets the pins go.
  OperationStep Reset();

  /// The chip the run identified (after an erase: as the erase left it); nothing when the run
  /// did not identify or did not get that far.
  const std::optional<AvrChip>& Chip() const { return chip_; }
  /// The fuse and lock bytes the fuse write began to send (lock bits the chip lacks as 1);
  /// nothing when it did not begin.
  const std::optional<AvrFuseSetting>& FusesSent() const { return fusesSent_; }
  /// When the run chose the clock automatically, sets working to the baud it chose (nothing
  /// when the chip answered at none); otherwise leaves it.
  void KeepAutoBaud(std::optional<std::int32_t>& working) const {
    if (probed_) working = autoBaud_;
  }

 private:
  /// The EEPROM is read and compared 16 bytes (one HEX record) at a time.
  static constexpr std::int32_t kEepromBlockBytes = 16;
  /// EEPROM instructions carry 16-bit addresses.
  static std::uint16_t Address(std::int64_t at) { return static_cast<std::uint16_t>(at & 0xFFFF); }

  bool IdentifyChip(OperationRun& run);
  /// Whether the identified chip is what the run needs; logs why not.
  bool Serves(OperationRun& run) const;
  /// Logs why the chip the run cannot use does not answer, when what it sent says so.
  void Explain(OperationRun& run);
  void ChooseBaud(OperationRun& run);
  /// Whether the chip still answers Programming Enable; when it does not, logs so and marks the
  /// target failed.
  bool ChipAnswers(OperationRun& run);
  /// A refusal of a file of count elements larger than the chip's memory of size, or nothing.
  static Refusal TooLarge(std::int64_t count, std::int64_t size, const char* unit, const char* cancelled);

  void ReadFlashTo(OperationRun& run, const ImageFile& file);
  /// Whole pages one flash read block holds.
  std::int32_t PagesPerReadBlock() const;
  /// Reads pages from page on into dest in one block; a block whose liveness echo is missing gets
  /// one re-entry and one more read. False (logged, target failed) when the chip does not answer.
  bool ReadFlashPages(OperationRun& run, std::int32_t page, std::int32_t pages, std::span<std::uint16_t> dest);
  void WriteFlashImage(OperationRun& run, const ImageData<std::uint16_t>& image);
  void VerifyWrittenFlash(OperationRun& run, const ImageData<std::uint16_t>& image);
  /// The one flash compare: reads the pages image holds words in, runs of them per block, and
  /// compares the words it holds; stops at the first difference when untilFirst. Nothing when
  /// the chip stopped answering (logged, target failed) or a stop was asked for.
  std::optional<ImageDifferences> CompareFlash(OperationRun& run, const ImageData<std::uint16_t>& image,
                                               bool untilFirst);
  /// The pages from page on below pages that image holds words in, at most one read block; 0
  /// when page itself holds none.
  std::int32_t TouchedPages(const ImageData<std::uint16_t>& image, std::int32_t page, std::int32_t pages) const;

  void ReadEepromTo(OperationRun& run, const ImageFile& file);
  void WriteEepromImage(OperationRun& run, const ImageData<std::uint8_t>& image);
  /// The two ways of writing the bytes image holds; false when the chip stopped answering or a
  /// stop was asked for. partial learns when the chip begins to change.
  bool WriteEepromPages(OperationRun& run, const ImageData<std::uint8_t>& image, PartialWrite& partial);
  bool WriteEepromBytes(OperationRun& run, const ImageData<std::uint8_t>& image, PartialWrite& partial);
  /// The one EEPROM compare, 16 bytes a read, as CompareFlash.
  std::optional<ImageDifferences> CompareEeprom(OperationRun& run, const ImageData<std::uint8_t>& image,
                                                bool untilFirst);

  /// The fuse-write question: the ordinary one, or one naming each risky setting (logged as well).
  bool ConfirmFuseWrite(OperationRun& run, const AvrFuseSetting& setting);
  /// Writes asked, its lock bits the chip lacks as 1, and reads it back.
  void WriteFuseSetting(OperationRun& run, const AvrFuseSetting& asked);
  /// Reads fuses and lock back and logs each byte beside what setting asked; a byte that differs
  /// in a bit the chip has is a target failure, named.
  bool FusesTook(OperationRun& run, const AvrFuseSetting& setting);

  D2XXUnit& unit_;
  AvrSettings settings_;
  AVRUtils avr_;
  AvrNeed need_ = AvrNeed::Programmer;
  /// A step works on the EEPROM: a chip without one is a target failure.
  bool needsEeprom_ = false;
  std::optional<AvrChip> chip_;
  /// The bytes the fuse write's question was asked for.
  std::optional<AvrFuseSetting> fuseSetting_;
  std::optional<AvrFuseSetting> fusesSent_;
  bool probed_ = false;
  std::optional<std::int32_t> autoBaud_;
};

}  // namespace pw
