#pragma once
/// @file
/// The SPI Flash operations, window-free: identify, read into a file, write from an image
/// (erasing only what must change, skipping pages already equal, then verifying), verify,
/// erase. Each is a step of the operation frame (frame/Frame.h); the frame's identification
/// reads the chip's JEDEC ID and finds its type in SpiFlash.ini, or in the chip's SFDP table.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "frame/Frame.h"
#include "frame/ImageDifferences.h"
#include "frame/ImageFiles.h"
#include "link/D2xxUnit.h"
#include "spi/SpiFlashBus.h"
#include "spi/SpiFlashImage.h"
#include "spi/SpiFlashPlan.h"
#include "spi/SpiFlashTypes.h"

namespace pw {

class SpiFlashOperations {
 public:
  /// typesFile: SpiFlash.ini; chosen: the type a person chose (empty: none), which stays chosen
  /// when it shares the chip's ID with other types.
  SpiFlashOperations(D2XXUnit& unit, std::int32_t baud, std::filesystem::path typesFile, std::string chosen = "");
  SpiFlashOperations(const SpiFlashOperations&) = delete;
  SpiFlashOperations& operator=(const SpiFlashOperations&) = delete;

  /// The flash on the AVR header, identified by its JEDEC ID.
  FrameTarget Target();
  /// "авто": once identified, the chip is clocked as fast as its ReadMHz and USB allow
  /// (link/AutoBaud.h) instead of at the baud value given, and the log says so.
  void SetAutoBaud(bool on) { autoBaud_ = on; }

  /// Logs the protection bits the identified chip has set.
  OperationStep Identify();
  /// Reads the whole chip into file (HEX or BIN by its name); no file when it does not finish.
  OperationStep Read(ImageFile file);
  /// Writes image's bytes, then verifies them. image must outlive the run; operation is what
  /// a person does again after a write cut short.
  OperationStep Write(const SpiFlashImage& image, const Action& operation);
  /// Compares the chip with image's bytes. image must outlive the run.
  OperationStep Verify(const SpiFlashImage& image);
  /// Erases the whole chip after a question.
  OperationStep Erase(const Action& operation);

  /// The section of SpiFlash.ini the identification chose (empty: none); kept even when the
  /// section cannot be used.
  const std::string& Section() const { return section_; }
  /// The type identified, when there is one the steps can work with.
  const std::optional<FlashType>& Type() const { return type_; }

 private:
  /// The busy bit every listed chip keeps in bit 0: enough before the type is known.
  static constexpr std::uint8_t kBusyDefault = 0x01;

  bool IdentifyChip(OperationRun& run);
  /// The JEDEC ID; one that reads 00 00 00 is read again after Release from Deep Power-down,
  /// and the log says when that woke the chip.
  JedecId ReadId(OperationRun& run);
  /// Takes the type of a chip SpiFlash.ini does not list from its SFDP table; false (logged) when it has none that
  /// serves.
  bool IdentifyBySfdp(OperationRun& run, const JedecId& id);
  /// The section of the chip with id: the chosen one when it has that ID, else the first that has.
  std::optional<std::string> ChooseSection(const IniFile& types, const JedecId& id) const;
  /// Asks to clear set protection bits, once for the run; false when they stay.
  bool ConfirmUnprotect(OperationRun& run, const std::string& cancelled);
  /// Clears set protection bits (the question was answered); false (logged, marked) when they stay.
  bool Unprotect(OperationRun& run, SpiFlashBus& bus, const std::string& cancelled);
  /// Reads the whole chip into bytes, stopping between exchanges when asked; false when stopped.
  bool ReadChip(OperationRun& run, std::span<std::uint8_t> bytes);
  /// Compares image's bytes with the chip; after a write (written) only where it changed the
  /// chip, and the bytes it kept too; false (logged, marked) at a difference or a stop.
  bool VerifyImage(OperationRun& run, SpiFlashBus& bus, const SpiFlashImage& image,
                   const SpiWritten* written = nullptr);
  /// Logs how the verify ended; false (marked) when something differs.
  bool Matches(OperationRun& run, const ImageDifferences& differences, const std::vector<SpiByteRange>& lost) const;
  /// Clocks the identified chip at its automatic baud value (logged).
  void ChooseBaud(OperationRun& run);
  /// A bus addressing the chip as the identified type says.
  SpiFlashBus Bus(std::uint8_t busyMask);
  /// Runs work with the chip in 4-byte mode when its type enters one, and puts it back in 3-byte
  /// mode after work, also when work stopped, failed or raised, so that its board still boots.
  void InAddressMode(OperationRun& run, SpiFlashBus& bus, const std::function<void()>& work);
  void ActWrite(OperationRun& run, const SpiFlashImage& image, const Action& operation);
  void ActErase(OperationRun& run, const Action& operation);
  /// Why image cannot be written to the identified chip, or nothing.
  Refusal WriteRefusal(const SpiFlashImage& image) const;
  /// The refusal when no file has been loaded into image, or nothing.
  static Refusal NoFile(const SpiFlashImage& image, const std::string& cancelled);
  /// Why image does not fit the identified chip (the operation then is cancelled), or nothing.
  Refusal FitsChip(const SpiFlashImage& image, const std::string& cancelled) const;

  D2XXUnit& unit_;
  std::int32_t baud_;
  std::filesystem::path typesFile_;
  std::string chosen_;
  std::string section_;
  std::optional<FlashType> type_;
  bool unprotectAgreed_ = false;
  bool autoBaud_ = false;
};

}  // namespace pw
