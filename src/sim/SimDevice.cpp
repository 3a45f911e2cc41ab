#include "sim/SimDevice.h"

namespace pw::sim {

SimDevice::SimDevice(SimDeviceConfig config)
    : Config(std::move(config)), Eeprom(FactoryFtEeprom(Config.Description, Config.SerialNumber)) {}

std::uint8_t SimDevice::Drive(const SimEnvironment& env) {
  // Inputs have weak pull-ups: undriven, they read 1.
  const std::uint8_t lines = static_cast<std::uint8_t>((Latch & Mask) | ~Mask);
  return Board ? Board->Settle(lines, Mask, env) : lines;
}

std::uint8_t SimDevice::Clock(std::uint8_t value, const SimEnvironment& env) {
  const std::uint8_t sampled = Levels;
  Latch = value;
  Levels = Drive(env);
  return sampled;
}

void SimDevice::Reconfigure(std::uint8_t mask, std::uint8_t mode, const SimEnvironment& env) {
  Mask = mode == FT_BITMODE_RESET ? 0 : mask;
  Mode = mode;
  Levels = Drive(env);
}

void SimDevice::Reset(const SimEnvironment& env) {
  Open = false;
  Handle = 0;
  Received.clear();
  ReceivedAt = 0;
  Latch = 0xFF;
  Reconfigure(0, FT_BITMODE_RESET, env);
}

}  // namespace pw::sim
