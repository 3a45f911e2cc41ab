#pragma once
/// @file
/// The chips the virtual programmer's board can carry, seen from their pins. Each sample a chip
/// gets the levels of its signals and the virtual time and answers with what it drives.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimTime.h"

namespace pw::sim {

/// A memory of a chip that a bench file keeps in a raw binary file.
struct SimMemory {
  /// The bench key that names its file ("Flash", "Eeprom", "Memory").
  std::string Key;
  std::vector<std::uint8_t>* Bytes = nullptr;
};

class SimChip {
 public:
  virtual ~SimChip() = default;
  /// The socket lost its supply: forget every bus and programming state, keep the memories.
  virtual void PowerOff() = 0;
  /// The memories a bench file can load and save.
  virtual std::vector<SimMemory> Memories() = 0;
};

/// A chip on the AVR ISP header.
class SimAvrChip : public SimChip {
 public:
  /// reset: level of RESET (false holds the chip in reset). Returns the level driven on MISO, or
  /// nothing when MISO is left floating.
  virtual std::optional<bool> Step(bool reset, bool sck, bool mosi, const SimEnvironment& env) = 0;
};

/// A 25-series SPI flash on the AVR header (RESET wired to its /CS).
class SimSpiChip : public SimChip {
 public:
  /// cs: level of /CS (false selects the chip). Returns the level driven on DO, or nothing when
  /// DO is left floating.
  virtual std::optional<bool> Step(bool cs, bool sck, bool mosi, const SimEnvironment& env) = 0;
};

/// A chip on the PIC ICSP header.
class SimPicChip : public SimChip {
 public:
  /// powered: supply on; mclrLow: MCLR driven to Vpp (the programmer's reset control released);
  /// pgd: the level the programmer leaves on PGD. Returns the level the chip drives on PGD, or
  /// nothing when it does not drive it.
  virtual std::optional<bool> Step(bool powered, bool vpp, bool pgc, bool pgd, const SimEnvironment& env) = 0;
};

/// A chip in the I2C EEPROM socket.
class SimI2cChip : public SimChip {
 public:
  /// sda: the level the programmer leaves on SDA. Returns true while the chip pulls SDA low.
  virtual bool Step(bool scl, bool sda, const SimEnvironment& env) = 0;
};

}  // namespace pw::sim
