#include "setup/LineCheck.h"

#include "d2xx/Wiring.h"
#include "link/SampleRun.h"

// Which patterns tell a stuck line from a shorted pair. A short carries the AND of its two
// lines, so it shows only when one line is driven low while its partner would read high:
// the partner then falls with it ("moves with" the driven line). A line that reads low when
// driven high is stuck low, unless a short to a partner held low explains it; a line that
// reads high when driven low is stuck high (a short never raises a line). Each mode's idle
// levels and inputs differ (inputs read high through their pull-ups): PIC idles with the
// supplies, PGD driver and MCLR high and leaves D5, D6 inputs; AVR holds RESET high and leaves
// D0, D2, D4 inputs; I2C holds SCL high. Across the three, for every pair of lines one is driven
// while the other reads high, so every short shows as a move. D1 is an input in every mode; in
// PIC and I2C it senses the wire D3 pulls low, so it is judged against what D3 reads, and a
// line that falls whenever D3 is driven high (D1 low) is shorted to D1.

namespace pw {
namespace {

constexpr int kSenseLine = 1;
constexpr std::uint8_t kSense = wiring::pic::PgdIn;
constexpr std::uint8_t kSenseDriver = wiring::pic::PgdOut;
static_assert(kSense == wiring::Bit(kSenseLine) && kSense == wiring::i2c::SdaIn && kSenseDriver == wiring::i2c::SdaOut);

/// A protocol mode as the check drives it.
struct CheckMode {
  std::uint8_t Mask;
  /// The levels the mode holds its outputs at between patterns: no target acts on them.
  std::uint8_t Idle;
  /// The lines whose read-back is judged: in AVR mode a chip may drive MISO.
  std::uint8_t Judged;
  /// Whether D1 senses the wire D3 pulls low.
  bool Senses;
};

constexpr CheckMode kModes[] = {
    {kModeAvr.Mask, wiring::avr::Reset, static_cast<std::uint8_t>(~wiring::avr::Miso), false},
    {kModePic.Mask, wiring::pic::SupplyA | wiring::pic::SupplyB | wiring::pic::PgdOut | wiring::pic::Mclr, 0xFF, true},
    {kModeI2c.Mask, wiring::i2c::Scl, 0xFF, true},
};

/// The read-back of one line's two patterns.
struct Reading {
  std::uint8_t Low;
  std::uint8_t High;
};

bool Is(std::uint8_t levels, std::uint8_t bit) { return (levels & bit) != 0; }

struct Judge {
  LineVerdicts Verdicts;
  /// Lines that read low when they should read high: stuck, unless a short explains it.
  std::uint8_t Low = 0;

  void Short(int a, int b) {
    Verdicts.ShortedTo[static_cast<std::size_t>(a)] |= wiring::Bit(b);
    Verdicts.ShortedTo[static_cast<std::size_t>(b)] |= wiring::Bit(a);
  }
  /// D1 reads the inverse of what D3 carries.
  void Sense(std::uint8_t levels) {
    if (Is(levels, kSense) && Is(levels, kSenseDriver)) Verdicts.StuckHigh |= kSense;
    if (!Is(levels, kSense) && !Is(levels, kSenseDriver)) Low |= kSense;
  }
  void Line(const CheckMode& mode, int line, Reading r);
  void Moves(const CheckMode& mode, int line, Reading r);
};

void Judge::Line(const CheckMode& mode, int line, Reading r) {
  const std::uint8_t bit = wiring::Bit(line);
  if (!Is(r.High, bit)) Low |= bit;
  if (Is(r.Low, bit)) Verdicts.StuckHigh |= bit;
  if (mode.Senses) {
    Sense(r.Low);
    Sense(r.High);
  }
  Moves(mode, line, r);
}

void Judge::Moves(const CheckMode& mode, int line, Reading r) {
  // D1 follows D3 by design; it moves on its own only when D3 held still.
  const bool senseMoves = mode.Senses && Is(static_cast<std::uint8_t>(r.Low ^ r.High), kSenseDriver);
  for (int other = 0; other < 8; ++other) {
    const std::uint8_t bit = wiring::Bit(other);
    if (other == line || !Is(mode.Judged, bit) || (bit == kSense && senseMoves)) continue;
    if (!Is(r.Low, bit) && Is(r.High, bit)) Short(line, other);
    const bool against = Is(r.Low, bit) && !Is(r.High, bit);
    if (against && wiring::Bit(line) == kSenseDriver && mode.Senses && bit != kSense) Short(kSenseLine, other);
  }
}

/// Lays idle, then per output line: high, low, idle; returns the reading of each output line.
std::array<Reading, 8> Drive(D2XXUnit& unit, const CheckMode& mode) {
  unit.FtSetBitMode(mode.Mask, FT_BITMODE_SYNC_BITBANG);
  SampleRun run(unit);
  run.Put(mode.Idle);
  for (int line = 0; line < 8; ++line) {
    const std::uint8_t bit = wiring::Bit(line);
    if (!Is(mode.Mask, bit)) continue;
    run.Put(static_cast<std::uint8_t>(mode.Idle | bit));
    run.Put(static_cast<std::uint8_t>(mode.Idle & ~bit));
    run.Put(mode.Idle);
  }
  run.Exchange();
  // Each sample's levels are read back with the sample after it.
  std::array<Reading, 8> readings{};
  std::uint32_t at = 1;
  for (int line = 0; line < 8; ++line) {
    if (!Is(mode.Mask, wiring::Bit(line))) continue;
    readings[static_cast<std::size_t>(line)] = {run.In(at + 2), run.In(at + 1)};
    at += 3;
  }
  return readings;
}

}  // namespace

bool LineVerdicts::AllWell() const {
  std::uint8_t shorted = 0;
  for (std::uint8_t partners : ShortedTo) shorted |= partners;
  return (StuckLow | StuckHigh | shorted) == 0;
}

LineVerdicts CheckLines(D2XXUnit& unit) {
  Judge judge;
  for (const CheckMode& mode : kModes) {
    const auto readings = Drive(unit, mode);
    for (int line = 0; line < 8; ++line) {
      if (Is(mode.Mask, wiring::Bit(line))) judge.Line(mode, line, readings[static_cast<std::size_t>(line)]);
    }
  }
  unit.FtSetBitMode(kModeNone.Mask, FT_BITMODE_SYNC_BITBANG);
  LineVerdicts verdicts = judge.Verdicts;
  for (int line = 0; line < 8; ++line) {
    const std::uint8_t bit = wiring::Bit(line);
    if (Is(judge.Low, bit) && verdicts.ShortedTo[static_cast<std::size_t>(line)] == 0) verdicts.StuckLow |= bit;
  }
  return verdicts;
}

}  // namespace pw
