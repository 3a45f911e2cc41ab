#include "link/SpiMode0.h"

#include <string>

#include "common/Error.h"

namespace pw {

void SpiMode0::PutByte(std::uint8_t value) { PutBits(value, 8); }

std::uint32_t SpiMode0::PutBits(std::uint32_t value, unsigned count) {
  const std::uint32_t mark = run_.Length();
  if (count > 32 || !run_.Fits(std::uint64_t{count} * kSamplesPerBit)) {
    throw PinwrightError("Ошибка! Серия битов SPI не помещается в буфер отсчётов: " + std::to_string(count) + " бит");
  }
  for (unsigned k = count; k-- > 0;) {
    const std::uint8_t data = ((value >> k) & 1) ? pins_.Mosi : 0;
    run_.Put(static_cast<std::uint8_t>(pins_.Held | data));
    run_.Put(static_cast<std::uint8_t>(pins_.Held | data | pins_.Sck));
  }
  return mark;
}

std::uint32_t SpiMode0::ReplyBits(std::uint32_t mark, unsigned count) const {
  std::uint32_t value = 0;
  for (std::uint32_t k = 0; k < count; ++k) {
    const bool one = (run_.In(mark + kSamplesPerBit * k + 1) & pins_.Miso) != 0;
    value = (value << 1) | (one ? 1u : 0u);
  }
  return value;
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

std::uint8_t SpiMode0::ReplyByte(std::uint32_t first) const { return static_cast<std::uint8_t>(ReplyBits(first, 8)); }

}  // namespace pw
