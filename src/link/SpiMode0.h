#pragma once
/// @file
/// SPI mode 0 over a set of data pins, laid on a SampleRun. Every bit is two samples: SCK low
/// with the bit on MOSI, then SCK high (the target takes MOSI on the rising edge and changes
/// MISO on the falling one), most significant bit first, 16 samples a byte. The target's bit is
/// read in the entry paired with the SCK-high sample. Protocols built on it (AVR serial
/// programming, SPI flash) say which pins are which and what the other outputs hold meanwhile.

#include <cstdint>
#include <span>

#include "link/SampleRun.h"

namespace pw {

/// The data pins of an SPI target, as bit masks of a sample.
struct SpiPins {
  std::uint8_t Mosi = 0;
  std::uint8_t Sck = 0;
  std::uint8_t Miso = 0;
  /// The other outputs' levels, laid in every sample (for example a reset or chip-select line
  /// held low); must not include Mosi or Sck.
  std::uint8_t Held = 0;
};

class SpiMode0 {
 public:
  static constexpr std::uint32_t kSamplesPerBit = 2;
  static constexpr std::uint32_t kSamplesPerByte = 8 * kSamplesPerBit;

  SpiMode0(SampleRun& run, SpiPins pins) : run_(run), pins_(pins) {}

  const SpiPins& Pins() const { return pins_; }
  /// Whether n more bytes fit in the run.
  bool Fits(std::uint64_t n) const { return run_.Fits(n * kSamplesPerByte); }

  /// Lays one byte at the end of the run.
  void PutByte(std::uint8_t value);
  /// Lays the count (0..32) low bits of value at the end of the run, most significant first,
  /// for protocols whose frames are no whole bytes (a Microwire EEPROM's start bit, opcode and
  /// address); returns their mark for ReplyBits. Refused whole when they do not fit.
  std::uint32_t PutBits(std::uint32_t value, unsigned count);
  /// The count bits shifted in during the bits laid from mark on, the first as the most significant.
  std::uint32_t ReplyBits(std::uint32_t mark, unsigned count) const;
  /// Lays bytes at the end of the run; a batch the run cannot take is refused with an error
  /// before any of it is laid.
  void PutBytes(std::span<const std::uint8_t> bytes);
  /// Starts a new run with bytes and exchanges it; the replies are then read with ReplyByte.
  void Transfer(std::span<const std::uint8_t> bytes);

  /// The byte shifted in during the byte whose 16 samples start at run index first.
  std::uint8_t ReplyByte(std::uint32_t first) const;

 private:
  SampleRun& run_;
  SpiPins pins_;
};

}  // namespace pw
