#pragma once
/// @file
/// AVRUtils: the AVR serial programming instructions as pin samples on the AVR header, laid by
/// the SPI mode-0 layer (link/SpiMode0.h) with RESET held low in every sample; replies are
/// picked out of the samples read back. Single instructions go as four one-byte exchanges; the
/// block routines pack a whole page or block into one write and one read. The programmer must
/// be open in "AVR-ISP".

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "d2xx/Wiring.h"
#include "link/D2xxUnit.h"
#include "link/SampleRun.h"
#include "link/SpiMode0.h"

namespace pw {

/// The three fuse bytes, in the order they are read and written.
struct AvrFuseBytes {
  std::uint8_t Low = 0xFF;
  std::uint8_t High = 0xFF;
  std::uint8_t Ext = 0xFF;
};

/// How long (ms) the chip is given after each kind of write before the next instruction: the
/// chip's own times from chips.ini, at least the fixed minimums of AVRUtils. The defaults are
/// the safe values for a chip whose times are not known.
struct AvrWriteDelays {
  std::uint32_t FlashPageMs = 5;
  /// An EEPROM page; a single EEPROM byte waits at least AVRUtils::kEepromByteWaitMs.
  std::uint32_t EepromMs = 9;
  std::uint32_t EraseMs = 55;
  /// Each fuse byte and the lock byte.
  std::uint32_t FuseMs = 20;
};

/// Byte i of a block AvrReadEepromBlock read: two bytes a word, the low half first.
inline std::uint8_t EepromBlockByte(std::span<const std::uint16_t> words, std::size_t i) {
  const std::uint16_t word = words[i / 2];
  return static_cast<std::uint8_t>(i % 2 == 0 ? word & 0xFF : word >> 8);
}

class AVRUtils {
 public:
  /// Samples per bit, byte and four-byte instruction.
  static constexpr std::uint32_t kSamplesPerBit = SpiMode0::kSamplesPerBit;
  static constexpr std::uint32_t kSamplesPerByte = SpiMode0::kSamplesPerByte;
  static constexpr std::uint32_t kSamplesPerInstruction = 4 * kSamplesPerByte;
  /// The most a batch can carry within the sample buffers (the flash batches with their liveness echo).
  static constexpr std::uint32_t kMaxFlashReadWords = 511;
  static constexpr std::uint32_t kMaxFlashWriteWords = 511;
  static constexpr std::uint32_t kMaxEepromWriteBytes = 1023;
  static constexpr std::uint32_t kMaxEepromReadBytes = 255;
  /// AvrSetPins values: every output low (RESET asserted, SCK and MOSI low), and RESET released
  /// so that the chip runs.
  static constexpr std::uint8_t kResetAsserted = 0x00;
  static constexpr std::uint8_t kResetReleased = wiring::avr::Reset;
  /// SPI on the AVR header; RESET stays asserted in every sample, so the chip stays in
  /// programming mode.
  static constexpr SpiPins kSpiPins{wiring::avr::Mosi, wiring::avr::Sck, wiring::avr::Miso, kResetAsserted};
  /// What a chip in step sends back during Programming Enable's third byte.
  static constexpr std::uint8_t kProgEnableEcho = 0x53;
  /// Programming Enable attempts before giving up.
  static constexpr int kProgEnableAttempts = 5;
  /// The datasheets' wait (ms) between RESET going low (or its positive pulse) and Programming Enable.
  static constexpr std::uint32_t kEntryWaitMs = 20;
  /// Fixed waits (ms): before Programming Enable when RESET was already held low, after RESET is
  /// released to restart the chip; and the minimums of the write waits: after an erase, each
  /// fuse write and the lock write, a page write, and a single EEPROM byte write.
  static constexpr std::uint32_t kResetSettleMs = 2;
  static constexpr std::uint32_t kRestartWaitMs = 10;
  static constexpr std::uint32_t kEraseWaitMs = 20;
  static constexpr std::uint32_t kFuseWaitMs = 20;
  static constexpr std::uint32_t kPageWaitMs = 5;
  static constexpr std::uint32_t kEepromByteWaitMs = 10;

  explicit AVRUtils(D2XXUnit& unit) : unit_(unit), run_(unit), spi_(run_, kSpiPins) {}
  AVRUtils(const AVRUtils&) = delete;
  AVRUtils& operator=(const AVRUtils&) = delete;

  /// The waits after writes, for the chip the last identification found.
  AvrWriteDelays Delays;
  /// The chip the last identification found has more than 65,536 flash words: a flash word
  /// address reaches it only with the extended address byte (Load Extended Address,
  /// 4D 00 ext 00), which the flash routines send before the first access of an operation and
  /// whenever the 64 K-word bank changes. Chips of 64 K words or less never get it.
  bool ExtendedFlash = false;
  /// The words one Load Extended Address byte covers.
  static constexpr std::uint32_t kFlashBankWords = 0x10000;

  /// Forgets the bank the chip's extended address register holds, so that the next flash access
  /// sends it: Programming Enable resets the register, and an operation cannot know what ran
  /// before it.
  void ForgetFlashBank() { bank_.reset(); }

  /// Puts v on the pins for one sample; returns the pin state read back.
  std::uint8_t AvrSetPins(std::uint8_t v);
  /// Shifts one byte out and returns the byte shifted in meanwhile (16 samples, one exchange).
  std::uint8_t AvrSpiByte(std::uint8_t value);
  /// Lays bytes as one run from OutSamples[0], writes it and reads as many samples back; the
  /// replies stay in InSamples for ReplyByte. A run the buffers cannot hold is refused with an
  /// error before anything is laid.
  void AvrSpiTransfer(std::span<const std::uint8_t> bytes);

  /// Asserts RESET, waits the entry time (20 ms; 2 ms when RESET was already low) and sends
  /// Programming Enable until the chip echoes 0x53, at most attempts times. Before each retry
  /// RESET gets a positive pulse and the entry time is waited again: a chip that lost step finds
  /// it only so. Returns whether it echoed; callers go on either way (a silent chip shows in what
  /// they read).
  bool AvrProgEnable(int attempts = kProgEnableAttempts);
  /// The four bytes each attempt of the last AvrProgEnable shifted in, in order: what a chip
  /// that did not echo sent instead tells why.
  const std::vector<std::array<std::uint8_t, 4>>& EntryReplies() const { return entryReplies_; }
  /// Chip Erase, then its wait.
  void AvrChipErase();
  std::uint8_t AvrReadSignatureByte(std::uint8_t index);
  /// The three signature bytes, read in one exchange.
  std::array<std::uint8_t, 3> AvrReadSignature();
  /// Reads low, high and extended fuse, in that order.
  AvrFuseBytes AvrReadFuseBytes();
  /// Writes low, high and extended fuse, each followed by its wait: a chip still busy with one
  /// fuse write does not take the next. A byte whose written[i] (0 low, 1 high, 2 extended) is
  /// false is not sent: the chip has no such fuse byte.
  void AvrWriteFuseBytes(const AvrFuseBytes& fuses, std::array<bool, 3> written = {true, true, true});
  std::uint8_t AvrReadLockByte();
  /// Writes the lock byte, then its wait.
  void AvrWriteLockByte(std::uint8_t lock);

  /// Reads n words (n ≤ 511) from word address start on into dest[0..n-1]; without ExtendedFlash
  /// addresses wrap at 65,536. Returns whether the chip still answered at the end of the block: a
  /// chip that let go of MISO reads as erased.
  bool AvrReadFlashBlock(std::uint32_t start, std::uint16_t n, std::span<std::uint16_t> dest);
  /// Loads image[start .. start+n-1] (n ≤ 511) into the page buffer, writes the page at start and
  /// waits. image is indexed by absolute word address. Returns whether the chip still answered
  /// at the end of the batch (see TransferWithLivenessEcho).
  bool AvrWriteFlashPage(std::uint32_t start, std::uint16_t n, std::span<const std::uint16_t> image);
  /// Reads n bytes (1..255) from byte address start on into dest, two bytes per word, low half first.
  void AvrReadEepromBlock(std::span<std::uint16_t> dest, std::uint8_t n, std::uint16_t start);
  /// Loads n bytes (n ≤ 1023) of page p (page size s) from image[p*s ..] and writes the page, then
  /// waits. image is indexed by absolute byte address. Only for chips with EEPROM page commands.
  /// Returns whether the chip still answered at the end of the batch.
  bool AvrWriteEepromPage(std::uint32_t p, std::uint32_t s, std::span<const std::uint8_t> image, std::uint32_t n);
  /// Loads only image[first + offset] for each in-page offset (ascending, at most 1023) and writes
  /// the page at byte address first, then waits: the chip programs the loaded bytes and keeps the
  /// rest of the page as it was. Returns whether the chip still answered at the end of the batch.
  bool AvrWriteEepromPageBytes(std::uint32_t first, std::span<const std::uint8_t> image,
                               std::span<const std::uint32_t> offsets);
  /// Writes one EEPROM byte (erase and write in one cycle), then its wait. Every AVR has this
  /// instruction; it is the only EEPROM write of chips without EEPROM page commands.
  void AvrWriteEepromByte(std::uint16_t address, std::uint8_t value);

  /// The byte shifted in during the byte whose 16 samples start at InSamples[first].
  std::uint8_t ReplyByte(std::uint32_t first) const;

 private:
  /// Appends Programming Enable to a write batch when the buffers have room for it, sends the
  /// batch, and returns whether its echo came back: the chip was still answering when the batch
  /// ended. False also when there was no room: the caller must then look by other means.
  bool TransferWithLivenessEcho(std::vector<std::uint8_t>& bytes);
  /// Appends Load Extended Address to bytes when ExtendedFlash and word lies in another bank than
  /// the chip's register holds.
  void AppendFlashBank(std::vector<std::uint8_t>& bytes, std::uint32_t word);
  /// Four single exchanges; returns the bytes received during each.
  std::array<std::uint8_t, 4> InstructionReplies(const std::array<std::uint8_t, 4>& bytes);
  /// Four single exchanges; returns the byte received during byte number replyAt (0-based).
  std::uint8_t Instruction(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, int replyAt = 3);

  D2XXUnit& unit_;
  SampleRun run_;
  SpiMode0 spi_;
  /// The bank the chip's extended address register holds, when known.
  std::optional<std::uint8_t> bank_;
  std::vector<std::array<std::uint8_t, 4>> entryReplies_;
};

}  // namespace pw
