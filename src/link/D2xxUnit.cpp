#include "link/D2xxUnit.h"

#include <cstring>

#include "common/Error.h"
#include "link/FtStatus.h"

namespace pw {

D2XXUnit::D2XXUnit(D2xx& driver) : OutSamples(kSampleCapacity, 0), InSamples(kSampleCapacity, 0), driver_(driver) {}

void D2XXUnit::CheckCount(std::uint32_t n) const {
  // The buffers are fixed; a longer run would read or write past them.
  if (n > kSampleCapacity) throw PinwrightError("Ошибка! Слишком длинная серия отсчётов: " + std::to_string(n));
}

std::uint32_t D2XXUnit::PinWrite(std::uint32_t n) {
  CheckCount(n);
  std::uint32_t written = 0;
  RaiseFtError("FT_Write", driver_.Write(FtHandle, OutSamples.data(), n, &written));
  return written;
}

std::uint32_t D2XXUnit::PinRead(std::uint32_t n) {
  CheckCount(n);
  std::uint32_t got = 0;
  RaiseFtError("FT_Read", driver_.Read(FtHandle, InSamples.data(), n, &got));
  return got;
}

void D2XXUnit::PinReadAll(std::uint32_t n) {
  const std::uint32_t got = PinRead(n);
  if (got != n) {
    throw PinwrightError("Ошибка! Программатор вернул " + std::to_string(got) + " отсчётов из " + std::to_string(n));
  }
}

void D2XXUnit::PinExchange(std::uint32_t n) {
  PinWrite(n);
  PinReadAll(n);
}

std::uint8_t D2XXUnit::ExchangeOne(std::uint8_t v) {
  OutSamples[0] = v;
  PinExchange(1);
  return InSamples[0];
}

void D2XXUnit::GetFTDeviceCount() {
  std::uint32_t count = 0;
  RaiseFtError("GetFTDeviceCount", driver_.ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY));
  FtDeviceCount = count;
}

void D2XXUnit::GetFTDeviceDescription(std::uint32_t index) {
  const FT_STATUS status = driver_.ListDevices(reinterpret_cast<void*>(static_cast<std::uintptr_t>(index)),
                                               DescriptionBuffer.data(), FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION);
  RaiseFtError("GetFTDeviceDescription", status);
  FtDeviceDescription.assign(DescriptionBuffer.data(), strnlen(DescriptionBuffer.data(), DescriptionBuffer.size()));
}

void D2XXUnit::FtOpen(int index) {
  FT_HANDLE handle = 0;
  RaiseFtError("FT_Open", driver_.Open(index, &handle));
  FtHandle = handle;
}

void D2XXUnit::FtClose() { RaiseFtError("FT_Close", driver_.Close(FtHandle)); }

void D2XXUnit::FtSetBaudRate() {
  RaiseFtError("FT_SetBaudRate", driver_.SetBaudRate(FtHandle, static_cast<std::uint32_t>(LinkBaud)));
}

void D2XXUnit::FtSetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
  RaiseFtError("FT_SetTimeouts", driver_.SetTimeouts(FtHandle, readMs, writeMs));
}

void D2XXUnit::FtSetBitMode(std::uint8_t mask, std::uint8_t mode) {
  RaiseFtError("FT_SetBitMode ", driver_.SetBitMode(FtHandle, mask, mode));
}

bool D2XXUnit::ReadFtEeprom(std::uint32_t version) {
  FtEeData.Signature1 = 0;
  FtEeData.Signature2 = 0xFFFFFFFF;
  FtEeData.Version = version;
  FtEeData.VendorId = 0;
  FtEeData.ProductId = 0;
  FtEeData.Manufacturer = ManufacturerBuffer.data();
  FtEeData.ManufacturerId = ManufacturerIdBuffer.data();
  FtEeData.Description = DescriptionBuffer.data();
  FtEeData.SerialNumber = SerialNumberBuffer.data();
  std::memset(reinterpret_cast<char*>(&FtEeData) + kFtTailOffset, 0, kFtTailSize);
  const FT_STATUS status = driver_.EE_Read(FtHandle, &FtEeData);
  if (status == FT_EEPROM_NOT_PROGRAMMED) return false;
  RaiseFtError("FT_EE_Read ", status);
  return true;
}

void D2XXUnit::ProgramFtEeprom() { RaiseFtError("FT_EE_Program", driver_.EE_Program(FtHandle, &FtEeData)); }

void D2XXUnit::Wait(std::uint32_t ms) { driver_.Wait(ms); }

}  // namespace pw
