#include <gtest/gtest.h>

#include "frame/Frame.h"
#include "sim/Bench.h"
#include "sim/SimSpiFlash.h"
#include "spi/SpiFlashOperations.h"
#include "spi/SpiFlashTexts.h"
#include "support/RecordingReporter.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

std::filesystem::path Types() { return test::SourceDir() / "data/SpiFlash.ini"; }

/// One type's simulated chip on a fresh virtual programmer; its memory lives as long as the run.
struct ChipRun {
  explicit ChipRun(const std::string& part) : bench(sim::Bench::FromText("[SPI]\nPart=" + part + "\n", dir.Path())) {}
  sim::SimSpiFlash& Chip() { return static_cast<sim::SimSpiFlash&>(*bench->Board()->Spi); }
  /// An image of the chip's size holding bytes at first and at last only.
  void Place(std::uint32_t first, std::uint32_t last, std::size_t count) {
    const std::uint32_t size = Chip().Part().Size;
    image.Bytes.assign(size, 0xFF);
    image.Filled.assign(size, false);
    image.End = size;
    for (const std::uint32_t at : {first, last}) {
      for (std::size_t i = 0; i < count; ++i) {
        image.Bytes[at + i] = static_cast<std::uint8_t>(at + i * 37);
        image.Filled[at + i] = true;
      }
    }
  }
  Outcome Run(const std::function<OperationStep(SpiFlashOperations&)>& step) {
    D2XXUnit unit(bench->Programmer());
    flash = std::make_unique<SpiFlashOperations>(unit, 19200, Types());
    const OperationStep steps[] = {step(*flash)};
    OperationRun run(reporter);
    return RunFrame(unit, run, flash->Target(), steps);
  }

  test::TempDir dir;
  std::unique_ptr<sim::Bench> bench;
  test::RecordingReporter reporter;
  SpiFlashImage image;
  std::unique_ptr<SpiFlashOperations> flash;
};

TEST(SpiFlashCatalogue, EveryTypeIsIdentifiedWrittenInItsFirstAndLastSectorAndLeftIn3ByteMode) {
  const IniFile ini = IniFile::Load(Types());
  for (const std::string& section : ini.SectionNames()) {
    SCOPED_TRACE(section);
    ChipRun t(section);
    ASSERT_NE(t.bench->Board()->Spi, nullptr);
    const sim::SimSpiFlashPart& part = t.Chip().Part();
    // The last sector's end, past 16 MiB on the chips that reach beyond it.
    const std::uint32_t last = part.Size - 16;
    t.Place(0x10, last, 16);
    ASSERT_EQ(t.Run([&](SpiFlashOperations& f) { return f.Write(t.image, texts::kSpiWrite); }), Outcome::Success)
        << testing::PrintToString(t.reporter.Lines);
    // By the chip's ID: the first section with it.
    EXPECT_EQ(t.flash->Section(), FindSpiFlashSection(ini, part.Id));
    const auto& memory = t.Chip().Memory();
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), t.image.Bytes.begin()));
    EXPECT_FALSE(t.Chip().FourByteMode());
    EXPECT_EQ(t.Chip().ModeCommands() > 0, part.Enter4 != sim::SimEnter4::None);
  }
}

TEST(SpiFlashCatalogue, AChipPutIn4ByteModeLeavesItAlsoWhenTheOperationStopsOrFails) {
  const struct {
    const char* part;
    bool stop;
    Outcome result;
  } rows[] = {
      {"W25Q256FV", true, Outcome::Stopped},          {"W25Q256FV", false, Outcome::TargetProblem},
      {"N25Q256A", true, Outcome::Stopped},           {"N25Q256A", false, Outcome::TargetProblem},
      {"MX25L51245G", false, Outcome::TargetProblem},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.part) + (row.stop ? ": stop" : ": differs"));
    ChipRun t(row.part);
    t.Place(0x1000, t.Chip().Part().Size - 0x1000, 512);
    t.reporter.StopAtLook = row.stop ? 3 : 0;
    const auto step = [&](SpiFlashOperations& f) {
      return row.stop ? f.Write(t.image, texts::kSpiWrite) : f.Verify(t.image);
    };
    EXPECT_EQ(t.Run(step), row.result);
    EXPECT_FALSE(t.Chip().FourByteMode());
    const bool enters = t.Chip().Part().Enter4 != sim::SimEnter4::None;
    EXPECT_EQ(t.Chip().ModeCommands(), enters ? 2 : 0);
  }
}

}  // namespace
}  // namespace pw
