#pragma once
/// @file
/// `PICUtils`: the PIC in-circuit serial programming protocol as pin samples, in three layers.
/// Primitives (PicPrimitives.cpp) lay single samples with a capacity check, exchange a run and
/// decode a read frame; commands and frames (PicFrames.cpp) lay 6-bit commands, 16-clock data and
/// read frames, idle and the programming wait; device operations (PicReads.cpp, PicWrites.cpp,
/// PicErase.cpp, PicCalibration.cpp) build whole runs for reads, writes and erases.
///
/// Every put lays at the end of the run on the shared sample-run engine (link/SampleRun.h);
/// PicFlush exchanges the whole run and starts a new one. A reply is read by its mark: the run's
/// length when its read clocks were laid. No run ever grows past the sample buffers: a put that
/// would is refused with an error, and the write routines split their blocks into as many runs
/// as needed. The target's address is never sent: every routine relies on the counter the target
/// keeps, which entry starts afresh and command 6 advances. Nothing here opens the programmer,
/// logs or touches the window.

#include <cstdint>
#include <functional>
#include <span>

#include "d2xx/Wiring.h"
#include "link/D2xxUnit.h"
#include "link/SampleRun.h"
#include "pic/PicMethods.h"

namespace pw {

/// The result of a write routine when every word or byte compared equal.
inline constexpr std::int32_t NoError = 0xFFFF;

class PICUtils {
 public:
  // The five sample values the protocol writes: the supply held on, MCLR low (Vpp applied) but
  // in the entry pulse, the data driver inverted (set for a 0 bit), the clock high then low.
  static constexpr std::uint8_t kClockLowOne = wiring::pic::SupplyA | wiring::pic::SupplyB;
  static constexpr std::uint8_t kClockHighOne = kClockLowOne | wiring::pic::Pgc;
  static constexpr std::uint8_t kClockLowZero = kClockLowOne | wiring::pic::PgdOut;
  static constexpr std::uint8_t kClockHighZero = kClockLowZero | wiring::pic::Pgc;
  static constexpr std::uint8_t kEntryPulse = kClockLowZero | wiring::pic::Mclr;
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
  /// MclrPulse: the pulse (0x1D, 10 ms, 0x0D), which restarts the target's counter; Nothing sends nothing.
  void PicEnterProgramming(PicEntry entry);
  /// Exchanges the run laid so far and starts a new, empty one.
  void PicFlush();
  /// Where the next sample goes in the run: taken just before read clocks are laid, the mark
  /// their reply is decoded from once the run is exchanged.
  std::uint32_t Mark() const { return run_.Length(); }
  /// The 16-bit value of the read clocks laid at mark: bit b from D1 of InSamples[mark + 3 + 2b].
  std::uint16_t PicDecodeWord(std::uint32_t mark) const;

  // --- Commands and frames (each lays its samples at the end of the run) --------------------
  /// Command bits 0..5, least significant first: 12 samples.
  void PicPutCommand(int command);
  /// Start bit 0, value bits 0..13, stop bit 0: 32 samples.
  void PicPutDataWord(std::uint16_t value);
  /// Sixteen clocks with the data line released: 32 samples.
  void PicPutReadClocks();
  /// Ten idle samples.
  void PicPutIdle();
  /// waitCount / 35 idle samples: the programming wait.
  void PicPutDelay(std::int32_t waitCount);

  // --- Device operations (the caller enters programming mode first) ------------------------
  /// The erase runs of erase, each exchanged and followed by waitMs; Nothing sends nothing.
  /// BulkFromConfig erases data memory only when the type has it (dataMemory).
  void PicEraseChip(PicErase erase, bool dataMemory = true, std::int32_t waitMs = kPicEraseRunMs);
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
  /// The same with any method: 4 programs like 2 (Begin Programming, End Programming 14) with 14-bit words.
  void ProgramWords(PicProgramming programming, std::uint16_t start, std::uint16_t count,
                    std::span<const std::uint16_t> image, std::int32_t waitCount, std::int32_t& result);
  /// Program image[start .. start + count - 1] from the counter on (start a multiple of
  /// latchWords) through the write latch: each latch block's words loaded with Load Data and
  /// Increment between them (words past the end as 0x3FFF, which a program-only cycle leaves as
  /// the chip has them), Begin Programming Only (24), the wait, endCommand, Increment. No read
  /// back: the caller verifies the words afterwards.
  void PicProgramLatched(std::uint16_t start, std::uint16_t count, std::span<const std::uint16_t> image,
                         std::int32_t latchWords, int endCommand, std::int32_t waitCount);
  /// Program length / 2 data locations from image[start], image[start + 2], ...; result NoError or
  /// the image offset of the first byte that read back different.
  void PicProgramDataBytes(std::uint16_t start, std::uint16_t length, std::span<const std::uint8_t> image,
                           std::int32_t waitCount, std::int32_t& result);
  /// One word at the counter with loadCommand (0 Load Configuration, 2 Load Data), read back; flag
  /// becomes mask when (read AND mask) differs from (value AND mask). Baseline parts end the
  /// cycle with command 14 and, having no Load Configuration, load with command 2: their counter
  /// already stands at the configuration word after entry. LatchedProgramOnly parts program it
  /// with Begin Programming Only (24) and End Programming (23), the others with command 8.
  void PicProgramOneWord(std::uint16_t value, std::int32_t& flag, std::int32_t mask, PicProgramming programming,
                         int loadCommand, std::int32_t waitCount);

  /// The program word at address after a fresh entry (baseline parts step from the configuration
  /// word, 14-bit ones from word 0), masked to the word: a factory calibration word.
  std::uint16_t PicReadCalibration(PicEntry entry, PicProgramming programming, std::uint16_t address);
  /// Writes value back at address (the word must be erased) with the type's method and returns
  /// whether it read back equal.
  bool PicWriteCalibration(PicEntry entry, PicProgramming programming, std::uint16_t address, std::uint16_t value,
                           std::int32_t waitCount);

 private:
  /// Lays one sample; refuses, before laying, a run that would outgrow the sample buffers.
  void Put(std::uint8_t sample);
  /// Refuses a run that would need more than the buffers hold.
  static void CheckFits(std::int64_t samples);
  /// Refuses more samples than fit after the run laid so far.
  void CheckRoomFor(std::int64_t more) const { CheckFits(static_cast<std::int64_t>(Mark()) + more); }
  void PutBit(bool one);
  /// Exchanges an erase run and waits the 100 ms every erase run is given.
  void FinishEraseRun(std::int32_t waitMs);
  /// EraseType 5: Load Configuration 0x3FFF, 9, then 11 when the type has data memory.
  void EraseFromConfig(bool dataMemory, std::int32_t waitMs);
  /// The shared write-and-verify loop: count items of perWord samples, as many per run as fit;
  /// lay(i) lays item i and returns the mark of its read clocks.
  template <typename Lay, typename Same>
  void ProgramInRuns(std::int32_t count, std::int32_t perWord, Lay lay, Same same, std::int32_t& result,
                     std::int32_t firstIndex, std::int32_t indexStep);
  /// Read command, idle, read clocks, Increment Address, idle; returns the read clocks' mark.
  std::uint32_t PutReadWord(int command);
  /// The read-back after a write: read command, read clocks, idle, Increment Address; returns the read clocks' mark.
  std::uint32_t PutReadBack(int command);
  /// One latch block from the counter on: words first .. first + latchWords - 1, those from end
  /// on as 0x3FFF.
  void PutLatch(std::span<const std::uint16_t> image, std::int32_t first, std::int32_t end, std::int32_t latchWords,
                int endCommand, std::int32_t waitCount);
  /// Reads n words with command in runs the buffers hold; take(i, word) gets each raw word.
  void ReadRuns(std::int32_t n, int command, const std::function<void(std::int32_t, std::uint16_t)>& take);

  D2XXUnit& unit_;
  SampleRun run_;
};

}  // namespace pw
