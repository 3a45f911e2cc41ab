#pragma once
/// @file
/// One simulated FT232R: its identity, its configuration EEPROM and its data pins in
/// synchronous bit-bang mode.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "d2xx/D2xx.h"
#include "d2xx/FtEepromImage.h"
#include "sim/SimBoard.h"

namespace pw::sim {

struct SimDeviceConfig {
  std::string Description = "FT232R USB UART";
  std::string SerialNumber = "A1B2C3D4";
  /// Non-zero: listing this device's description fails with this status.
  FT_STATUS ListStatus = FT_OK;
  /// Non-zero: opening this device fails with this status.
  FT_STATUS OpenStatus = FT_OK;
};

class SimDevice {
 public:
  explicit SimDevice(SimDeviceConfig config);

  SimDeviceConfig Config;
  FtEepromImage Eeprom;
  /// The programmer board with its headers; null for an FTDI device without one.
  std::unique_ptr<SimBoard> Board;

  bool Open = false;
  bool Unplugged = false;
  FT_HANDLE Handle = 0;
  std::uint8_t Mask = 0;
  std::uint8_t Mode = 0;
  std::uint32_t Baud = 9600;
  std::uint32_t ReadTimeoutMs = 0;
  std::uint32_t WriteTimeoutMs = 0;
  /// What the output latch holds; pins the mask makes outputs show it.
  std::uint8_t Latch = 0xFF;
  /// The line levels as the last sample left them: the next sample reads these.
  std::uint8_t Levels = 0xFF;
  /// Pin states waiting to be read.
  std::vector<std::uint8_t> Received;
  std::size_t ReceivedAt = 0;

  /// Clocks one sample out: returns the levels read for it, then drives value and lets the board react.
  std::uint8_t Clock(std::uint8_t value, const SimEnvironment& env);
  /// Applies a new direction mask or mode to the pins at once.
  void Reconfigure(std::uint8_t mask, std::uint8_t mode, const SimEnvironment& env);
  /// Back to the state of a closed device: all pins inputs, nothing queued.
  void Reset(const SimEnvironment& env);
  std::size_t Pending() const { return Received.size() - ReceivedAt; }

 private:
  std::uint8_t Drive(const SimEnvironment& env);
};

}  // namespace pw::sim
