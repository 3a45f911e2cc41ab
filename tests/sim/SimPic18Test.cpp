// The simulated PIC18s driven pin by pin as the PIC18F2XXX/4XXX programming document lays
// out its sequences; sequences a real chip would not take fail here too.

#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "ini/IniFile.h"
#include "sim/SimChipFactory.h"
#include "sim/SimPic18.h"

namespace pw::sim {
namespace {

constexpr std::array kParts{"PIC18F2455", "PIC18F2550", "PIC18F4455", "PIC18F4550",
                            "PIC18F2420", "PIC18F2520", "PIC18F4420", "PIC18F4520"};
constexpr std::uint16_t kTblrdPostInc = 0b1001, kShiftOut = 0b0010, kTblwt = 0b1100;
constexpr std::uint16_t kTblwtPostInc2 = 0b1101, kTblwtProgram = 0b1111;
constexpr std::uint16_t kBsfEepgd = 0x8EA6, kBcfEepgd = 0x9EA6, kBsfCfgs = 0x8CA6, kBcfCfgs = 0x9CA6;

/// Lays ICSP commands on the chip's pins, 1 µs per clock phase.
struct Pic18Probe {
  explicit Pic18Probe(const char* name = "PIC18F4550", TimingModel timing = TimingModel::Lenient)
      : chip(*FindSimPic18Part(name)) {
    env.Timing = timing;
    chip.Step(true, false, false, false, env);
    chip.Step(true, true, false, false, env);
  }
  void Pins(bool pgc, bool pgd) {
    env.Now += kPicosPerMicro;
    drive = chip.Step(true, true, pgc, pgd, env);
  }
  void Wait(std::uint64_t micros) { env.Now += micros * kPicosPerMicro; }
  void Bits(unsigned value, int n, std::uint64_t lastHigh = 0) {
    for (int i = 0; i < n; ++i) {
      const bool bit = ((value >> i) & 1) != 0;
      Pins(true, bit);
      if (i == n - 1) Wait(lastHigh);
      Pins(false, bit);
    }
  }
  void Send(unsigned cmd, std::uint16_t operand) {
    Bits(cmd, 4);
    Bits(operand, 16);
  }
  std::uint8_t Receive(unsigned cmd) {
    Bits(cmd, 4);
    Bits(0, 8);
    unsigned byte = 0;
    for (int i = 0; i < 8; ++i) {
      Pins(true, false);
      byte |= (drive.value_or(false) ? 1u : 0u) << i;
      Pins(false, false);
    }
    return static_cast<std::uint8_t>(byte);
  }
  void Core(std::initializer_list<std::uint16_t> ops) {
    for (const std::uint16_t op : ops) Send(0, op);
  }
  void Point(std::uint32_t address) {
    for (const auto& [shift, sfr] : {std::pair{16, 0xF8}, {8, 0xF7}, {0, 0xF6}})
      Core(
          {static_cast<std::uint16_t>(0x0E00 | ((address >> shift) & 0xFF)), static_cast<std::uint16_t>(0x6E00 | sfr)});
  }
  std::vector<std::uint8_t> Read(std::uint32_t address, std::size_t n) {
    Point(address);
    std::vector<std::uint8_t> bytes(n);
    for (auto& byte : bytes) byte = Receive(kTblrdPostInc);
    return bytes;
  }
  /// The NOP after a start-programming write: PGC high for hold µs on its 4th clock, then P10.
  void Program(std::uint64_t hold) {
    Bits(0, 4, hold);
    Wait(100);
    Bits(0, 16);
  }
  /// A buffer's worth of bytes (an even count) from address, programmed with PGC held hold µs.
  void Write(std::uint32_t address, const std::vector<std::uint8_t>& bytes, std::uint64_t hold = 1000) {
    Core({kBsfEepgd, kBcfCfgs});
    Point(address);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
      const auto word = static_cast<std::uint16_t>(bytes[i] | bytes[i + 1] << 8);
      Send(i + 2 < bytes.size() ? kTblwtPostInc2 : kTblwtProgram, word);
    }
    Program(hold);
  }
  void WriteConfig(std::uint32_t address, std::uint8_t byte, std::uint64_t hold = 5000, bool cfgs = true) {
    Core({kBsfEepgd, cfgs ? kBsfCfgs : kBcfCfgs});
    Point(address);
    Send(kTblwtProgram, static_cast<std::uint16_t>(byte * 0x101));
    Program(hold);
  }
  /// Key to 0x3C0005/0x3C0004, NOP, then a NOP whose operand waits hold µs (PGD high if glitch).
  void Erase(std::uint16_t key, std::uint64_t hold = 5100, bool glitch = false) {
    Point(0x3C0005);
    Send(kTblwt, static_cast<std::uint16_t>((key >> 8) * 0x101));
    Point(0x3C0004);
    Send(kTblwt, static_cast<std::uint16_t>((key & 0xFF) * 0x101));
    Core({0});
    Bits(0, 4);
    Wait(hold);
    Pins(false, glitch);
    Bits(0, 16);
  }
  void WriteEeprom(std::uint8_t address, std::uint8_t byte, bool wren = true) {
    Core({kBcfEepgd, kBcfCfgs, static_cast<std::uint16_t>(0x0E00 | address), 0x6EA9, 0x0E00, 0x6EAA,
          static_cast<std::uint16_t>(0x0E00 | byte), 0x6EA8, wren ? std::uint16_t{0x84A6} : std::uint16_t{0}, 0x82A6,
          0x94A6});
  }
  std::uint8_t Shift(std::uint8_t sfr) {
    Core({static_cast<std::uint16_t>(0x5000 | sfr), 0x6EF5, 0});
    return Receive(kShiftOut);
  }
  std::uint8_t ReadEeprom(std::uint8_t address) {
    Core({kBcfEepgd, kBcfCfgs, static_cast<std::uint16_t>(0x0E00 | address), 0x6EA9, 0x80A6});
    return Shift(0xA8);
  }

  SimPic18 chip;
  SimEnvironment env;
  std::optional<bool> drive;
};

std::vector<std::uint8_t> Pattern(std::size_t n, unsigned seed) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(seed + 37 * i);
  return bytes;
}

TEST(SimPic18Test, EveryPartFromABenchIdentifiesItselfAndShowsItsErasedConfiguration) {
  for (const char* name : kParts) {
    SCOPED_TRACE(name);
    const auto chip = MakeSimPic(IniFile::Parse(std::string("[PIC]\nPart=") + name + "\n"), "PIC");
    auto* pic18 = dynamic_cast<SimPic18*>(chip.get());
    ASSERT_NE(pic18, nullptr);
    const SimPic18Part& part = pic18->Part();
    EXPECT_EQ(chip->Memories()[0].Bytes->size(), part.ProgramBytes + 8 + 14 + part.DataBytes);
    Pic18Probe probe(name);
    // The bench file's layout: program bytes, IDs, configuration bytes, data EEPROM.
    std::vector<std::uint8_t>& bytes = *probe.chip.Memories()[0].Bytes;
    bytes[part.ProgramBytes - 1] = 0x11;
    bytes[part.ProgramBytes + 7] = 0x22;
    bytes.back() = 0x33;
    EXPECT_EQ(probe.Read(part.ProgramBytes - 1, 1)[0], 0x11);
    EXPECT_EQ(probe.Read(0x200007, 1)[0], 0x22);
    EXPECT_EQ(probe.ReadEeprom(0xFF), 0x33);
    const auto id = probe.Read(0x3FFFFE, 2);
    EXPECT_EQ((id[1] << 8 | id[0]) & 0xFFE0, part.DeviceId & 0xFFE0);
    EXPECT_EQ(id[0] & 0x1F, 7);
    const auto config = probe.Read(0x300000, 14);
    EXPECT_TRUE(std::equal(config.begin(), config.end(), part.Config->Erased.begin()));
    EXPECT_EQ(probe.chip.Ununderstood(), 0);
  }
}

TEST(SimPic18Test, EntryNeedsPgcAndPgdLowAndOnlyItsOwnCommandsAreUnderstood) {
  Pic18Probe probe;
  probe.chip.Step(false, false, false, false, probe.env);
  probe.chip.Step(true, true, true, false, probe.env);
  EXPECT_FALSE(probe.chip.InProgramming());
  Pic18Probe fresh;
  fresh.Send(0b0001, 0);
  fresh.Core({0x6F00, 0x6E00, 0x0100});  // banked MOVWF, a RAM register, MOVLB
  fresh.Core({kBsfEepgd, 0x82A6});       // WR on flash
  EXPECT_EQ(fresh.chip.Ununderstood(), 5);
  fresh.Write(0, Pattern(32, 1));
  EXPECT_EQ(fresh.Read(0, 32), Pattern(32, 1));
}

TEST(SimPic18Test, TheBufferWritesTheBlockTheLastTableWriteStandsIn) {
  Pic18Probe probe;
  probe.Write(0x40, Pattern(32, 3));
  probe.Write(0x200000, Pattern(8, 5));
  EXPECT_EQ(probe.Read(0x40, 32), Pattern(32, 3));
  EXPECT_EQ(probe.Read(0x200000, 8), Pattern(8, 5));
  // Begun mid-block: the buffer's places follow the pointer's low bits and the last block is written.
  probe.Write(0x70, Pattern(32, 9));
  const auto block = probe.Read(0x60, 64);
  const auto bytes = Pattern(32, 9);
  EXPECT_TRUE(std::all_of(block.begin(), block.begin() + 32, [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 16, block.begin() + 48));
  EXPECT_TRUE(std::equal(bytes.begin() + 16, bytes.end(), block.begin() + 32));
  // Programming only clears bits, and the buffer starts empty again.
  probe.Write(0x40, std::vector<std::uint8_t>(32, 0x0F));
  probe.Write(0x40, {0x00, 0x00});
  auto expected = Pattern(32, 3);
  expected.resize(4);
  expected = {0x00, 0x00, static_cast<std::uint8_t>(expected[2] & 0x0F), static_cast<std::uint8_t>(expected[3] & 0x0F)};
  EXPECT_EQ(probe.Read(0x40, 4), expected);
}

TEST(SimPic18Test, ACycleShorterThanItsProgrammingTimeWritesNothing) {
  struct Case {
    TimingModel Timing;
    std::uint64_t Hold;
    bool Config;
    bool Written;
  };
  for (const Case c : {Case{TimingModel::Datasheet, 900, false, false}, Case{TimingModel::Datasheet, 1000, false, true},
                       Case{TimingModel::Datasheet, 1000, true, false}, Case{TimingModel::Datasheet, 5000, true, true},
                       Case{TimingModel::Lenient, 0, false, true}}) {
    SCOPED_TRACE(testing::Message() << c.Hold << (c.Config ? " config" : " program"));
    Pic18Probe probe("PIC18F2520", c.Timing);
    if (c.Config) {
      probe.WriteConfig(0x300003, 0x0A, c.Hold);
      EXPECT_EQ(probe.Read(0x300003, 1)[0], c.Written ? 0x0A : 0x1F);
    } else {
      probe.Write(0x7FE0, Pattern(32, 2), c.Hold);
      EXPECT_EQ(probe.Read(0x7FE0, 32) == Pattern(32, 2), c.Written);
    }
  }
}

TEST(SimPic18Test, ConfigurationBytesAreWrittenOneAtATimeWithTheirImplementedBits) {
  Pic18Probe probe("PIC18F2420");
  probe.WriteConfig(0x300001, 0x02);               // odd: the high operand byte
  probe.WriteConfig(0x300000, 0xFF);               // no CONFIG1L on this part
  probe.WriteConfig(0x300006, 0xFF);               // ICPRT missing on 28-pin parts
  probe.WriteConfig(0x300002, 0x00, 5000, false);  // CFGS clear: not a configuration cycle
  EXPECT_EQ(probe.Read(0x300000, 7), (std::vector<std::uint8_t>{0x00, 0x02, 0x1F, 0x1F, 0x00, 0x83, 0xC5}));
}

TEST(SimPic18Test, ChipEraseNeedsTheKeyAndTheHoldAndLiftsProtection) {
  struct Case {
    std::uint16_t Key;
    std::uint64_t Hold;
    bool Glitch;
    bool Erased;
  };
  for (const Case c :
       {Case{0x3F8F, 5100, false, true}, Case{0x0F8F, 5100, false, false}, Case{0x3F3F, 5100, false, false},
        Case{0x3F8F, 4000, false, false}, Case{0x3F8F, 5100, true, false}}) {
    SCOPED_TRACE(testing::Message() << std::hex << c.Key << std::dec << " " << c.Hold << " " << c.Glitch);
    Pic18Probe probe("PIC18F4550", TimingModel::Datasheet);
    probe.Write(0x800, Pattern(32, 4));
    probe.Write(0x200000, Pattern(8, 6));
    probe.WriteEeprom(7, 0x5A);
    probe.Wait(4000);
    probe.WriteConfig(0x300008, 0x0E);  // CP0: block 0 from 0x800
    probe.WriteConfig(0x300009, 0x40);  // CPD: data EEPROM; the boot block stays open
    probe.WriteConfig(0x300008, 0x0F);  // protection bits only drop
    EXPECT_EQ(probe.Read(0x800, 32), std::vector<std::uint8_t>(32, 0));
    EXPECT_EQ(probe.ReadEeprom(7), 0);
    probe.WriteConfig(0x30000A, 0x0D);  // WRT1: block 1 from 0x2000 takes no writes
    probe.Write(0x820, std::vector<std::uint8_t>(32, 0));
    probe.Write(0x2000, std::vector<std::uint8_t>(32, 0));
    EXPECT_EQ(probe.chip.Memory().Bytes()[0x820], 0xFF);
    EXPECT_EQ(probe.Read(0x2000, 1)[0], 0xFF);
    probe.Erase(c.Key, c.Hold, c.Glitch);
    EXPECT_EQ(probe.Read(0x300008, 2),
              c.Erased ? (std::vector<std::uint8_t>{0x0F, 0xC0}) : (std::vector<std::uint8_t>{0x0E, 0x40}));
    EXPECT_EQ(probe.Read(0x200000, 8), c.Erased ? std::vector<std::uint8_t>(8, 0xFF) : Pattern(8, 6));
    if (!c.Erased) continue;
    EXPECT_EQ(probe.Read(0x800, 64), std::vector<std::uint8_t>(64, 0xFF));
    EXPECT_EQ(probe.ReadEeprom(7), 0xFF);
  }
}

TEST(SimPic18Test, DataEepromIsWrittenThroughEecon1AndBusyForItsCycle) {
  Pic18Probe probe("PIC18F2455", TimingModel::Datasheet);
  probe.WriteEeprom(0x12, 0xA5);
  EXPECT_EQ(probe.Shift(0xA6) & SimPic18Core::kWr, SimPic18Core::kWr);
  probe.Wait(4000);
  EXPECT_EQ(probe.Shift(0xA6) & SimPic18Core::kWr, 0);
  probe.WriteEeprom(0x13, 0x3C, false);  // no WREN: no write
  probe.Wait(4000);
  EXPECT_EQ(probe.ReadEeprom(0x12), 0xA5);
  EXPECT_EQ(probe.ReadEeprom(0x13), 0xFF);
  EXPECT_EQ(probe.chip.Ununderstood(), 0);
}

}  // namespace
}  // namespace pw::sim
