#pragma once
/// @file
/// The serial interface of a simulated AVR: an SPI mode-0 slave. MOSI is sampled on the rising
/// SCK edge, MISO changes on the falling edge; bytes go most significant bit first. What goes out
/// during a byte is chosen when the byte before it is complete.

#include <cstdint>
#include <optional>

namespace pw::sim {

class SimAvrSpi {
 public:
  /// Back to the first bit of a byte, nothing to send (RESET released, supply lost).
  void Reset();
  /// One sample's SCK and MOSI levels; returns the byte completed by a rising edge in this sample.
  std::optional<std::uint8_t> Clock(bool sck, bool mosi);
  /// The byte shifted out during the next byte, from the next falling edge on.
  void SetNext(std::uint8_t byte);
  /// The level the interface drives on MISO now.
  bool Miso() const { return (shift_ & 0x80) != 0; }
  /// Whether the bits taken so far make whole bytes.
  bool AtByteBoundary() const { return bits_ == 0; }

 private:
  void Rise(bool mosi);
  void Fall();

  bool sck_ = false;
  std::uint8_t in_ = 0;
  int bits_ = 0;
  std::optional<std::uint8_t> completed_;
  std::uint8_t shift_ = 0;
  std::uint8_t next_ = 0;
  bool loadPending_ = false;
};

}  // namespace pw::sim
