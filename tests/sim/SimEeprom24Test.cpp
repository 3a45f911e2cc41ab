#include <gtest/gtest.h>

#include "d2xx/Wiring.h"
#include "i2c/I2cAddressing.h"
#include "i2c/I2cBus.h"
#include "ini/IniFile.h"
#include "link/ProgrammerConnection.h"
#include "sim/SimEeprom24.h"
#include "sim/SimFt232r.h"
#include "support/TestDirs.h"

namespace pw::sim {
namespace {

/// Talks to the chip the way the I2C page does: one run of samples per transaction.
struct Eeprom24Test : ::testing::Test {
  void Attach(const char* partName, TimingModel timing = TimingModel::Lenient, bool sdaAfterScl = true) {
    SimBoard& board = sim.AddProgrammer({});
    board.I2cSdaAfterScl = sdaAfterScl;
    board.I2c = std::make_unique<SimEeprom24>(*FindEeprom24Part(partName));
    chip = static_cast<SimEeprom24*>(board.I2c.get());
    sim.Timing().Model = timing;
    OpenProgrammer(unit, kModeI2c, 19200);
  }

  /// Lays start, the bytes, and a stop; returns whether every byte was acknowledged.
  bool Write(const std::vector<std::uint8_t>& bytes) {
    bus.Clear();
    bus.I2cPutStart();
    std::vector<std::uint32_t> starts;
    for (auto b : bytes) starts.push_back(bus.I2cPutByte(b));
    bus.I2cPutStop();
    bus.Exchange();
    for (auto s : starts) {
      if (!bus.Acknowledged(s)) return false;
    }
    return true;
  }

  /// Random or current-address read of n bytes: the address phase (if any), a (repeated) start, the read.
  std::vector<std::uint8_t> Read(const std::vector<std::uint8_t>& addressPhase, std::uint8_t device, int n,
                                 bool* acked = nullptr) {
    bus.Clear();
    if (!addressPhase.empty()) {
      bus.I2cPutStart();
      for (auto b : addressPhase) bus.I2cPutByte(b);
    }
    bus.I2cPutStart();
    const std::uint32_t deviceAt = bus.I2cPutByte(device);
    std::vector<std::uint32_t> marks;
    for (int i = 0; i < n; ++i) marks.push_back(bus.I2cPutReadByte(i + 1 < n));
    bus.I2cPutStop();
    bus.Exchange();
    if (acked) *acked = bus.Acknowledged(deviceAt);
    std::vector<std::uint8_t> out;
    for (const std::uint32_t mark : marks) out.push_back(bus.I2cGetByte(mark));
    return out;
  }

  SimFt232r sim;
  D2XXUnit unit{sim};
  I2C_eeprom bus{unit};
  SimEeprom24* chip = nullptr;
};

TEST_F(Eeprom24Test, TwoAddressBytePartsWriteAPageAndReadItBack) {
  Attach("24C256");
  ASSERT_TRUE(Write({0xA0, 0x12, 0x38, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(chip->Memory()[0x1238], 1);
  EXPECT_EQ(chip->Memory()[0x123F], 8);
  EXPECT_EQ(Read({0xA0, 0x12, 0x38}, 0xA1, 8), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(chip->WriteCycles(), 1);
}

TEST_F(Eeprom24Test, SmallPartsTakeHighAddressBitsFromTheDeviceByte) {
  Attach("24C16");
  ASSERT_TRUE(Write({0xAA, 0xF8, 0x5A}));  // block 5: address 0x5F8
  EXPECT_EQ(chip->Memory()[0x5F8], 0x5A);
  EXPECT_EQ(Read({0xAA, 0xF8}, 0xAB, 1), (std::vector<std::uint8_t>{0x5A}));
}

TEST_F(Eeprom24Test, ChipSelectInputsAreTiedLow) {
  Attach("24C04");  // one block bit; A2 and A1 select the chip
  EXPECT_FALSE(Write({0xA4, 0x00, 0x11}));
  EXPECT_TRUE(Write({0xA2, 0x10, 0x22}));  // block bit: address 0x110
  EXPECT_EQ(chip->Memory()[0x110], 0x22);
  EXPECT_EQ(chip->Memory()[0x010], 0xFF);
}

TEST_F(Eeprom24Test, APageWriteRollsOverInsideItsPage) {
  Attach("24C02");  // 8-byte pages
  ASSERT_TRUE(Write({0xA0, 0x06, 1, 2, 3, 4}));
  EXPECT_EQ(chip->Memory()[0x06], 1);
  EXPECT_EQ(chip->Memory()[0x07], 2);
  EXPECT_EQ(chip->Memory()[0x00], 3);
  EXPECT_EQ(chip->Memory()[0x01], 4);
  EXPECT_EQ(chip->Memory()[0x08], 0xFF);
}

TEST_F(Eeprom24Test, SequentialReadsWrapAtTheEndAndCurrentAddressReadsContinue) {
  Attach("24C01");
  chip->Memory()[127] = 0x7F;
  chip->Memory()[0] = 0x00;
  chip->Memory()[1] = 0x01;
  EXPECT_EQ(Read({0xA0, 127}, 0xA1, 2), (std::vector<std::uint8_t>{0x7F, 0x00}));
  EXPECT_EQ(Read({}, 0xA1, 1), (std::vector<std::uint8_t>{0x01}));
}

// The address counter of a sequential read covers the whole memory: it crosses pages, the
// 256-byte blocks whose bits the small parts take from the device byte, and wraps to 0.
TEST_F(Eeprom24Test, SequentialReadsRunAcrossPagesAndBlocksAndWrapToTheStart) {
  struct Case {
    const char* Part;
    std::vector<std::uint8_t> AddressPhase;
    std::uint8_t ReadDevice;
    std::uint32_t First;
  };
  const Case cases[] = {
      {"24C04", {0xA0, 0xFE}, 0xA1, 0x0FE},         // block 0 into block 1
      {"24C04", {0xA2, 0xFE}, 0xA3, 0x1FE},         // the last block wraps to block 0
      {"24C16", {0xA6, 0xFC}, 0xA7, 0x3FC},         // block 3 into block 4
      {"24C512", {0xA0, 0x00, 0x7E}, 0xA1, 0x07E},  // across a 128-byte page
      {"24C512", {0xA0, 0xFF, 0xFE}, 0xA1, 0xFFFE},
  };
  Attach("24C01");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Part) + " from " + std::to_string(c.First));
    CloseProgrammer(unit);
    auto& socket = sim.Devices().front()->Board->I2c;
    socket = std::make_unique<SimEeprom24>(*FindEeprom24Part(c.Part));
    chip = static_cast<SimEeprom24*>(socket.get());
    OpenProgrammer(unit, kModeI2c, 19200);
    const auto size = static_cast<std::uint32_t>(chip->Memory().size());
    for (std::uint32_t a = 0; a < size; ++a) chip->Memory()[a] = static_cast<std::uint8_t>(a ^ (a >> 8));
    std::vector<std::uint8_t> expected;
    for (std::uint32_t k = 0; k < 4; ++k) expected.push_back(chip->Memory()[(c.First + k) % size]);
    EXPECT_EQ(Read(c.AddressPhase, c.ReadDevice, 4), expected);
  }
}

TEST_F(Eeprom24Test, AStopRightAfterTheAddressOnlySetsThePointer) {
  Attach("24C02");
  chip->Memory()[0x40] = 0x44;
  ASSERT_TRUE(Write({0xA0, 0x40}));
  EXPECT_EQ(chip->WriteCycles(), 0);
  EXPECT_EQ(Read({}, 0xA1, 1), (std::vector<std::uint8_t>{0x44}));
}

TEST_F(Eeprom24Test, UnderDatasheetTimingTheChipIgnoresTheBusDuringItsWriteCycle) {
  Attach("24C32", TimingModel::Datasheet);
  sim.Timing().Latency = 0;
  ASSERT_TRUE(Write({0xA0, 0x00, 0x00, 0x11}));
  EXPECT_FALSE(Write({0xA0, 0x00, 0x08, 0x22})) << "busy: the device address goes unanswered";
  bool acked = true;
  EXPECT_EQ(Read({0xA0, 0x00, 0x00}, 0xA1, 1, &acked), (std::vector<std::uint8_t>{0xFF}));
  EXPECT_FALSE(acked);
  unit.Wait(5);
  EXPECT_TRUE(Write({0xA0, 0x00, 0x08, 0x22}));
  EXPECT_EQ(chip->Memory()[0x08], 0x22);
  EXPECT_EQ(chip->Memory()[0x00], 0x11);
}

TEST_F(Eeprom24Test, ARepeatedStartAbandonsAnUnfinishedWrite) {
  Attach("24C02");
  bus.Clear();
  bus.I2cPutStart();
  for (std::uint8_t b : {0xA0, 0x10, 0x99}) bus.I2cPutByte(b);
  bus.I2cPutStart();
  bus.I2cPutByte(0xA1);
  bus.I2cPutReadByte(false);
  bus.I2cPutStop();
  bus.Exchange();
  EXPECT_EQ(chip->Memory()[0x10], 0xFF);
  EXPECT_EQ(chip->WriteCycles(), 0);
}

using Samples = std::vector<std::uint8_t>;

/// The conditions as they were laid before SCL and SDA got a sample each of their own.
const Samples kOldStart{0x80, 0x88};
const Samples kOldStop{0x88, 0x80};

struct ConditionCase {
  const char* Name;
  bool OldStart;
  bool OldStop;
  bool SdaAfterScl;
  bool Written;
};

TEST_F(Eeprom24Test, ConditionsThatChangeBothLinesInOneSampleDependOnTheBoardsEdgeOrder) {
  const ConditionCase cases[] = {
      {"laid start and stop, SDA after SCL", false, false, true, true},
      {"laid start and stop, SDA before SCL", false, false, false, true},
      {"old stop, SDA after SCL: a start, then a stop that aborts the write", false, true, true, false},
      {"old stop, SDA before SCL", false, true, false, true},
      {"old start, SDA before SCL: the first 1 bit is a stop", true, false, false, false},
      {"old start, SDA after SCL", true, false, true, true},
  };
  for (const ConditionCase& c : cases) {
    SCOPED_TRACE(c.Name);
    sim.Devices().clear();
    Attach("24C02", TimingModel::Lenient, c.SdaAfterScl);
    bus.Clear();
    const auto lay = [&](const Samples& samples) {
      for (std::uint8_t s : samples) bus.Run().Put(s);
    };
    c.OldStart ? lay(kOldStart) : bus.I2cPutStart();
    for (std::uint8_t b : {0xA0, 0x10, 0x5A}) bus.I2cPutByte(b);
    c.OldStop ? lay(kOldStop) : bus.I2cPutStop();
    bus.Exchange();
    EXPECT_EQ(chip->Memory()[0x10], c.Written ? 0x5A : 0xFF);
    EXPECT_EQ(chip->WriteCycles(), c.Written ? 1 : 0);
    CloseProgrammer(unit);
  }
}

// Device-byte decoding of the new parts shows in the I2C scan and round-trip tests; what the
// program's reads never reach is here: the roll-over inside a block, the 24C00's one-byte writes.
TEST_F(Eeprom24Test, LargePartsReadOnInsideTheirBlockAndThe24C00TakesOneByteAWrite) {
  struct Case {
    const char* Part;
    std::uint8_t Device;
    std::uint32_t Last;  // of the block the device byte selects
  };
  for (const Case c : {Case{"24LC1025", 0xA8, 0x1FFFF}, Case{"24M02", 0xA6, 0x3FFFF}, Case{"24M01", 0xA2, 0x1FFFF}}) {
    SCOPED_TRACE(c.Part);
    sim.Devices().clear();
    Attach(c.Part);
    chip->Memory()[c.Last] = 1;
    chip->Memory()[c.Last - 0xFFFF] = 2;
    EXPECT_EQ(Read({c.Device, 0xFF, 0xFF}, c.Device | 1, 2), (std::vector<std::uint8_t>{1, 2}));
    CloseProgrammer(unit);
  }
  sim.Devices().clear();
  Attach("24C00");
  EXPECT_FALSE(Write({0xA0, 0x03, 0x44, 0x55}));
  EXPECT_EQ(chip->Memory()[3], 0x44);
  EXPECT_EQ(chip->Memory()[4], 0xFF);
}

TEST_F(Eeprom24Test, NoChipMeansNoAcknowledgeAndAnIdleHighLine) {
  sim.AddProgrammer({});
  OpenProgrammer(unit, kModeI2c, 19200);
  EXPECT_FALSE(Write({0xA0, 0x00}));
  bool acked = true;
  EXPECT_EQ(Read({0xA0, 0x00}, 0xA1, 2, &acked), (std::vector<std::uint8_t>{0xFF, 0xFF}));
  EXPECT_FALSE(acked);
}

}  // namespace
}  // namespace pw::sim

namespace pw::sim {
namespace {

// I2C_E.ini and the simulator's catalogue come from the same datasheets: a type whose size,
// addressing or page differs from its part would make the round-trip tests prove nothing.
TEST(Eeprom24Catalogue, AgreesWithI2cEIni) {
  const IniFile types = IniFile::Load(test::SourceDir() / "data" / "I2C_E.ini");
  ASSERT_FALSE(types.SectionNames().empty());
  for (const std::string& type : types.SectionNames()) {
    SCOPED_TRACE(type);
    const Eeprom24Part* part = FindEeprom24Part(type);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(types.ReadInteger(type, "Size", 0), part->Size);
    // The program's addressing sends what the part decodes: its address bytes, its block bits.
    const I2cAddressing addressing{static_cast<std::uint8_t>(types.ReadInteger(type, "Protocol", 0))};
    const std::uint32_t top = part->Size - 1;
    EXPECT_EQ(addressing.AddressBytes(top).size(), static_cast<std::size_t>(part->AddressBytes));
    EXPECT_EQ(addressing.DeviceByte(top, false), 0xA0 | (top >> (8 * part->AddressBytes)) << part->BlockShift);
    EXPECT_EQ(types.ReadInteger(type, "PageSize", 0), part->PageSize);
  }
}

}  // namespace
}  // namespace pw::sim
