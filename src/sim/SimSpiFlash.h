#pragma once
/// @file
/// A 25-series SPI NOR flash behind the AVR header's flash adapter, modelled on its datasheet.
/// SPI mode 0, /CS framing: a command is taken when /CS falls and carried out when /CS rises
/// after a whole number of bytes (a frame cut inside a byte is ignored). Read JEDEC ID (0x9F),
/// Read Status (0x05, repeated for as long as the clock runs), Write Enable/Disable (0x06/0x04),
/// Write Status (0x01), Read SFDP (0x5A, parts that have it: sim/SimSfdp.h), Read (0x03, wraps at the end of the chip),
/// Page Program (0x02: clears bits only, the address wraps inside its page), Sector (0x20), Block (0xD8) and Chip
/// (0xC7, 0x60) Erase. Program, erase and status writes need the write-enable latch and clear it. Any set protection
/// bit makes the whole array read-only (the chips protect a part of it; a programmer must clear the bits either way).
/// Under datasheet timing the chip stays busy for its typical times, and while busy takes nothing but Read Status.
///
/// Parts beyond 16 MiB power up in 3-byte mode, where three address bytes reach only the low
/// 16 MiB; B7/E9 enter and leave 4-byte mode (in which 03, 02, 20 and D8 take four address
/// bytes), and parts that have them take 13, 12, 21 and DC with four in either mode.
/// Auto-address-increment parts (SST25VF): 0xAD with an address and two bytes starts a sequence
/// that 0xAD with two bytes continues; while it runs only those, Read Status and Write Disable
/// (which ends it) are taken, status bit 6 shows it, and it ends by itself at the top address.
/// Their status write is allowed by Enable Write Status (0x50) just before it, too.

#include <cstdint>
#include <vector>

#include "sim/SimAvrSpi.h"
#include "sim/SimChips.h"
#include "sim/SimPowerUp.h"
#include "sim/SimSpiFlashParts.h"
#include "sim/StuckCells.h"

namespace pw::sim {

class SimSpiFlash : public SimSpiChip {
 public:
  explicit SimSpiFlash(const SimSpiFlashPart& part);

  std::optional<bool> Step(bool cs, bool sck, bool mosi, const SimEnvironment& env) override;
  void PowerOff() override;
  std::vector<SimMemory> Memories() override { return {{"Memory", &memory_}}; }

  const SimSpiFlashPart& Part() const { return part_; }
  std::vector<std::uint8_t>& Memory() { return memory_; }
  std::uint8_t Status(const SimEnvironment& env) const;
  /// Sets the status register's non-volatile bits (protection) as a bench or a test finds the chip.
  void SetStatus(std::uint8_t value) { status_ = value; }
  /// After each power-up the chip reports WIP and takes nothing but Read Status for length.
  void SetPowerUpBusy(SimTime length) { powerUp_.SetLength(length); }
  /// The next program, erase or status write never ends: a chip that hangs in its write cycle.
  void HangOnNextWrite() { hang_ = true; }
  /// The bit of the byte at address always reads level: a cell that no longer programs or erases.
  void StickBit(std::uint32_t address, int bit, bool level) { stuck_.Stick(address, bit, level); }
  /// Memory bytes Read commands have clocked out since the chip was made.
  std::uint64_t BytesRead() const { return bytesRead_; }
  /// Erases carried out, by command (sector, block, chip) and page programs.
  int SectorErases() const { return sectorErases_; }
  int PagePrograms() const { return pagePrograms_; }
  /// Whether the chip is in 4-byte address mode, and how often B7 or E9 changed or kept it.
  bool FourByteMode() const { return fourByte_; }
  int ModeCommands() const { return modeCommands_; }

 private:
  void OnByte(std::uint8_t byte, const SimEnvironment& env);
  void Keep(std::uint8_t byte);
  void StreamRead();
  /// Read SFDP: the next byte of the area, count bytes into the frame.
  void SfdpByte(std::size_t count);
  void EndFrame(const SimEnvironment& env);
  void Execute(const SimEnvironment& env);
  bool ExecuteMode();
  void ExecuteWrite(const SimEnvironment& env);
  bool ExecuteErase(const SimEnvironment& env);
  void ExecuteAai(const SimEnvironment& env);
  /// Programs the two bytes after header at the sequence's address and moves it on.
  void AaiWord(std::size_t header, const SimEnvironment& env);
  void Erase(std::uint32_t first, std::uint32_t bytes, std::uint32_t ms, const SimEnvironment& env);
  void Program(const SimEnvironment& env);
  void StartBusy(std::uint64_t picos, const SimEnvironment& env);
  bool Busy(const SimEnvironment& env) const { return env.Now < busyUntil_ || powerUp_.Busy(env); }
  /// The address bytes command takes in the present mode (0: none).
  std::size_t AddressBytes(std::uint8_t command) const;
  std::uint32_t Address() const;

  const SimSpiFlashPart& part_;
  std::vector<std::uint8_t> memory_;
  StuckCells stuck_;
  std::uint64_t bytesRead_ = 0;
  /// The SFDP area, empty for a part without one (it then ignores Read SFDP).
  std::vector<std::uint8_t> sfdp_;
  SimAvrSpi spi_;
  bool selected_ = false;
  bool driving_ = false;
  bool sckHigh_ = false;
  /// What DO carries until the next falling SCK edge.
  std::optional<bool> out_;
  std::uint8_t status_ = 0;
  bool wel_ = false;
  /// Enable Write Status was the command before.
  bool ewsr_ = false;
  bool fourByte_ = false;
  int modeCommands_ = 0;
  /// An auto-address-increment sequence runs, at that address.
  bool aai_ = false;
  std::uint32_t aaiAt_ = 0;
  SimTime busyUntil_ = 0;
  SimPowerUpBusy powerUp_;
  bool hang_ = false;
  /// The frame so far: command, address and the bytes of a page program.
  std::vector<std::uint8_t> frame_;
  std::uint32_t readAt_ = 0;
  int sectorErases_ = 0;
  int pagePrograms_ = 0;
};

}  // namespace pw::sim
