#pragma once
/// @file
/// `PICUtils`: the PIC in-circuit serial programming protocol as pin samples, in three layers.
/// Primitives (PicPrimitives.cpp) lay single samples with a capacity check, exchange a run and
/// decode a read frame; commands and frames (PicFrames.cpp) lay 6-bit commands, 16-clock data and
/// read frames, idle and the programming wait; device operations (PicReads.cpp, PicWrites.cpp,
/// PicErase.cpp, PicCalibration.cpp) build whole runs for reads, writes and erases.
///
/// A run is laid on the shared sample-run engine (link/SampleRun.h) from index 0 with a position
/// counter owned by the caller; PicFlush exchanges it and sets the position back to 0. No run
/// ever grows past the sample buffers: a put that would is refused with an error, and the write
/// routines split their blocks into as many runs as needed. The target's address is never sent: every routine relies
/// on the counter the target keeps, which entry starts afresh and command 6 advances. Nothing here
/// opens the programmer, logs or touches the window.

#include <cstdint>
#include <functional>
#include <span>

#include "link/D2xxUnit.h"
#include "link/SampleRun.h"

namespace pw {

/// The result of a write routine when every word or byte compared equal.
inline constexpr std::int32_t NoError = 0xFFFF;

class PICUtils {
 public:
  // The five sample values the protocol writes (D7 clock, D4 MCLR control, D3 inverted data, D2/D0 held 1).
  static constexpr std::uint8_t kClockHighOne = 0x85;
  static constexpr std::uint8_t kClockLowOne = 0x05;
  static constexpr std::uint8_t kClockHighZero = 0x8D;
  static constexpr std::uint8_t kClockLowZero = 0x0D;
  static constexpr std::uint8_t kEntryPulse = 0x1D;
  static constexpr std::uint8_t kIdle = kClockLowOne;

  static constexpr std::int32_t kCommandSamples = 12;
  static constexpr std::int32_t kFrameSamples = 32;
  static constexpr std::int32_t kIdleSamples = 10;
  /// Wait count per idle sample of the programming wait.
  static constexpr std::int32_t kWaitDivisor = 35;
  /// Words of the configuration area that PicReadConfigWords reads (0x2000 to 0x2008).
  static constexpr std::int32_t kConfigWords = 9;

  explicit PICUtils(D2XXUnit& unit) : unit_(unit), run_(unit) {}

  // --- Primitives ---------------------------------------------------------------------------
  /// Puts sample at OutSamples[0], writes and reads one sample, returns InSamples[0].
  std::uint8_t PicExchangeOne(std::uint8_t sample);
  /// EnterType 0 or 1: MCLR pulse (0x1D, 10 ms, 0x0D), which restarts the target's counter; other types send nothing.
  void PicEnterProgramming(std::int32_t enterType);
  /// Exchanges the run of position samples; position becomes 0.
  void PicFlush(std::int32_t& position);
  /// The 16-bit value of the read clocks laid at run index r: bit b from D1 of InSamples[r + 3 + 2b].
  std::uint16_t PicDecodeWord(std::int32_t r) const;

  // --- Commands and frames (each advances position by what it lays) -------------------------
  /// Command bits 0..5, least significant first: 12 samples.
  void PicPutCommand(std::int32_t& position, int command);
  /// Start bit 0, value bits 0..13, stop bit 0: 32 samples.
  void PicPutDataWord(std::int32_t& position, std::uint16_t value);
  /// Sixteen clocks with the data line released: 32 samples.
  void PicPutReadClocks(std::int32_t& position);
  /// Ten idle samples.
  void PicPutIdle(std::int32_t& position);
  /// waitCount / 35 idle samples: the programming wait.
  void PicPutDelay(std::int32_t& position, std::int32_t waitCount);

  // --- Device operations (the caller enters programming mode first) ------------------------
  /// The erase runs of eraseType (1, 2, 3, 4), each exchanged and followed by 100 ms; others send nothing.
  void PicEraseChip(std::int32_t eraseType);
  /// n words from the counter on, masked 0x3FFF.
  void PicReadProgramWords(std::uint16_t n, std::span<std::uint16_t> destination);
  /// n data-memory bytes from the counter on.
  void PicReadDataBytes(std::uint16_t n, std::span<std::uint8_t> destination);
  /// Load Configuration, then words 0x2000 to 0x2008 unmasked into destination[0 .. 17], low byte first.
  void PicReadConfigWords(std::span<std::uint8_t> destination);
  /// Baseline parts (no Load Configuration): right after entry the counter stands at the
  /// configuration word. Reads it into destination[14, 15] and the four ID words that follow
  /// program memory (flashSize words) into destination[0 .. 7]; the other bytes of the 18 become 0xFF.
  void PicReadBaselineConfig(std::uint16_t flashSize, std::span<std::uint8_t> destination);

  /// Program image[start .. start + count - 1] from the counter on and verify each word; result
  /// becomes NoError or the index of the first word that read back different. 1: Begin
  /// Erase/Programming (mask 0x3FFF); 2: baseline Begin/End Programming (mask 0xFFF); 3: Begin
  /// Programming Only and End Programming (mask 0x3FFF: the parts are 14-bit).
  void PicProgramWords1(std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                        std::int32_t waitCount, std::int32_t& result);
  void PicProgramWords2(std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                        std::int32_t waitCount, std::int32_t& result);
  void PicProgramWords3(std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                        std::int32_t waitCount, std::int32_t& result);
  /// Program length / 2 data locations from image[start], image[start + 2], ...; result NoError or
  /// the image offset of the first byte that read back different.
  void PicProgramDataBytes(std::uint16_t start, std::uint16_t length, std::span<const std::uint8_t> image,
                           std::int32_t waitCount, std::int32_t& result);
  /// One word at the counter with loadCommand (0 Load Configuration, 2 Load Data), read back; flag
  /// becomes mask when (read AND mask) differs from (value AND mask). ProgrammType 2 (baseline)
  /// ends the cycle with command 14 and, having no Load Configuration, loads with command 2: its
  /// counter already stands at the configuration word after entry.
  void PicProgramOneWord(std::uint16_t value, std::int32_t& flag, std::int32_t mask, std::int32_t programmType,
                         int loadCommand, std::int32_t waitCount);

  /// Baseline parts: the program word at address (entry, then address + 1 increments from the
  /// configuration word), for keeping the factory calibration across an erase.
  std::uint16_t PicReadCalibration(std::int32_t enterType, std::uint16_t address);
  /// Baseline parts: writes value back at address (the word must be erased) and returns whether it read back equal.
  bool PicWriteCalibration(std::int32_t enterType, std::uint16_t address, std::uint16_t value, std::int32_t waitCount);

 private:
  /// Lays one sample; refuses, before laying, a run that would outgrow the sample buffers.
  void Put(std::int32_t& position, std::uint8_t sample);
  /// Refuses a run that would need more than the buffers hold.
  static void CheckFits(std::int64_t samples);
  void PutBit(std::int32_t& position, bool one);
  /// The shared write-and-verify loop: count items of perWord samples, as many per run as fit.
  template <typename Lay, typename Same>
  void ProgramInRuns(std::int32_t count, std::int32_t perWord, std::int32_t readAt, Lay lay, Same same,
                     std::int32_t& result, std::int32_t firstIndex, std::int32_t indexStep);
  void ProgramWords(int programmType, std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                    std::int32_t waitCount, std::int32_t& result);
  void PutReadWord(std::int32_t& position, int command);
  /// Reads n words with command in runs the buffers hold; take(i, word) gets each raw word.
  void ReadRuns(std::int32_t n, int command, const std::function<void(std::int32_t, std::uint16_t)>& take);

  D2XXUnit& unit_;
  SampleRun run_;
};

}  // namespace pw
