#include "link/ProgrammerConnection.h"

#include "common/Error.h"

namespace pw {

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

void Configure(D2XXUnit& unit, const ProtocolMode& mode, std::int32_t baud) {
  unit.FtSetBitMode(mode.Mask, FT_BITMODE_SYNC_BITBANG);
  unit.LinkBaud = baud;
  unit.FtSetTimeouts(kLinkTimeoutMs, kLinkTimeoutMs);
  unit.FtSetBaudRate();
  if (mode.Pulse) {
    unit.ExchangeOne(mode.Pulse->Hold);
    unit.Wait(mode.Pulse->WaitMs);
    unit.ExchangeOne(mode.Pulse->Release);
  }
}

}  // namespace

void OpenProgrammer(D2XXUnit& unit, const ProtocolMode& mode, std::int32_t baud) {
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
