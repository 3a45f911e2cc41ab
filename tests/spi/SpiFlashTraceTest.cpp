#include <gtest/gtest.h>

#include <cstdlib>

#include "link/ProgrammerConnection.h"
#include "sim/Bench.h"
#include "sim/SimSpiFlash.h"
#include "spi/SpiFlashBus.h"
#include "support/Sigrok.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

TEST(SpiFlashTrace, AStreamedReadDecodesInSigrokToTheReadCommandAndTheData) {
  if (!test::HaveSigrok()) {
    // CI installs sigrok-cli (dev.sh): there a missing one is a fault, not a reason to skip.
    if (std::getenv("CI")) FAIL() << "sigrok-cli is not installed";
    GTEST_SKIP() << "sigrok-cli is not installed";
  }
  test::TempDir dir;
  auto bench = sim::Bench::FromText("[SPI]\nPart=W25X10\n", dir.Path());
  auto& chip = static_cast<sim::SimSpiFlash&>(*bench->Board()->Spi);
  for (std::size_t i = 0; i < chip.Memory().size(); ++i) chip.Memory()[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
  D2XXUnit unit(bench->Programmer());
  OpenProgrammer(unit, kModeSpiFlash, 19200);
  // More than one exchange holds: /CS stays low from one to the next.
  std::vector<std::uint8_t> data(SpiFlashBus::kReadBytesPerExchange + 100);
  bench->Programmer().StartTrace(dir / "read.bin");
  SpiFlashBus(unit, 19200, 0x01).Read(0x000123, data, nullptr);
  bench->Programmer().StopTrace();
  CloseProgrammer(unit);

  const std::vector<std::uint8_t> expected(chip.Memory().begin() + 0x123, chip.Memory().begin() + 0x123 + data.size());
  EXPECT_EQ(data, expected);
  const std::string decoder = "-P spi:clk=5:mosi=3:miso=7:cs=6 -A spi=";
  const auto mosi = test::SigrokBytes(test::RunSigrok(dir / "read.bin", decoder + "mosi-data"));
  const auto miso = test::SigrokBytes(test::RunSigrok(dir / "read.bin", decoder + "miso-data"));
  ASSERT_EQ(mosi.size(), 4 + data.size());
  ASSERT_EQ(miso.size(), 4 + data.size());
  EXPECT_EQ(std::vector<int>(mosi.begin(), mosi.begin() + 4), (std::vector<int>{0x03, 0x00, 0x01, 0x23}));
  EXPECT_EQ(std::vector<int>(miso.begin(), miso.begin() + 4), (std::vector<int>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(std::vector<int>(miso.begin() + 4, miso.end()), std::vector<int>(expected.begin(), expected.end()));
}

}  // namespace
}  // namespace pw
