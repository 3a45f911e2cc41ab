#pragma once
/// @file
/// The D2XX unit: the only caller of the driver. It holds the device handle, the two sample
/// buffers every protocol moves its pin patterns through, and the EEPROM record, and turns
/// every failed call into an error that names the call.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "d2xx/D2xx.h"

namespace pw {

class D2XXUnit {
 public:
  /// One exchange moves at most this many samples.
  static constexpr std::uint32_t kSampleCapacity = 65536;

  explicit D2XXUnit(D2xx& driver);
  D2XXUnit(const D2XXUnit&) = delete;
  D2XXUnit& operator=(const D2XXUnit&) = delete;

  /// Writes OutSamples[0..n-1]; returns the number of bytes the driver took.
  std::uint32_t PinWrite(std::uint32_t n);
  /// Reads n samples into InSamples[0..n-1]; returns the number of bytes that came back.
  std::uint32_t PinRead(std::uint32_t n);
  /// Reads n samples into InSamples and raises when fewer came back: the protocols decode by
  /// position, and would otherwise read what the buffer held before as the target's answer.
  void PinReadAll(std::uint32_t n);
  /// PinWrite(n), then PinReadAll(n).
  void PinExchange(std::uint32_t n);
  /// Puts v on the pins for one sample and returns the pin state read back for it.
  std::uint8_t ExchangeOne(std::uint8_t v);

  /// Fills FtDeviceCount.
  void GetFTDeviceCount();
  /// Lists the description of device index into DescriptionBuffer and, on success, FtDeviceDescription.
  void GetFTDeviceDescription(std::uint32_t index);

  void FtOpen(int index);
  void FtClose();
  void FtSetBaudRate();
  void FtSetTimeouts(std::uint32_t readMs, std::uint32_t writeMs);
  void FtSetBitMode(std::uint8_t mask, std::uint8_t mode);

  /// Prepares FtEeData for a read of the given record version, then FT_EE_Read. Returns false
  /// when the record is filled but the EEPROM's checksum does not match; raises on any other failure.
  bool ReadFtEeprom(std::uint32_t version);
  /// FT_EE_Program with FtEeData as it stands.
  void ProgramFtEeprom();

  /// The blocking millisecond wait of the protocols.
  void Wait(std::uint32_t ms);

  FT_HANDLE FtHandle = 0;
  std::uint32_t FtDeviceCount = 0;
  std::string FtDeviceDescription;
  /// Receives listed descriptions and is also the record's Description text.
  std::array<char, kFtDescriptionSize> DescriptionBuffer{};
  std::array<char, kFtManufacturerSize> ManufacturerBuffer{};
  std::array<char, kFtManufacturerIdSize> ManufacturerIdBuffer{};
  std::array<char, kFtSerialNumberSize> SerialNumberBuffer{};
  FT_PROGRAM_DATA FtEeData{};
  std::int32_t LinkBaud = 0;
  std::vector<std::uint8_t> OutSamples;
  std::vector<std::uint8_t> InSamples;

 private:
  void CheckCount(std::uint32_t n) const;

  D2xx& driver_;
};

}  // namespace pw
