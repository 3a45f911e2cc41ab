// Every type I2C_E.ini describes, on the simulated part of that name: a small image at the
// bottom and at the top of the chip written, verified and read back; and the bus scan.

#include <gtest/gtest.h>

#include <algorithm>

#include "frame/ImageFiles.h"
#include "i2c/I2cOperations.h"
#include "i2c/I2cTexts.h"
#include "sim/SimEeprom24.h"
#include "sim/SimFt232r.h"
#include "support/RecordingReporter.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

/// A programmer whose I2C socket carries part, or nothing for an empty name.
struct I2cBench {
  explicit I2cBench(const std::string& part) {
    sim::SimBoard& board = sim.AddProgrammer({});
    if (part.empty()) return;
    board.I2c = std::make_unique<sim::SimEeprom24>(*sim::FindEeprom24Part(part));
    chip = static_cast<sim::SimEeprom24*>(board.I2c.get());
  }
  Outcome Run(I2cOperations& ops, const OperationStep& step) {
    OperationRun run(reporter);
    return ops.Run(run, std::span(&step, 1));
  }
  sim::SimFt232r sim;
  D2XXUnit unit{sim};
  sim::SimEeprom24* chip = nullptr;
  test::RecordingReporter reporter;
};

/// Differs from block to block, so a byte that lands in the wrong 64 KiB block shows.
std::uint8_t Value(std::uint32_t a) { return static_cast<std::uint8_t>(a * 7 + (a >> 8) + (a >> 16) * 31); }

/// Whether got begins with expected.
bool Holds(std::span<const std::uint8_t> got, std::span<const std::uint8_t> expected) {
  return got.size() >= expected.size() && std::equal(expected.begin(), expected.end(), got.begin());
}

TEST(I2cTypesOnChip, EveryTypeWritesAndReadsBackItsBottomAndTopBytes) {
  const IniFile types = IniFile::Load(test::SourceDir() / "data" / "I2C_E.ini");
  ASSERT_GE(types.SectionNames().size(), 14u);
  test::TempDir dir;
  for (const std::string& name : types.SectionNames()) {
    SCOPED_TRACE(name);
    I2cBench bench(name);
    ASSERT_NE(bench.chip, nullptr);
    I2cOperations ops(bench.unit, 19200, ReadI2cType(types, name));
    const auto size = static_cast<std::uint32_t>(ops.Type().EepromSize);
    const std::uint32_t edge = std::min<std::uint32_t>(size / 2, 24);
    std::vector<std::uint8_t> values(size, 0xFF);
    std::vector<bool> filled(size);
    for (std::uint32_t a = 0; a < size; ++a) {
      filled[a] = a < edge || a >= size - edge;
      if (filled[a]) values[a] = Value(a);
    }
    ASSERT_EQ(bench.Run(ops, ops.Write({values, &filled, static_cast<std::int32_t>(size)})), Outcome::Success)
        << testing::PrintToString(bench.reporter.Lines);
    // On the chip itself each byte stands at its own address and nothing between changed.
    EXPECT_TRUE(Holds(bench.chip->Memory(), values));
    const auto file = dir / (name + ".hex");
    ASSERT_EQ(bench.Run(ops, ops.Read(file)), Outcome::Success) << testing::PrintToString(bench.reporter.Lines);
    MemoryImages images;
    LoadEepromFile(file, images);
    EXPECT_EQ(images.EepromDataCount, static_cast<std::int32_t>(size));
    EXPECT_TRUE(Holds(images.EepromImage, values));
  }
}

TEST(I2cTypesOnChip, EveryTypeClocksAtOneOfTheBusSpeedModes) {
  // "авто" trusts ClockKHz as it stands: a mistyped value (40, 4000) would clock a part too slowly
  // or be dropped silently for 100 kHz.
  const IniFile types = IniFile::Load(test::SourceDir() / "data" / "I2C_E.ini");
  for (const std::string& name : types.SectionNames()) {
    const std::int64_t khz = types.ReadInteger(name, "ClockKHz", kI2cStandardKHz);
    EXPECT_TRUE(khz == 100 || khz == 400 || khz == 1000) << name << ": " << khz;
  }
}

TEST(I2cScan, ListsTheAddressesThatAnswerAndChangesNothing) {
  struct Case {
    const char* Part;
    std::string Line;
  };
  const Case cases[] = {
      {"24C16", "на шине отвечают: 0x50 0x51 0x52 0x53 0x54 0x55 0x56 0x57"},  // block bits answer too
      {"24M02", "на шине отвечают: 0x50 0x51 0x52 0x53"},
      {"24LC1025", "на шине отвечают: 0x50 0x54"},                             // B0 in bit 3, A0 A1 low
      {"24C00", "на шине отвечают: 0x50 0x51 0x52 0x53 0x54 0x55 0x56 0x57"},  // A0-A2 not connected
      {"", texts::kI2cScanNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Part);
    I2cBench bench(c.Part);
    I2cOperations ops(bench.unit, 19200, I2cType{});
    EXPECT_EQ(bench.Run(ops, ops.Scan()), Outcome::Success);
    EXPECT_EQ(bench.reporter.Lines, (std::vector<std::string>{texts::kI2cScanStart, c.Line}));
    if (bench.chip == nullptr) continue;
    EXPECT_EQ(bench.chip->WriteCycles(), 0);
    EXPECT_EQ(std::count(bench.chip->Memory().begin(), bench.chip->Memory().end(), 0xFF),
              static_cast<std::ptrdiff_t>(bench.chip->Memory().size()));
  }
}

}  // namespace
}  // namespace pw
