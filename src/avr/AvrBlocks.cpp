// The batched routines of AVRUtils: a whole page or block of instructions in one write and one
// read, the replies picked out of InSamples by their fixed offsets.

#include <string>
#include <vector>

#include "avr/AvrUtils.h"
#include "common/Error.h"

namespace pw {
namespace {

std::uint8_t Hi(std::uint32_t a) { return static_cast<std::uint8_t>((a >> 8) & 0xFF); }
std::uint8_t Lo(std::uint32_t a) { return static_cast<std::uint8_t>(a & 0xFF); }

void Append(std::vector<std::uint8_t>& bytes, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
  bytes.insert(bytes.end(), {b0, b1, b2, b3});
}

void CheckCount(std::uint32_t n, std::uint32_t most, const char* what) {
  if (n > most) {
    throw PinwrightError(std::string("Ошибка! ") + what + ": " + std::to_string(n) + " > " + std::to_string(most) +
                         ", не помещается в буфер отсчётов");
  }
}

void CheckSpan(std::size_t needed, std::size_t size, const char* what) {
  // A page or block that runs past its image would read or write memory that is not there.
  if (needed > size) {
    throw PinwrightError(std::string("Ошибка! ") + what + " выходит за пределы образа: " + std::to_string(needed) +
                         " > " + std::to_string(size));
  }
}

}  // namespace

bool AVRUtils::TransferWithLivenessEcho(std::vector<std::uint8_t>& bytes) {
  // Programming Enable answers 0x53 during its third byte in any state of programming mode; a
  // chip that has let go of MISO gives 0xFF. Appended to the batch it costs no round trip, and
  // coming last it vouches for every reply before it.
  const std::size_t at = bytes.size();
  const bool room = (at + 4) * kSamplesPerByte <= D2XXUnit::kSampleCapacity;
  if (room) Append(bytes, 0xAC, kProgEnableEcho, 0x00, 0x00);
  // Whether that enable keeps the extended address register is not documented: the next flash
  // access sends the bank again rather than trust it.
  if (room) ForgetFlashBank();
  AvrSpiTransfer(bytes);
  return room && ReplyByte(static_cast<std::uint32_t>(at + 2) * kSamplesPerByte) == kProgEnableEcho;
}

void AVRUtils::AppendFlashBank(std::vector<std::uint8_t>& bytes, std::uint32_t word) {
  if (!ExtendedFlash) return;
  const auto bank = static_cast<std::uint8_t>(word / kFlashBankWords);
  if (bank_ == bank) return;
  Append(bytes, 0x4D, 0x00, bank, 0x00);
  bank_ = bank;
}

std::array<std::uint8_t, 3> AVRUtils::AvrReadSignature() {
  std::vector<std::uint8_t> bytes;
  for (std::uint8_t i = 0; i < 3; ++i) Append(bytes, 0x30, 0x00, i, 0x00);
  AvrSpiTransfer(bytes);
  std::array<std::uint8_t, 3> signature{};
  for (std::uint32_t i = 0; i < 3; ++i) signature[i] = ReplyByte(kSamplesPerInstruction * i + 3 * kSamplesPerByte);
  return signature;
}

bool AVRUtils::AvrReadFlashBlock(std::uint32_t start, std::uint16_t n, std::span<std::uint16_t> dest) {
  CheckCount(n, kMaxFlashReadWords, "Блок чтения флеши");
  CheckSpan(n, dest.size(), "Блок чтения флеши");
  std::vector<std::uint8_t> bytes;
  bytes.reserve(8u * n + 12);
  // A block that crosses a bank boundary carries the new bank in its middle: each word's
  // instructions are found where they were laid.
  std::vector<std::uint32_t> at(n);
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::uint32_t a = start + i;
    AppendFlashBank(bytes, a);
    at[i] = static_cast<std::uint32_t>(bytes.size()) * kSamplesPerByte;
    Append(bytes, 0x20, Hi(a), Lo(a), 0x00);
    Append(bytes, 0x28, Hi(a), Lo(a), 0x00);
  }
  const bool answered = TransferWithLivenessEcho(bytes);
  for (std::uint32_t i = 0; i < n; ++i) {
    // The data come during the fourth byte of each of the word's two instructions.
    const std::uint32_t word = at[i];
    const std::uint8_t low = ReplyByte(word + 3 * kSamplesPerByte);
    const std::uint8_t high = ReplyByte(word + kSamplesPerInstruction + 3 * kSamplesPerByte);
    dest[i] = static_cast<std::uint16_t>(high * 256 + low);
  }
  return answered;
}

bool AVRUtils::AvrWriteFlashPage(std::uint32_t start, std::uint16_t n, std::span<const std::uint16_t> image) {
  CheckCount(n, kMaxFlashWriteWords, "Страница флеши");
  if (n > 0) CheckSpan(static_cast<std::size_t>(start) + n, image.size(), "Страница флеши");
  std::vector<std::uint8_t> bytes;
  bytes.reserve(8u * n + 12);
  // A page lies in one bank; Write Program Memory Page takes the bank from the register.
  AppendFlashBank(bytes, start);
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::uint32_t a = start + i;
    const std::uint16_t w = image[start + i];
    Append(bytes, 0x40, Hi(a), Lo(a), Lo(w));
    Append(bytes, 0x48, Hi(a), Lo(a), Hi(w));
  }
  Append(bytes, 0x4C, Hi(start), Lo(start), 0x00);
  const bool answered = TransferWithLivenessEcho(bytes);
  unit_.Wait(Delays.FlashPageMs);
  return answered;
}

void AVRUtils::AvrReadEepromBlock(std::span<std::uint16_t> dest, std::uint8_t n, std::uint16_t start) {
  CheckSpan((n + 1u) / 2, dest.size(), "Блок чтения EEPROM");
  std::vector<std::uint8_t> bytes;
  bytes.reserve(4u * n);
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::uint32_t a = (start + i) & 0xFFFF;
    Append(bytes, 0xA0, Hi(a), Lo(a), 0x00);
  }
  AvrSpiTransfer(bytes);
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::uint8_t value = ReplyByte(kSamplesPerInstruction * i + 3 * kSamplesPerByte);
    std::uint16_t& word = dest[i / 2];
    // Little-endian pairs: an even byte starts its word afresh, the odd one is its high half.
    word = (i % 2 == 0) ? value : static_cast<std::uint16_t>(word | (value << 8));
  }
}

bool AVRUtils::AvrWriteEepromPage(std::uint32_t p, std::uint32_t s, std::span<const std::uint8_t> image,
                                  std::uint32_t n) {
  CheckCount(n, kMaxEepromWriteBytes, "Страница EEPROM");
  const std::uint64_t first = static_cast<std::uint64_t>(p) * s;
  CheckSpan(static_cast<std::size_t>(first + n), image.size(), "Страница EEPROM");
  std::vector<std::uint32_t> offsets(n);
  for (std::uint32_t i = 0; i < n; ++i) offsets[i] = i;
  return AvrWriteEepromPageBytes(static_cast<std::uint32_t>(first), image, offsets);
}

bool AVRUtils::AvrWriteEepromPageBytes(std::uint32_t first, std::span<const std::uint8_t> image,
                                       std::span<const std::uint32_t> offsets) {
  CheckCount(static_cast<std::uint32_t>(offsets.size()), kMaxEepromWriteBytes, "Страница EEPROM");
  if (!offsets.empty())
    CheckSpan(static_cast<std::size_t>(first) + offsets.back() + 1, image.size(), "Страница EEPROM");
  std::vector<std::uint8_t> bytes;
  bytes.reserve(4u * offsets.size() + 8);
  for (const std::uint32_t i : offsets) Append(bytes, 0xC1, 0x00, Lo(i), image[static_cast<std::size_t>(first) + i]);
  const std::uint32_t address = first & 0xFFFF;
  Append(bytes, 0xC2, Hi(address), Lo(address), 0x00);
  const bool answered = TransferWithLivenessEcho(bytes);
  unit_.Wait(Delays.EepromMs);
  return answered;
}

}  // namespace pw
