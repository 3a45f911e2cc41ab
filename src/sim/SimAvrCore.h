#pragma once
/// @file
/// The memories of a simulated AVR as its serial programming instructions reach them: flash with
/// its page buffer, EEPROM (page buffer where the part has one, byte writes on every part),
/// signature, calibration, fuse and lock bytes, chip erase, the lock modes and the write cycles.
/// Under the datasheet timing model a write keeps the chip busy for the part's write-cycle time:
/// meanwhile what is being written reads 0xFF and no further write is taken.

#include <array>
#include <cstdint>
#include <vector>

#include "sim/SimAvrParts.h"
#include "sim/SimTime.h"
#include "sim/StuckCells.h"

namespace pw::sim {

class SimAvrCore {
 public:
  explicit SimAvrCore(const SimAvrPart& part);

  const SimAvrPart& Part() const { return part_; }

  /// Flash, two bytes per word, low byte first: the bench's "Flash" memory.
  std::vector<std::uint8_t> Flash;
  /// The bench's "Eeprom" memory.
  std::vector<std::uint8_t> Eeprom;
  /// Low, high and extended fuse byte, then the lock byte: the bench's "FuseFile" memory, so that
  /// a chip keeps its fuses and lock bits between runs as it keeps flash and EEPROM.
  std::vector<std::uint8_t> FusesAndLock;

  std::uint8_t ReadSignature(std::uint8_t index) const;
  std::uint8_t ReadCalibration(std::uint8_t index) const;
  /// Fuse byte 0 low, 1 high, 2 extended; bits that do not exist read 1.
  std::uint8_t ReadFuse(int which, const SimEnvironment& env) const;
  std::uint8_t ReadLock(const SimEnvironment& env) const;
  /// Sets the fuse and lock bytes directly (a bench's settings), as far as their bits exist.
  void SetFuses(const std::array<std::uint8_t, 3>& fuses);
  void SetLock(std::uint8_t lock);

  /// A flash cell that always reads level, whatever is programmed or erased: bit of the flash byte
  /// at byteAddress (two bytes per word, low byte first).
  void StickFlashBit(std::uint32_t byteAddress, int bit, bool level);

  /// Byte high (or low) of the word at word address.
  std::uint8_t ReadFlash(std::uint32_t word, bool high, const SimEnvironment& env) const;
  /// Loads one byte of the page buffer; only the in-page bits of word count. A low byte waits in a
  /// latch until the high byte of its word comes. Ignored while a write cycle runs.
  void LoadFlashPage(std::uint32_t word, bool high, std::uint8_t data, const SimEnvironment& env);
  /// Programs the page buffer into the page that word lies in (old AND new), then empties it.
  void WriteFlashPage(std::uint32_t word, const SimEnvironment& env);

  std::uint8_t ReadEeprom(std::uint32_t address, const SimEnvironment& env) const;
  void WriteEepromByte(std::uint32_t address, std::uint8_t data, const SimEnvironment& env);
  /// Page commands; a part without them ignores both. A load while a write cycle runs is lost.
  void LoadEepromPage(std::uint32_t offset, std::uint8_t data, const SimEnvironment& env);
  void WriteEepromPage(std::uint32_t address, const SimEnvironment& env);

  /// Writes a fuse byte as far as its bits exist; SPIEN stays programmed whatever is written.
  void WriteFuse(int which, std::uint8_t value, const SimEnvironment& env);
  /// The fuse bytes as the chip holds them (not as a running write cycle shows them).
  std::array<std::uint8_t, 3> Fuses() const;
  /// Lock bits can only be programmed (cleared); chip erase sets them again.
  void WriteLock(std::uint8_t value, const SimEnvironment& env);
  /// Flash and (unless EESAVE is programmed) EEPROM to 0xFF, lock bits cleared, fuses kept.
  void ChipErase(const SimEnvironment& env);

  /// A write cycle is running.
  bool Busy(const SimEnvironment& env) const { return env.Now < busyUntil_; }
  /// Forgets the page buffers and any running write cycle's effect on reads (supply lost).
  void ResetBuffers();

 private:
  /// What a running write cycle is changing.
  enum class Cycle { None, FlashPage, Eeprom, Fuses, Erase };

  /// Starts a write cycle unless one is running; false when the chip is still busy.
  bool StartCycle(Cycle cycle, std::uint32_t micros, const SimEnvironment& env);
  bool Reading(Cycle cycle, const SimEnvironment& env) const;
  /// Lock mode 2 or 3: flash, EEPROM and fuses can no longer be programmed.
  bool ProgrammingLocked() const { return (Lock() & 0x03) != 0x03; }
  /// Lock mode 3: flash and EEPROM can no longer be read either.
  bool VerifyLocked() const { return (Lock() & 0x02) == 0; }
  /// The lock byte as the chip holds it; bits the part lacks read 1 (also from a bench's file).
  std::uint8_t Lock() const;
  std::uint16_t FlashWord(std::uint32_t word) const;
  const SimAvrPart& part_;
  std::vector<std::uint16_t> pageBuffer_;
  std::uint8_t lowLatch_ = 0xFF;
  std::vector<std::uint8_t> eepromBuffer_;
  std::vector<bool> eepromLoaded_;
  Cycle cycle_ = Cycle::None;
  SimTime busyUntil_ = 0;
  /// The flash page or EEPROM bytes the running cycle writes.
  std::uint32_t cycleFirst_ = 0;
  std::uint32_t cycleCount_ = 0;
  StuckCells stuck_;
};

}  // namespace pw::sim
