#pragma once
/// @file
/// The PIC18 parts' side of the PIC operations: what PicOperations (pic/PicOperations.h) hands
/// to a PIC18 type, on byte addresses instead of the mid-range counter. PicOperations keeps the
/// steps, logs, progress and stop checks; these routines read, write and compare the chip.
///
/// The configuration area (pic/PicConfigArea.h) holds the ID bytes at 0 .. 7, the device ID at
/// 12 .. 13 and the configuration bytes at 14 .. 27. A byte of 0xFF in an area to write or
/// compare is one the file or the person did not give: it is neither written nor compared.

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "frame/ImageData.h"
#include "frame/OperationRun.h"
#include "link/D2xxUnit.h"
#include "pic/Pic18Utils.h"
#include "pic/PicConfigArea.h"
#include "pic/PicTypes.h"

namespace pw {

class Pic18Operations {
 public:
  /// type must outlive the operations (PicOperations holds both).
  Pic18Operations(D2XXUnit& unit, std::int32_t baud, const PicTypeValues& type) : type_(type), utils_(unit, baud) {}

  /// DEVID2:DEVID1, revision bits included; the caller has entered programming mode.
  std::uint16_t ReadDeviceId();
  /// The IDs, device ID and configuration bytes; the unused bytes 0xFF.
  PicConfigArea ReadConfigArea();
  /// The ID bytes (when area holds any) and the configuration bytes the type names that area
  /// holds, the protection bytes last: CONFIG6H, which protects the configuration, after all.
  void WriteConfigArea(const PicConfigArea& area);
  /// Reads the area back: false (logged, target failed) when a byte written reads otherwise.
  bool ConfigTaken(OperationRun& run, const PicConfigArea& area);
  /// Compares the bytes area holds with the chip's.
  void VerifyConfig(OperationRun& run, const PicConfigArea& area);
  /// The chip erase: program memory, IDs, data EEPROM, configuration, protection.
  void BulkErase();

  /// Program words per write: one write buffer.
  std::int32_t BlockWords() const { return type_.WriteBuffer / 2; }
  /// Writes words start .. start + count - 1 (one buffer-aligned block; skipped when image holds
  /// none of them) and reads them back: NoError or the first word held that reads otherwise.
  std::int32_t ProgramBlock(ImageData<std::uint16_t> image, std::int32_t start, std::int32_t count);
  /// Writes and reads back the data locations first .. end - 1 image holds (location k: byte 2k):
  /// NoError or the image offset of the first that reads otherwise.
  std::int32_t WriteDataLocations(ImageData<std::uint8_t> image, std::int32_t first, std::int32_t end);
  /// Program words from word start on.
  void ReadProgram(std::int32_t start, std::span<std::uint16_t> words);
  /// Data locations 0 .. bytes.size() - 1.
  void ReadData(std::span<std::uint8_t> bytes);

 private:
  /// P9 for program memory, IDs and configuration bytes, and the data EEPROM write time.
  std::int32_t ProgramMs() const;
  /// The bits of configuration byte i the type names.
  std::uint8_t NamedBits(std::size_t i) const;
  /// The area bytes a write sets and a compare checks (area offset, bits that count), in the
  /// order they are written.
  std::vector<std::pair<std::size_t, std::uint8_t>> BytesGiven(const PicConfigArea& area) const;

  const PicTypeValues& type_;
  PIC18Utils utils_;
};

}  // namespace pw
