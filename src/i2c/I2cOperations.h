#pragma once
/// @file
/// The I2C EEPROM's operations, window-free: read the chip into a file, write an image (only
/// the bytes it holds) and verify it, compare the chip with an image, erase the chip and check
/// that it reads erased, list the devices that answer on the bus. Each is an OperationStep for the frame; the bus is
/// "I2C-Eeprom" and a 24Cxx has nothing to identify it by, so the type is the one the person chose.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "frame/Frame.h"
#include "frame/ImageData.h"
#include "frame/ImageFiles.h"
#include "frame/PartialWrite.h"
#include "i2c/I2cGroups.h"
#include "i2c/I2cTypes.h"
#include "link/D2xxUnit.h"

namespace pw {

/// The captions of the operations that change the chip, as a person presses them again after
/// a write that stopped half way.
inline constexpr const char* kI2cWriteCaption = "Прошить";
inline constexpr const char* kI2cEraseCaption = "Стереть чип";
inline constexpr Action kI2cWrite{kI2cWriteCaption, "i2c ТИП write"};
inline constexpr Action kI2cErase{kI2cEraseCaption, "i2c ТИП erase"};
/// The log line a read begins with, naming its file.
inline std::string I2cReadFileLine(const std::string& file) { return "файл.EEPROM: " + file; }

/// The 7-bit device addresses a scan probes: those outside are reserved by the bus.
inline constexpr std::uint8_t kI2cFirstAddress = 0x08;
inline constexpr std::uint8_t kI2cLastAddress = 0x77;

/// Addresses every 7-bit device address from kI2cFirstAddress to kI2cLastAddress with a write
/// and returns those that acknowledged, in order; the bus is left stopped. The programmer must
/// be open in the I2C mode.
std::vector<std::uint8_t> ScanI2cBus(D2XXUnit& unit);

class I2cOperations {
 public:
  I2cOperations(D2XXUnit& unit, std::int32_t baud, I2cType type);

  const I2cType& Type() const { return type_; }
  /// "авто": the bus is clocked as fast as the type's ClockKHz and USB allow (AutoBaud.h)
  /// instead of at the baud value given, and the run's first line says so.
  void SetAutoBaud(bool on) { autoBaud_ = on; }
  /// The bus to open at the working baud value; there is nothing to identify.
  FrameTarget Target() const;
  /// Runs steps in one frame.
  Outcome Run(OperationRun& run, std::span<const OperationStep> steps);

  /// Reads the whole chip into file (HEX, or raw when its name ends in .bin), written only when
  /// every byte was read.
  OperationStep Read(ImageFile file);
  /// Writes the bytes image holds (the rest of the chip keeps what it had), then compares them.
  OperationStep Write(ImageData<std::uint8_t> image);
  /// Compares the bytes image holds with the chip; lists the first differences.
  OperationStep Verify(ImageData<std::uint8_t> image);
  /// Writes 0xFF to every byte, then checks that the chip reads so.
  OperationStep Erase();
  /// Lists the devices on the bus that acknowledge their address; needs no type.
  OperationStep Scan();

 private:
  void ReadChip(OperationRun& run, const ImageFile& file);
  void WriteImage(OperationRun& run, ImageData<std::uint8_t> image);
  void EraseChip(OperationRun& run);
  /// Writes value(i) for the bytes i < count that wanted(i) picks, in runs within one page;
  /// false (its line logged, the target failed) when the chip failed or a stop was asked for.
  bool WriteAll(OperationRun& run, std::int32_t count, const std::function<std::uint8_t(std::int32_t)>& value,
                const std::function<bool(std::int32_t)>& wanted, PartialWrite& partial);
  /// Writes the run of wanted bytes from start on within [start, end); the bytes it took, or 0
  /// (logged) when the chip failed.
  std::int32_t WriteRun(OperationRun& run, I2cGroups& groups, std::int32_t start, std::int32_t end,
                        const std::function<std::uint8_t(std::int32_t)>& value,
                        const std::function<bool(std::int32_t)>& wanted);
  /// Reads the chip's first bytes.size() bytes; false when the chip failed (its line logged,
  /// ending in consequence) or a stop was asked for (stopped added to the stop line).
  bool ReadBytes(OperationRun& run, std::span<std::uint8_t> bytes, const char* consequence, const char* stopped);
  /// Reads the chip up to image's end and compares the bytes image holds; logs same, or differ
  /// and the differences (the target failed). False when the chip did not read or differs.
  bool Compare(OperationRun& run, ImageData<std::uint8_t> image, const char* same, const char* differ);
  /// Logs the chip's failure at address, ending in consequence, and what it means.
  void ChipFailed(OperationRun& run, I2cGroupResult result, std::uint32_t address, const char* consequence);
  /// transfer(); when the bus was held before its start, the bus clear and, if it freed SDA,
  /// transfer() once more, both logged.
  static I2cGroupResult Transfer(OperationRun& run, I2cGroups& groups, const std::function<I2cGroupResult()>& transfer);

  /// The baud value the bus is clocked at.
  std::int32_t WorkingBaud() const;

  D2XXUnit& unit_;
  std::int32_t baud_;
  I2cType type_;
  bool autoBaud_ = false;
};

}  // namespace pw
