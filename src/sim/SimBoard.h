#pragma once
/// @file
/// The programmer board behind the simulated FT232R: the AVR header, the PIC header and the I2C
/// socket on the data lines (wiring in d2xx/Wiring.h). A socket is powered only while the
/// FT232R's direction mask is the one its protocol opens the chip with; a chip in an unpowered
/// socket sees nothing and forgets its bus state. That keeps the three chips of a bench from
/// hearing each other's protocols on the shared lines.

#include <cstdint>
#include <memory>

#include "sim/SimChips.h"
#include "sim/SimLineFaults.h"

namespace pw::sim {

class SimBoard {
 public:
  std::unique_ptr<SimAvrChip> Avr;
  std::unique_ptr<SimPicChip> Pic;
  std::unique_ptr<SimI2cChip> I2c;
  /// A flash on the AVR header's adapter; a bench carries it or an AVR there, never both.
  std::unique_ptr<SimSpiChip> Spi;
  /// When one sample changes both SCL and SDA of the I2C socket, the chip sees SDA change after
  /// SCL (true, the strict default: a late SDA driver or a slow pull-up) or before it. The
  /// board's driver delays and rise times decide; a sound pattern works in both orders.
  bool I2cSdaAfterScl = true;
  /// Stuck and shorted data lines: what every chip and the FT232R see of the wires.
  SimLineFaults Lines;

  /// The levels of the eight lines once the chip on the powered socket has reacted to lines,
  /// the levels the FT232R leaves (its outputs, pull-ups on its inputs).
  std::uint8_t Settle(std::uint8_t lines, std::uint8_t mask, const SimEnvironment& env);
  /// The FT232R's direction mask changed: power the socket that belongs to it, and no other.
  void SelectMask(std::uint8_t mask);

 private:
  std::uint8_t SettleAvr(std::uint8_t lines, const SimEnvironment& env);
  std::uint8_t SettlePic(std::uint8_t lines, const SimEnvironment& env);
  std::uint8_t SettleI2c(std::uint8_t lines, const SimEnvironment& env);

  std::uint8_t poweredMask_ = 0;
  /// SCL and SDA as the last sample of the I2C socket left them (released lines read high).
  bool i2cScl_ = true;
  bool i2cSda_ = true;
};

}  // namespace pw::sim
