#include "link/SpiMode0.h"

#include <string>

#include "common/Error.h"

namespace pw {

void SpiMode0::PutByte(std::uint8_t value) {
  for (int bit = 7; bit >= 0; --bit) {
    const std::uint8_t data = ((value >> bit) & 1) ? pins_.Mosi : 0;
    run_.Put(static_cast<std::uint8_t>(pins_.Held | data));
    run_.Put(static_cast<std::uint8_t>(pins_.Held | data | pins_.Sck));
  }
}

void SpiMode0::PutBytes(std::span<const std::uint8_t> bytes) {
  // Checked as a whole, so that a refused batch leaves no half-laid bytes behind.
  if (!Fits(bytes.size())) {
    throw PinwrightError("Ошибка! Серия байтов SPI не помещается в буфер отсчётов: " + std::to_string(bytes.size()) +
                         " байт");
  }
  for (const std::uint8_t byte : bytes) PutByte(byte);
}

void SpiMode0::Transfer(std::span<const std::uint8_t> bytes) {
  run_.Clear();
  PutBytes(bytes);
  run_.Exchange();
}

std::uint8_t SpiMode0::ReplyByte(std::uint32_t first) const {
  std::uint8_t value = 0;
  for (std::uint32_t k = 0; k < 8; ++k) {
    const bool one = (run_.In(first + kSamplesPerBit * k + 1) & pins_.Miso) != 0;
    value = static_cast<std::uint8_t>((value << 1) | (one ? 1 : 0));
  }
  return value;
}

}  // namespace pw
