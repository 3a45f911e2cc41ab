// AVR streams that real chips take, on the virtual programmer under datasheet timing at zero USB
// latency: where an earlier stream lost data on silicon, the case shows it failing first.

#include <gtest/gtest.h>

#include <functional>

#include "AvrBench.h"
#include "link/ProgrammerConnection.h"
#include "sim/SimFt232r.h"

namespace pw {
namespace {

using test::AvrBench;

const char* kDatasheet = "[Timing]\nModel=datasheet\n";

/// Ticks the boxes of one fuse byte as value's bits.
void TickByte(AvrPage& page, int byte, std::uint8_t value) {
  for (int k = 0; k < 8; ++k) page.AvrFuse[static_cast<std::size_t>(8 * byte + k)].Checked = ((value >> k) & 1) != 0;
}

std::vector<std::uint8_t> Pattern(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 5);
  return bytes;
}

TEST(AvrRealChips, EepromPagesWaitTheChipsWriteTime) {
  for (const char* part : {"ATmega16A", "ATmega32A", "ATmega32U4"}) {
    for (const bool fixedFiveMs : {true, false}) {
      SCOPED_TRACE(std::string(part) + (fixedFiveMs ? ": the old 5 ms page wait" : ": the chip's 9 ms"));
      AvrBench b(part, kDatasheet);
      if (fixedFiveMs) {
        const auto file = test::ReadBytes(b.ProgramDir() / "chips.ini");
        std::string ini(file.begin(), file.end());
        for (std::size_t at; (at = ini.find("EepromDelayMs=9")) != std::string::npos;)
          ini.replace(at, 15, "EepromDelayMs=5");
        b.Dir.Write("program/chips.ini", ini);
      }
      const auto bytes = Pattern(64);
      b.Open(b.Page().AvrLoadEep, test::WriteBytesHex(b.Dir / "ee.hex", bytes));
      EXPECT_EQ(b.Click(b.Page().AvrWriteEep), fixedFiveMs ? Outcome::TargetProblem : Outcome::Success);
      EXPECT_EQ(std::vector<std::uint8_t>(b.Core().Eeprom.begin(), b.Core().Eeprom.begin() + 64) == bytes,
                !fixedFiveMs);
    }
  }
}

/// A programmer with an ATmega328P under datasheet timing at zero latency, open in "AVR-ISP".
struct EntryBench {
  EntryBench() {
    sim.AddProgrammer({}).Avr = std::make_unique<sim::SimAvr>(*sim::FindSimAvrPart("ATmega328P"));
    sim.Timing().Model = sim::TimingModel::Datasheet;
    sim.Timing().Latency = 0;
    OpenProgrammer(unit, kModeAvr, 19200);
  }
  /// Programming Enable as it was sent: RESET held low, 2 ms, five attempts.
  bool HeldLowEntry() {
    for (int attempt = 0; attempt < 5; ++attempt) {
      avr.AvrSetPins(AVRUtils::kResetAsserted);
      unit.Wait(2);
      const std::uint8_t echo[] = {avr.AvrSpiByte(0xAC), avr.AvrSpiByte(0x53), avr.AvrSpiByte(0x00),
                                   avr.AvrSpiByte(0x00)};
      if (echo[2] == 0x53) return true;
    }
    return false;
  }
  /// A stray SCK pulse once RESET is low (a glitch as the board powers up): the chip's byte
  /// framing is one bit off before Programming Enable comes.
  void LoseStep() {
    avr.AvrSetPins(AVRUtils::kResetAsserted);
    unit.Wait(AVRUtils::kEntryWaitMs);
    avr.AvrSetPins(wiring::avr::Sck);
    avr.AvrSetPins(AVRUtils::kResetAsserted);
  }
  sim::SimFt232r sim;
  D2XXUnit unit{sim};
  AVRUtils avr{unit};
};

TEST(AvrRealChips, ProgrammingModeIsEnteredAfterTheEntryTimeAndRecoveredByAResetPulse) {
  const std::pair<const char*, std::function<void(EntryBench&)>> cases[] = {
      {"a running chip needs 20 ms after RESET goes low", [](EntryBench&) {}},
      {"a chip out of step finds it only through a RESET pulse", [](EntryBench& b) { b.LoseStep(); }},
  };
  for (const auto& [name, setUp] : cases) {
    SCOPED_TRACE(name);
    EntryBench old;
    setUp(old);
    EXPECT_FALSE(old.HeldLowEntry());
    EntryBench now;
    setUp(now);
    EXPECT_TRUE(now.avr.AvrProgEnable());
  }
}

TEST(AvrRealChips, Attiny13AFusesWrittenBackUnchangedKeepSpienProgrammed) {
  AvrBench b("ATtiny13A", kDatasheet);
  b.Click(b.Page().AvrRdSign);
  b.Host.Answers.push_back(true);
  EXPECT_EQ(b.Click(b.Page().AvrWriteFuses), Outcome::Success);
  // Bit 7 of the low fuse is SPIEN: the panel writes it as the chip has it, programmed.
  EXPECT_EQ(b.Page().FuseLow, 0x6A);
  EXPECT_EQ(b.Core().Fuses()[0], 0x6A);
  EXPECT_EQ(b.Log().back(), "конфигурация и защита прошиты");
}

struct RiskCase {
  const char* Name;
  std::uint8_t Low;
  std::uint8_t High;
  /// The start of the question's first line; empty: the ordinary question.
  std::string Risk;
};

TEST(AvrRealChips, FusesThatLockTheProgrammerOutAreNamedInTheQuestionAndDoSoOnTheSimulator) {
  // ATtiny13A: factory 6A FF (9.6 MHz / 8); RSTDISBL and DWEN are high bits 0 and 3.
  const RiskCase cases[] = {
      {"RSTDISBL", 0x6A, 0xFE, "RSTDISBL = 0: вывод RESET станет обычным выводом"},
      {"DWEN", 0x6A, 0xF7, "DWEN = 0: вывод RESET займёт debugWIRE"},
      {"128 kHz oscillator", 0x6B, 0xFF, "CKSEL1..0 = 11, CKDIV8 = 0: такт 16 кГц, а SCK программатора 153.6 кГц"},
      {"4.8 MHz / 8", 0x69, 0xFF,
       "CKSEL1..0 = 01, CKDIV8 = 0: такт 600 кГц, а SCK программатора 153.6 кГц (скорость 19200) требует больше 614.4 "
       "кГц"},
      {"external clock", 0x68, 0xFF, "CKSEL1..0 = 00, CKDIV8 = 0: такт от внешнего генератора"},
      {"9.6 MHz undivided", 0x7A, 0xFF, ""},
  };
  for (const RiskCase& c : cases) {
    SCOPED_TRACE(c.Name);
    AvrBench b("ATtiny13A", kDatasheet);
    b.Click(b.Page().AvrRdSign);
    TickByte(b.Page(), 0, c.Low);
    TickByte(b.Page(), 1, c.High);
    b.Host.Answers.push_back(true);
    b.Click(b.Page().AvrWriteFuses);
    ASSERT_EQ(b.Host.Questions.size(), 1u);
    const std::string& question = b.Host.Questions.front();
    if (c.Risk.empty()) {
      EXPECT_EQ(question, "Прошить фьюзы и защиту: Точно??");
      EXPECT_EQ(b.Click(b.Page().AvrRdSign), Outcome::Success);
      continue;
    }
    EXPECT_EQ(question.rfind("Опасные фьюзы: " + c.Risk, 0), 0u) << question;
    EXPECT_NE(std::find_if(b.Log().begin(), b.Log().end(),
                           [&](const std::string& line) { return line.rfind("Внимание! " + c.Risk, 0) == 0; }),
              b.Log().end());
    // Written, the setting takes the chip away from the programmer at its next start.
    EXPECT_EQ(b.Click(b.Page().AvrRdSign), Outcome::TargetProblem);
  }
}

}  // namespace
}  // namespace pw
