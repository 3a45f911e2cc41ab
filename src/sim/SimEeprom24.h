#pragma once
/// @file
/// A 24Cxx serial EEPROM on the I2C socket, modelled on its datasheet: start, repeated start and
/// stop detection, device-address matching (block bits in the device byte, chip-select inputs
/// tied low or not connected), one or two word-address bytes, a page buffer that rolls over
/// inside its page (or none: one byte per write), a write cycle started by the stop,
/// acknowledges, sequential reads that wrap at the end of memory or of a 64 KiB block,
/// current-address reads. Under the datasheet timing model the write cycle lasts 5 ms,
/// during which the chip acknowledges nothing.

#include <cstdint>
#include <map>
#include <vector>

#include "sim/Eeprom24Parts.h"
#include "sim/SimChips.h"
#include "sim/SimPowerUp.h"

namespace pw::sim {

class SimEeprom24 : public SimI2cChip {
 public:
  explicit SimEeprom24(const Eeprom24Part& part);

  bool Step(bool scl, bool sda, const SimEnvironment& env) override;
  void PowerOff() override;
  std::vector<SimMemory> Memories() override { return {{"Memory", &memory_}}; }

  const Eeprom24Part& Part() const { return part_; }
  std::vector<std::uint8_t>& Memory() { return memory_; }
  /// After each power-up the chip acknowledges nothing for length.
  void SetPowerUpBusy(SimTime length) { powerUp_.SetLength(length); }
  /// How many page writes the chip has carried out.
  int WriteCycles() const { return writeCycles_; }

 private:
  enum class Phase { Idle, Receive, AckOut, Send, AckIn };
  enum class Expect { Device, AddressHigh, AddressLow, Data };

  void OnStart();
  void OnStop(const SimEnvironment& env);
  void OnRise(bool sda);
  /// The falling clock ends a bit or an acknowledge; what follows depends on the phase.
  void OnFall();
  /// The eighth bit in: the chip acknowledges a byte it accepts and lets go of the bus otherwise.
  void ReceivedBit();
  /// The chip's acknowledge given: a read sends the first byte, a write takes the next one.
  void AcknowledgeGiven();
  /// One bit of a sent byte out; after the eighth the master's acknowledge follows.
  void SentBit();
  /// Whether the chip acknowledges the byte it has just received.
  bool Accept(std::uint8_t byte);
  bool AcceptDevice(std::uint8_t byte);
  /// After an acknowledge: the byte at the pointer goes out when one is wanted (a read, or the
  /// master asked for more); otherwise the chip goes to phase otherwise.
  void SendNextByteOr(bool wanted, Phase otherwise);
  bool Busy(const SimEnvironment& env) const { return env.Now < busyUntil_ || powerUp_.Busy(env); }

  const Eeprom24Part& part_;
  std::vector<std::uint8_t> memory_;
  /// Bytes received for the page write that the next stop starts, by address.
  std::map<std::uint32_t, std::uint8_t> pending_;
  Phase phase_ = Phase::Idle;
  Expect expect_ = Expect::Device;
  bool reading_ = false;
  bool busyNow_ = false;
  std::uint32_t pointer_ = 0;
  std::uint32_t block_ = 0;
  std::uint8_t addressHigh_ = 0;
  std::uint8_t shift_ = 0;
  int bits_ = 0;
  bool masterAck_ = false;
  bool drive_ = false;
  bool prevScl_ = true;
  bool prevBus_ = true;
  SimTime busyUntil_ = 0;
  SimPowerUpBusy powerUp_;
  int writeCycles_ = 0;
};

}  // namespace pw::sim
