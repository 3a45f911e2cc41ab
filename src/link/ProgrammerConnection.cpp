#include "link/ProgrammerConnection.h"

#include "common/Error.h"
#include "d2xx/Wiring.h"

namespace pw {

std::uint8_t ModeMask(const std::string& mode) {
  if (mode == kModeAvr) return wiring::avr::Mask;
  if (mode == kModePic) return wiring::pic::Mask;
  if (mode == kModeI2c) return wiring::i2c::Mask;
  return 0x00;
}

int FindProgrammerIndex(D2XXUnit& unit) {
  unit.GetFTDeviceCount();
  for (std::uint32_t i = 0; i < unit.FtDeviceCount; ++i) {
    try {
      unit.GetFTDeviceDescription(i);
    } catch (const PinwrightError&) {
      unit.FtDeviceDescription = kUnlistedDescription;
    }
    if (unit.FtDeviceDescription == kProgrammerDescription) return static_cast<int>(i);
  }
  return 0;
}

namespace {

void Configure(D2XXUnit& unit, const std::string& mode, std::int32_t baud) {
  unit.FtSetBitMode(ModeMask(mode), FT_BITMODE_SYNC_BITBANG);
  unit.LinkBaud = baud;
  unit.FtSetTimeouts(kLinkTimeoutMs, kLinkTimeoutMs);
  unit.FtSetBaudRate();
  if (mode == kModeAvr) {
    // Hold the target in reset, then release it: a clean start before programming mode.
    unit.ExchangeOne(0x00);
    unit.Wait(kAvrStartPulseMs);
    unit.ExchangeOne(wiring::avr::Reset);
  }
}

}  // namespace

void OpenProgrammer(D2XXUnit& unit, const std::string& mode, std::int32_t baud) {
  if (unit.FtHandle != 0) return;
  unit.FtOpen(FindProgrammerIndex(unit));
  try {
    Configure(unit, mode, baud);
  } catch (...) {
    // A half-configured device would keep the wrong pin directions for the next operation.
    AbandonProgrammer(unit);
    throw;
  }
}

void CloseProgrammer(D2XXUnit& unit) {
  unit.FtSetBitMode(0x00, FT_BITMODE_SYNC_BITBANG);
  unit.FtClose();
  unit.FtHandle = 0;
}

void AbandonProgrammer(D2XXUnit& unit) noexcept {
  if (unit.FtHandle == 0) return;
  try {
    unit.FtSetBitMode(0x00, FT_BITMODE_SYNC_BITBANG);
  } catch (...) {
  }
  try {
    unit.FtClose();
  } catch (...) {
  }
  unit.FtHandle = 0;
}

}  // namespace pw
