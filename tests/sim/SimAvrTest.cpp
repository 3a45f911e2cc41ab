// The simulated AVR at its pins: the SPI echo, programming mode and sync, the page buffers,
// programming that only clears bits, erase, lock modes and busy write cycles.

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "sim/SimAvr.h"

namespace pw::sim {
namespace {

using Reply = std::array<std::uint8_t, 4>;

/// A programmer at the chip's pins, one SCK phase per 4 microseconds (a 1 MHz chip needs more than 2).
class Pins {
 public:
  explicit Pins(const char* part, TimingModel timing = TimingModel::Lenient) : Chip(*FindSimAvrPart(part)) {
    env_.Timing = timing;
  }

  std::optional<bool> Sample(bool reset, bool sck, bool mosi) {
    env_.Now += 4 * kPicosPerMicro;
    const auto miso = Chip.Step(reset, sck, mosi, env_);
    // The programmer samples MISO where SCK rises: it must not change there.
    if (sck && !sck_ && miso != miso_) ++MisoChangesAtRise;
    sck_ = sck;
    miso_ = miso;
    return miso;
  }
  void Release() { Sample(true, false, false); }
  void Hold() { Sample(false, false, false); }
  /// One SCK pulse with MOSI low.
  void Pulse() {
    Sample(false, true, false);
    Sample(false, false, false);
  }
  std::uint8_t Byte(std::uint8_t b) {
    std::uint8_t got = 0;
    for (int bit = 7; bit >= 0; --bit) {
      const bool out = ((b >> bit) & 1) != 0;
      got = static_cast<std::uint8_t>((got << 1) | (Sample(false, false, out).value_or(true) ? 1 : 0));
      Sample(false, true, out);
    }
    return got;
  }
  Reply Send(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
    return {Byte(b0), Byte(b1), Byte(b2), Byte(b3)};
  }
  std::uint8_t Read(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) { return Send(b0, b1, b2, 0x00)[3]; }
  /// Reset pulse, then Programming Enable; returns the byte echoed during the third byte.
  std::uint8_t Enter() {
    Release();
    Hold();
    Advance(20'000);  // the entry wait of the datasheets
    return Send(0xAC, 0x53, 0x00, 0x00)[2];
  }
  std::uint16_t FlashWord(std::uint32_t w) {
    return static_cast<std::uint16_t>(Read(0x28, w >> 8, w & 0xFF) << 8 | Read(0x20, w >> 8, w & 0xFF));
  }
  void LoadWord(std::uint32_t w, std::uint16_t value) {
    Send(0x40, w >> 8, w & 0xFF, value & 0xFF);
    Send(0x48, w >> 8, w & 0xFF, value >> 8);
  }
  void WritePage(std::uint32_t w) { Send(0x4C, w >> 8, w & 0xFF, 0x00); }
  /// Loads word w into the page buffer and writes the page at page.
  void ProgramWord(std::uint32_t w, std::uint16_t value, std::uint32_t page) {
    LoadWord(w, value);
    WritePage(page);
  }
  void Advance(std::uint32_t us) { env_.Now += us * kPicosPerMicro; }

  SimAvr Chip;
  int MisoChangesAtRise = 0;

 private:
  SimEnvironment env_;
  bool sck_ = false;
  std::optional<bool> miso_;
};

TEST(SimAvr, EachByteEchoesTheOneBeforeAndReadsAnswerInTheFourth) {
  Pins pins("ATmega328P");
  EXPECT_EQ(pins.Enter(), 0x53);
  const Reply echo = pins.Send(0x12, 0x34, 0x56, 0x78);
  EXPECT_EQ(echo[1], 0x12);
  EXPECT_EQ(echo[2], 0x34);
  EXPECT_EQ(echo[3], 0x56);
  EXPECT_EQ(pins.Send(0x30, 0x00, 0x00, 0x00), (Reply{0x78, 0x30, 0x00, 0x1E}));
  EXPECT_EQ(pins.Read(0x30, 0x00, 0x01), 0x95);
  EXPECT_EQ(pins.Read(0x30, 0x00, 0x02), 0x0F);
  EXPECT_EQ(pins.Read(0x38, 0x00, 0x00), FindSimAvrPart("ATmega328P")->Calibration);
}

TEST(SimAvr, TheFirstProgrammingEnableEchoesOneByteLateAndMisoHoldsWhereSckRises) {
  Pins pins("ATmega328P");
  pins.Release();
  pins.Hold();
  EXPECT_EQ(pins.Send(0xAC, 0x53, 0x00, 0x00), (Reply{0xFF, 0xAC, 0x53, 0x00}));
  pins.Send(0x30, 0x00, 0x00, 0x00);
  EXPECT_EQ(pins.MisoChangesAtRise, 0);
}

TEST(SimAvr, ProgrammingModeNeedsResetHeldLow) {
  Pins pins("ATmega328P");
  pins.Release();
  // Released, the chip leaves MISO alone and ignores the clock.
  EXPECT_FALSE(pins.Sample(true, true, true).has_value());
  for (int i = 0; i < 32; ++i) pins.Sample(true, i % 2, true);
  EXPECT_FALSE(pins.Chip.ProgrammingEnabled());
  pins.Hold();
  EXPECT_NE(pins.Read(0x30, 0x00, 0x00), 0x1E);  // not in programming mode: only the echo
  EXPECT_EQ(pins.Send(0xAC, 0x53, 0x00, 0x00)[2], 0x53);
  EXPECT_TRUE(pins.Chip.ProgrammingEnabled());
  EXPECT_EQ(pins.Read(0x30, 0x00, 0x00), 0x1E);
  // Releasing RESET ends programming mode.
  pins.Release();
  pins.Hold();
  EXPECT_FALSE(pins.Chip.ProgrammingEnabled());
}

TEST(SimAvr, ASlippedBitLosesSyncUntilResetIsPulsed) {
  Pins pins("ATmega328P");
  pins.Release();
  pins.Hold();
  pins.Pulse();
  for (int attempt = 0; attempt < 5; ++attempt) {
    pins.Hold();
    EXPECT_NE(pins.Send(0xAC, 0x53, 0x00, 0x00)[2], 0x53);
  }
  EXPECT_FALSE(pins.Chip.ProgrammingEnabled());
  EXPECT_NE(pins.Read(0x30, 0x00, 0x00), 0x1E);
  EXPECT_EQ(pins.Enter(), 0x53);
  EXPECT_EQ(pins.Read(0x30, 0x00, 0x00), 0x1E);
}

TEST(SimAvr, PageBufferTakesInPageBitsLowBeforeHighAndEmptiesAfterAWrite) {
  Pins pins("ATmega328P");  // 64-word pages
  pins.Enter();
  pins.LoadWord(0x0103, 0xABCD);  // page bits of the load do not count
  pins.WritePage(0x0140);
  EXPECT_EQ(pins.FlashWord(0x0143), 0xABCD);
  EXPECT_EQ(pins.FlashWord(0x0103), 0xFFFF);
  EXPECT_EQ(pins.FlashWord(0x0142), 0xFFFF);
  // A high byte without its low byte before it leaves the low byte erased.
  pins.Send(0x48, 0x00, 0x05, 0x12);
  pins.Send(0x40, 0x00, 0x05, 0x34);
  pins.WritePage(0x0000);
  EXPECT_EQ(pins.FlashWord(0x0005), 0x12FF);
  // The buffer was emptied by the write: writing again changes nothing.
  pins.WritePage(0x0140);
  EXPECT_EQ(pins.FlashWord(0x0143), 0xABCD);
}

TEST(SimAvr, ProgrammingOnlyClearsBits) {
  Pins pins("ATtiny85");
  pins.Enter();
  pins.ProgramWord(7, 0x0F0F, 0);
  pins.ProgramWord(7, 0xF0FF, 0);
  EXPECT_EQ(pins.FlashWord(7), 0x000F);
}

TEST(SimAvr, EepromPagesChangeOnlyLoadedBytesAndByteWritesReplace) {
  Pins pins("ATmega328P");
  pins.Enter();
  for (std::uint8_t a = 8; a < 12; ++a) pins.Send(0xC0, 0x00, a, 0x0F);
  pins.Send(0xC1, 0x00, 0x00, 0xA0);
  pins.Send(0xC1, 0x00, 0x06, 0xA2);  // in-page bits only: offset 2
  pins.Send(0xC2, 0x00, 0x09, 0x00);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 8), 0xA0);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 9), 0x0F);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 10), 0xA2);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 11), 0x0F);
  pins.Send(0xC0, 0x00, 9, 0xF0);  // erase and write: bits come back to 1
  EXPECT_EQ(pins.Read(0xA0, 0x00, 9), 0xF0);
}

TEST(SimAvr, PartsWithoutEepromPagesIgnorePageCommands) {
  Pins pins("ATmega8A");
  pins.Enter();
  pins.Send(0xC1, 0x00, 0x00, 0x55);
  pins.Send(0xC2, 0x00, 0x00, 0x00);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 0x00), 0xFF);
  pins.Send(0xC0, 0x00, 0x00, 0x55);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 0x00), 0x55);
}

TEST(SimAvr, ChipEraseClearsMemoriesAndLockKeepsFusesAndHonoursEesave) {
  Pins pins("ATmega328P");
  pins.Enter();
  pins.ProgramWord(0, 0x1234, 0);
  pins.Send(0xC0, 0x00, 0x00, 0x42);
  pins.Send(0xAC, 0xE0, 0x00, 0xC0);
  pins.Send(0xAC, 0x80, 0x00, 0x00);
  EXPECT_EQ(pins.FlashWord(0), 0xFFFF);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 0x00), 0xFF);
  EXPECT_EQ(pins.Read(0x58, 0x00, 0x00), 0xFF);
  EXPECT_EQ(pins.Read(0x58, 0x08, 0x00), 0xD9);
  // EESAVE programmed (high fuse bit 3 = 0): the EEPROM survives.
  pins.Send(0xAC, 0xA8, 0x00, 0xD1);
  pins.Send(0xC0, 0x00, 0x00, 0x42);
  pins.ProgramWord(0, 0x1234, 0);
  pins.Send(0xAC, 0x80, 0x00, 0x00);
  EXPECT_EQ(pins.FlashWord(0), 0xFFFF);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 0x00), 0x42);
}

TEST(SimAvr, LockModesStopProgrammingThenReading) {
  Pins pins("ATmega328P");
  pins.Enter();
  pins.ProgramWord(0, 0x1234, 0);
  pins.Send(0xAC, 0xE0, 0x00, 0xFE);  // mode 2
  pins.ProgramWord(0, 0x0000, 0);
  pins.Send(0xC0, 0x00, 0x00, 0x00);
  pins.Send(0xAC, 0xA0, 0x00, 0x00);
  EXPECT_EQ(pins.FlashWord(0), 0x1234);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 0x00), 0xFF);
  EXPECT_EQ(pins.Read(0x50, 0x00, 0x00), 0x62);
  pins.Send(0xAC, 0xE0, 0x00, 0xFC);  // mode 3
  EXPECT_EQ(pins.FlashWord(0), 0xFFFF);
  EXPECT_EQ(pins.Read(0x30, 0x00, 0x01), 0x95);
  EXPECT_EQ(pins.Read(0x50, 0x00, 0x00), 0x62);
  // Lock bits are only ever programmed; erase is the way back.
  pins.Send(0xAC, 0xE0, 0x00, 0xFF);
  EXPECT_EQ(pins.Read(0x58, 0x00, 0x00), 0xFC);
  pins.Send(0xAC, 0x80, 0x00, 0x00);
  EXPECT_EQ(pins.Read(0x58, 0x00, 0x00), 0xFF);
  EXPECT_EQ(pins.FlashWord(0), 0xFFFF);
}

TEST(SimAvr, FuseBitsThatDoNotExistReadOne) {
  Pins pins("ATmega328P");
  pins.Enter();
  pins.Send(0xAC, 0xA4, 0x00, 0x00);
  EXPECT_EQ(pins.Read(0x50, 0x08, 0x00), 0xF8);
  Pins tiny("ATtiny13A");
  tiny.Enter();
  tiny.Send(0xAC, 0xA8, 0x00, 0x00);
  EXPECT_EQ(tiny.Read(0x58, 0x08, 0x00), 0xE0);
  EXPECT_EQ(tiny.Read(0x50, 0x08, 0x00), 0xFF);  // no extended fuse at all
  EXPECT_EQ(tiny.Read(0x58, 0x00, 0x00), 0xFF);
}

TEST(SimAvr, DatasheetTimingKeepsTheChipBusyAfterAWrite) {
  Pins pins("ATmega328P", TimingModel::Datasheet);
  pins.Enter();
  pins.ProgramWord(0x41, 0x1234, 0x40);
  EXPECT_EQ(pins.Read(0xF0, 0x00, 0x00) & 1, 1);
  EXPECT_EQ(pins.FlashWord(0x41), 0xFFFF);  // the page being programmed
  pins.LoadWord(0x00, 0x0000);
  pins.WritePage(0x00);         // not taken while busy
  pins.LoadWord(0x02, 0x0000);  // the buffer belongs to the running cycle: lost
  pins.Advance(4500);
  EXPECT_EQ(pins.Read(0xF0, 0x00, 0x00) & 1, 0);
  EXPECT_EQ(pins.FlashWord(0x41), 0x1234);
  EXPECT_EQ(pins.FlashWord(0x00), 0xFFFF);
  pins.WritePage(0x00);
  pins.Advance(4500);
  EXPECT_EQ(pins.FlashWord(0x02), 0xFFFF);
  pins.Send(0xC0, 0x00, 0x10, 0x33);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 0x10), 0xFF);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 0x11), 0xFF);
  pins.Advance(3600);
  EXPECT_EQ(pins.Read(0xA0, 0x00, 0x10), 0x33);
  // Under lenient timing the write is done at once.
  Pins quick("ATmega328P");
  quick.Enter();
  quick.ProgramWord(0x41, 0x1234, 0x40);
  EXPECT_EQ(quick.FlashWord(0x41), 0x1234);
}

TEST(SimAvr, TheExtendedAddressPicksTheBankOfLargePartsOnly) {
  enum class Between { Nothing, ReEntry, EnableAgain };
  struct Case {
    const char* What;
    const char* Part;
    std::optional<std::uint8_t> Bank;  ///< the 4D byte sent after entry, if any
    Between Then;
    std::uint32_t LandsAt;  ///< the word that takes the page's word 2
  };
  const Case cases[] = {
      {"bank 1 chosen", "ATmega2560", 1, Between::Nothing, 0x10002},
      {"4D forgotten: bank 0", "ATmega2560", std::nullopt, Between::Nothing, 0x00002},
      {"a new entry clears the register", "ATmega256RFR2", 1, Between::ReEntry, 0x00002},
      {"an enable within programming mode clears it too", "ATmega2561", 1, Between::EnableAgain, 0x00002},
      {"a 64 K-word part ignores 4D", "ATmega1284P", 1, Between::Nothing, 0x00002},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    Pins pins(c.Part);
    pins.Enter();
    if (c.Bank) pins.Send(0x4D, 0x00, *c.Bank, 0x00);
    if (c.Then == Between::ReEntry) pins.Enter();
    if (c.Then == Between::EnableAgain) pins.Send(0xAC, 0x53, 0x00, 0x00);
    pins.ProgramWord(0x0002, 0xBEEF, 0x0000);
    const auto& flash = pins.Chip.Core().Flash;
    EXPECT_EQ(flash[2 * c.LandsAt] | flash[2 * c.LandsAt + 1] << 8, 0xBEEF);
    // The other bank's word stays erased: a verify there finds the program missing.
    const std::uint32_t other = 2 * (c.LandsAt ^ 0x10000);
    if (other < flash.size()) {
      EXPECT_EQ(flash[other], 0xFF);
    }
    // Reads take the bank from the same register.
    EXPECT_EQ(pins.FlashWord(0x0002), 0xBEEF);
  }
}

TEST(SimAvr, PowerLossEndsProgrammingAndKeepsMemories) {
  Pins pins("ATmega328P");
  pins.Enter();
  pins.Send(0xC0, 0x00, 0x01, 0x77);
  pins.Chip.PowerOff();
  EXPECT_FALSE(pins.Chip.ProgrammingEnabled());
  EXPECT_EQ(pins.Chip.Core().Eeprom[1], 0x77);
}

struct FuseEffect {
  const char* Name;
  std::uint8_t Instruction;  ///< A0 low, A8 high fuse
  std::uint8_t Value;
  std::uint8_t ReadBack;
  bool AnswersAfterRestart;
};

TEST(SimAvr, FusesActAsOnSiliconOnceTheChipRestarts) {
  // ATmega328P, factory 62 D9 FF; the pins run SCK phases of 4 µs.
  const FuseEffect cases[] = {
      {"SPIEN written 1 stays programmed", 0xA8, 0xF9, 0xD9, true},
      {"RSTDISBL programmed: RESET is an I/O pin", 0xA8, 0x59, 0x59, false},
      {"DWEN programmed: RESET carries debugWIRE", 0xA8, 0x99, 0x99, false},
      {"external clock that the board does not feed", 0xA0, 0x60, 0x60, false},
      {"128 kHz / 8: SCK far faster than a quarter of the CPU clock", 0xA0, 0x63, 0x63, false},
      {"8 MHz internal oscillator", 0xA0, 0xE2, 0xE2, true},
  };
  for (const FuseEffect& c : cases) {
    SCOPED_TRACE(c.Name);
    Pins pins("ATmega328P");
    ASSERT_EQ(pins.Enter(), 0x53);
    pins.Send(0xAC, c.Instruction, 0x00, c.Value);
    EXPECT_EQ(pins.Chip.Core().Fuses()[c.Instruction == 0xA0 ? 0 : 1], c.ReadBack);
    EXPECT_EQ(pins.Enter() == 0x53, c.AnswersAfterRestart);
  }
  // A board that feeds a crystal runs the chip on it.
  Pins fed("ATmega328P");
  fed.Chip.SetBoardClock(16'000'000);
  fed.Enter();
  fed.Send(0xAC, 0xA0, 0x00, 0xFF);
  EXPECT_EQ(fed.Enter(), 0x53);
  EXPECT_EQ(fed.Chip.CpuClockHz(), 16'000'000u);
}

TEST(SimAvr, UnderDatasheetTimingProgrammingEnableWaitsTwentyMsAfterReset) {
  Pins pins("ATmega328P", TimingModel::Datasheet);
  pins.Release();
  pins.Hold();
  pins.Advance(2'000);
  EXPECT_NE(pins.Send(0xAC, 0x53, 0x00, 0x00)[2], 0x53);
  pins.Advance(18'000);
  EXPECT_EQ(pins.Send(0xAC, 0x53, 0x00, 0x00)[2], 0x53);
}

}  // namespace
}  // namespace pw::sim
