#pragma once
/// @file
/// The programmer's driver interface: the ten D2XX calls the programmer link needs and the
/// blocking millisecond wait. Every call returns an FT_STATUS number as FTDI's library does.
/// The real backend talks to an FT232R; the virtual programmer simulates one.

#include <cstdint>

#include "d2xx/FtProgramData.h"

namespace pw {

using FT_STATUS = std::uint32_t;
/// A device handle; 0 is never a valid handle.
using FT_HANDLE = std::uintptr_t;

/// FT_STATUS values of FTDI's library.
enum FtStatusCode : FT_STATUS {
  FT_OK = 0,
  FT_INVALID_HANDLE = 1,
  FT_DEVICE_NOT_FOUND = 2,
  FT_DEVICE_NOT_OPENED = 3,
  FT_IO_ERROR = 4,
  FT_INSUFFICIENT_RESOURCES = 5,
  FT_INVALID_PARAMETER = 6,
  FT_INVALID_BAUD_RATE = 7,
  FT_DEVICE_NOT_OPENED_FOR_ERASE = 8,
  FT_DEVICE_NOT_OPENED_FOR_WRITE = 9,
  FT_FAILED_TO_WRITE_DEVICE = 10,
  FT_EEPROM_READ_FAILED = 11,
  FT_EEPROM_WRITE_FAILED = 12,
  FT_EEPROM_ERASE_FAILED = 13,
  FT_EEPROM_NOT_PRESENT = 14,
  FT_EEPROM_NOT_PROGRAMMED = 15,
  FT_INVALID_ARGS = 16,
  FT_NOT_SUPPORTED = 17,
  FT_OTHER_ERROR = 18,
};

/// Flags of FT_ListDevices.
inline constexpr std::uint32_t FT_LIST_NUMBER_ONLY = 0x80000000u;
inline constexpr std::uint32_t FT_LIST_BY_INDEX = 0x40000000u;
inline constexpr std::uint32_t FT_OPEN_BY_DESCRIPTION = 0x00000002u;

/// Bit modes of FT_SetBitMode.
inline constexpr std::uint8_t FT_BITMODE_RESET = 0x00;
inline constexpr std::uint8_t FT_BITMODE_SYNC_BITBANG = 0x04;

/// The D2XX calls, with FTDI's argument order and meaning.
class D2xx {
 public:
  virtual ~D2xx() = default;

  /// FT_ListDevices. With FT_LIST_NUMBER_ONLY, arg1 points at a 32-bit count to fill and arg2
  /// is unused. With FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION, arg1 carries the device index
  /// (as a pointer-sized number) and arg2 points at a 64-byte buffer that receives the
  /// zero-terminated description.
  virtual FT_STATUS ListDevices(void* arg1, void* arg2, std::uint32_t flags) = 0;
  /// FT_Open: opens the device at index and stores its handle.
  virtual FT_STATUS Open(int index, FT_HANDLE* handle) = 0;
  virtual FT_STATUS Close(FT_HANDLE handle) = 0;
  /// FT_Read: blocks until count bytes arrived or the read time-out passed.
  virtual FT_STATUS Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* got) = 0;
  virtual FT_STATUS Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written) = 0;
  virtual FT_STATUS SetBaudRate(FT_HANDLE handle, std::uint32_t baud) = 0;
  virtual FT_STATUS SetTimeouts(FT_HANDLE handle, std::uint32_t readMs, std::uint32_t writeMs) = 0;
  /// FT_SetBitMode: a set bit of mask makes that data pin an output.
  virtual FT_STATUS SetBitMode(FT_HANDLE handle, std::uint8_t mask, std::uint8_t mode) = 0;
  /// FT_EE_Read: fills the record, writing the texts into the buffers it points at;
  /// FT_EEPROM_NOT_PROGRAMMED, with the record filled, when the EEPROM's checksum does not match.
  virtual FT_STATUS EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) = 0;
  /// FT_EE_Program: programs the configuration EEPROM from the record, word by word as the chip
  /// takes it: a failure part-way leaves the words before it new and the checksum word old.
  virtual FT_STATUS EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) = 0;
  /// Blocks for ms milliseconds: the real backend sleeps, the virtual programmer advances its clock.
  virtual void Wait(std::uint32_t ms) = 0;
};

}  // namespace pw
