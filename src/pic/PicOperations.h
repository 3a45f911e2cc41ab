#pragma once
/// @file
/// The PIC operations as steps of the operation frame (frame/Frame.h): the configuration read
/// and write, the program- and data-memory writes, the dump read and write, the erase. Each step
/// builder takes its inputs explicitly (images as ImageData views, the configuration area, the
/// output file); the steps report only through the run the frame passes them, and keep what a
/// face shows afterwards (the configuration read, the memories a dump read).
///
/// Every mid-range routine relies on the counter the target keeps: entry starts it afresh,
/// command 6 advances it; no address is ever sent. A PIC18 type (ProgrammType 7) runs the same
/// steps, with the same log lines, on the routines of pic/Pic18Operations.h.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "frame/Frame.h"
#include "frame/ImageData.h"
#include "frame/ImageFiles.h"
#include "link/D2xxUnit.h"
#include "pic/Pic18Operations.h"
#include "pic/PicConfigArea.h"
#include "pic/PicTypes.h"
#include "pic/PicUtils.h"

namespace pw {

/// What a dump read took whole from the chip.
struct PicDumpRead {
  /// Program words 0 .. FlashSize - 1; nothing when the read did not get through them.
  std::optional<std::vector<std::uint16_t>> Program;
  /// One byte per data-memory location; nothing when the read did not get through them.
  std::optional<std::vector<std::uint8_t>> Data;
};

class PicOperations {
 public:
  /// Program words per write block and per read chunk; data locations per read chunk.
  static constexpr std::int32_t kBlockWords = 16;
  /// Image bytes (two per data location) per data-memory write block.
  static constexpr std::int32_t kBlockBytes = 16;

  /// baud: the value the programmer opens at, from which the programming waits are made too;
  /// type: the chosen type's values.
  PicOperations(D2XXUnit& unit, std::int32_t baud, const PicTypeValues& type);
  PicOperations(const PicOperations&) = delete;
  PicOperations& operator=(const PicOperations&) = delete;

  /// The PIC header, opened in "PIC-ISP" at the baud. On a type with a device ID its
  /// identification reads word 0x2006 before anything else: 0x3FFF or 0x0000 (nothing answers)
  /// fails the target; another chip's ID is refused unless the person accepts it (AskRisky).
  /// A type without one logs that the chip's presence cannot be confirmed.
  FrameTarget Target();

  /// Reads the configuration area (ConfigRead).
  OperationStep ReadConfig();
  /// Writes the ID words and the configuration word of area and reads them back; the bits of
  /// the word that the type names must read back as written.
  OperationStep WriteConfig(const PicConfigArea& area);
  /// Writes and verifies program words 0 .. Count - 1 of image, 16 a block.
  OperationStep WriteProgramMemory(ImageData<std::uint16_t> image);
  /// Writes and verifies the data-memory locations image holds (location k is byte 2k); the
  /// others keep what the chip has.
  OperationStep WriteDataMemory(ImageData<std::uint8_t> image);
  /// Reads program memory, the configuration area and data memory into file (the dump layout
  /// of pic/PicFiles.h) and into DumpRead and ConfigRead.
  OperationStep ReadDump(const ImageFile& file);
  /// Writes program memory, data memory (each only when its image holds data) and, only when
  /// both verified, area: code protection never lands on a half-programmed chip.
  OperationStep WriteDump(ImageData<std::uint16_t> program, ImageData<std::uint8_t> data, const PicConfigArea& area);
  /// Lifts code protection, erases program and data memory, keeps a factory calibration word,
  /// checks that both read blank, then writes area.
  OperationStep Erase(const PicConfigArea& area);
  /// Compares the program words and data locations the images hold, and the ID and
  /// configuration words area gives (a word of 0xFFFF: the file has none), with the chip.
  OperationStep Verify(ImageData<std::uint16_t> program, ImageData<std::uint8_t> data, const PicConfigArea& area);

  /// The configuration area the last configuration or dump read found; nothing before one.
  const std::optional<PicConfigArea>& ConfigRead() const { return config_; }
  /// The memories the last dump read took whole.
  const PicDumpRead& DumpRead() const { return dump_; }

  /// The wait count the write and erase routines get for a cycle of ms: the baud value, raised
  /// so that its idle samples last at least ms at the sample clock of 16 × the baud.
  std::int32_t WaitCount(std::int32_t ms) const;

 private:
  /// A step of input checks and work: the PIC steps check nothing against the target and ask nothing.
  static OperationStep Step(std::function<Refusal()> checkInputs, std::function<void(OperationRun&)> act);
  /// Identifies the chip on the open programmer for the frame (PicIdentify.cpp).
  std::function<bool(OperationRun&)> Identification();
  bool Identify(OperationRun& run);
  /// Entry with the type's method; baseline parts step their counter from the configuration
  /// word to word 0 when stepToZero is set.
  void Enter(bool stepToZero);
  /// One run of a single command 6: the target's counter moves one location on.
  void StepCounter();
  /// Refuses, before the chip is touched, images the type cannot take: no data in any of them,
  /// or more than the type holds (the counter would wrap onto the first locations). An absent
  /// count: that memory is not written.
  Refusal CheckImages(std::optional<std::int32_t> programCount, std::optional<std::int32_t> dataCount) const;

  // Configuration (PicConfigSteps.cpp).
  PicConfigArea ReadConfigArea();
  void WriteConfigArea(OperationRun& run, const PicConfigArea& area);
  void LogIgnoredConfigBits(OperationRun& run, const PicConfigArea& area);
  /// Reads the area back after WriteConfigArea: false (logged, target failed) when a word it
  /// wrote reads otherwise.
  bool ConfigTaken(OperationRun& run, const PicConfigArea& area);
  /// The bits of configuration word 0x2007 + word (0 or 1) that the type names.
  std::uint16_t NamedBits(std::size_t word) const;
  /// The words of the area a write sets and a verify compares, and the bits of each that count.
  std::vector<std::pair<std::size_t, std::uint16_t>> ConfigWordsChecked() const;

  // Memory writes (PicMemoryWrites.cpp): false on a mismatch or a stop.
  bool WriteProgramWords(OperationRun& run, ImageData<std::uint16_t> image, std::int32_t n);
  /// Program memory of a type with a write latch: the latch blocks, then one read-back pass
  /// over the words the image holds.
  bool WriteLatchedWords(OperationRun& run, ImageData<std::uint16_t> image, std::int32_t n);
  bool WriteDataLocations(OperationRun& run, ImageData<std::uint8_t> image, std::int32_t length,
                          std::int32_t progressOffset);
  /// Programs the filled locations among first .. end - 1 of a block; the counter stands at *at.
  std::int32_t WriteFilledRuns(ImageData<std::uint8_t> image, std::int32_t first, std::int32_t end, std::int32_t& at);

  // The dump (PicDumpSteps.cpp).
  void ReadWholeDump(OperationRun& run, const ImageFile& file);
  bool ReadProgramArea(OperationRun& run, std::string& hexText);
  bool ReadDataArea(OperationRun& run, std::string& hexText);
  void WriteWholeDump(OperationRun& run, ImageData<std::uint16_t> program, ImageData<std::uint8_t> data,
                      const PicConfigArea& area);
  /// Program and data memory of a dump write: whether both verified.
  bool WriteDumpMemories(OperationRun& run, ImageData<std::uint16_t> program, ImageData<std::uint8_t> data);

  // Factory calibration kept (PicCalibrationKept.cpp).
  /// area with the chip's band-gap bits in its configuration word (read now), when the type has them.
  PicConfigArea KeepingBandGap(const PicConfigArea& area);
  /// Whether the chip's band-gap bits read as kept holds them; if not, logged and the target failed.
  bool BandGapKept(OperationRun& run, const PicConfigArea& kept);
  /// The type's OSCCAL word as the chip holds it before an erase; nothing when the chip gives no
  /// calibration instruction there (protected program memory reads zeros) or the type has none.
  std::optional<std::uint16_t> OsccalBeforeErase();
  /// After the erase: writes word back and checks it; without one (a type with Osccal) or when it
  /// does not read back, logs why and fails the target.
  void RestoreOsccal(OperationRun& run, std::optional<std::uint16_t> word);
  /// Program words 0 .. n - 1 of image to write: where the file puts no calibration instruction at
  /// the type's Osccal word, the chip's word is kept there (logged).
  std::vector<std::uint16_t> KeepingOsccal(OperationRun& run, ImageData<std::uint16_t> image, std::int32_t n);

  // The erase (PicEraseStep.cpp).
  void EraseChip(OperationRun& run, const PicConfigArea& area);
  void ClearProtection();
  /// Whether program and data memory read erased (a kept calibration word aside); logs the first
  /// location that does not and fails the target.
  bool ErasedBlank(OperationRun& run);

  // Reads of whole areas (PicVerifyStep.cpp): n program words from word 0, n data locations.
  std::optional<std::vector<std::uint16_t>> ReadProgramWords(OperationRun& run, std::int32_t n);
  std::vector<std::uint8_t> ReadDataLocations(std::int32_t n);
  void VerifyChip(OperationRun& run, ImageData<std::uint16_t> program, ImageData<std::uint8_t> data,
                  const PicConfigArea& area);
  /// Compares the words of area the file holds with the chip's configuration area.
  void VerifyConfig(OperationRun& run, const PicConfigArea& area);

  // PIC18 types (Pic18DumpRead.cpp; the other steps hand their chip work to pic18_).
  void ReadPic18Dump(OperationRun& run, const ImageFile& file);
  /// Program words per write block: the write buffer on PIC18 types.
  std::int32_t BlockWords() const { return pic18_ ? pic18_->BlockWords() : kBlockWords; }

  std::int32_t baud_;
  PicTypeValues type_;
  PICUtils utils_;
  std::optional<PicConfigArea> config_;
  PicDumpRead dump_;
  /// The PIC18 routines, for a PIC18 type only.
  std::unique_ptr<Pic18Operations> pic18_;
};

}  // namespace pw
