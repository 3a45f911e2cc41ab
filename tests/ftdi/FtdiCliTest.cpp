// pinwright-cli on the real backend, through the real libftdi1, against the virtual FT232R
// carrying the simulated board: AVR identification, a flash write and an I2C round trip run
// unchanged, streaming and in lock-step; a missing programmer ends with the report and a hint.

#include <cstdlib>
#include <sstream>

#include "UsbFixture.h"
#include "avr/AvrFlashFile.h"
#include "cli/CliRun.h"
#include "frame/ImageFiles.h"
#include "sim/Bench.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::TempDir;
using test::UsbFixture;

struct CliRun {
  int Status;
  std::string Out;
  std::string Err;
};

/// pinwright-cli in this process, so that its libftdi1 meets the virtual bus.
CliRun Cli(const std::vector<std::string>& args) {
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const int status = cli::RunCli(args);
  std::string out = ::testing::internal::GetCapturedStdout();
  std::string err = ::testing::internal::GetCapturedStderr();
  return {status, out, err};
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class FtdiCli : public UsbFixture, public ::testing::WithParamInterface<const char*> {
 protected:
  FtdiCli() {
    if (*GetParam())
      setenv("PINWRIGHT_FTDI_LOCKSTEP", GetParam(), 1);
    else
      unsetenv("PINWRIGHT_FTDI_LOCKSTEP");
  }
  ~FtdiCli() override { unsetenv("PINWRIGHT_FTDI_LOCKSTEP"); }
  /// The built-in programmer board with an ATmega328P and a 24C04, plugged in with serial.
  sim::SimBoard& PlugProgrammer(const std::string& serial) {
    bench_.push_back(sim::Bench::FromText("[AVR]\nPart=ATmega328P\n[I2C]\nPart=24C04\n", dir_.Path()));
    auto& devices = bench_.back()->Programmer().Devices();
    devices.front()->Config.SerialNumber = serial;
    devices.front()->Eeprom = FactoryFtEeprom(devices.front()->Config.Description, serial);
    usbchip::VirtualChip& chip = Bus().Plug(std::move(devices.front()));
    return *chip.Device->Board;
  }
  std::vector<std::uint8_t>& Memory(sim::SimChip& chip, const std::string& key) {
    for (auto& m : chip.Memories()) {
      if (m.Key == key) return *m.Bytes;
    }
    throw std::logic_error("no memory " + key);
  }
  TempDir dir_;
  std::vector<std::unique_ptr<sim::Bench>> bench_;
};

TEST_P(FtdiCli, AvrIdentifyAndFlashWriteRunThroughLibftdi) {
  sim::SimBoard& board = PlugProgrammer("A1B2C3D4");
  CliRun r = Cli({"avr", "identify"});
  EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_TRUE(Has(r.Out, "чип: ATmega328P")) << r.Out;
  const auto hex = test::SourceDir() / "tests/e2e/data/m328p-flash.hex";
  r = Cli({"--yes", "avr", "write-flash", hex.string()});
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  MemoryImages m;
  LoadAvrFlashFile(hex, m);
  const auto& flash = Memory(*board.Avr, "Flash");
  for (std::size_t w = 0; w < flash.size() / 2; ++w) {
    ASSERT_EQ(flash[2 * w] | flash[2 * w + 1] << 8, m.FlashImage[w]) << "word " << w;
  }
}

TEST_P(FtdiCli, I2cWriteThenReadGivesTheSameBytes) {
  sim::SimBoard& board = PlugProgrammer("A1B2C3D4");
  const auto in = dir_.Write("in.hex", ":1000000000112233445566778899AABBCCDDEEFF78\r\n:00000001FF\r\n");
  CliRun r = Cli({"--yes", "i2c", "24C04", "write", in.string()});
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  const auto& memory = Memory(*board.I2c, "Memory");
  for (int i = 0; i < 16; ++i) EXPECT_EQ(memory[static_cast<std::size_t>(i)], i * 0x11) << i;
  const auto out = dir_ / "out.hex";
  r = Cli({"i2c", "24C04", "read", out.string()});
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  MemoryImages back;
  LoadEepromFile(out, back);
  EXPECT_TRUE(std::equal(memory.begin(), memory.end(), back.EepromImage.begin()));
}

INSTANTIATE_TEST_SUITE_P(Exchanges, FtdiCli, ::testing::Values("", "1"),
                         [](const auto& info) { return *info.param ? "LockStep" : "Streaming"; });

TEST_F(UsbFixture, DevicePicksTheSecondProgrammerBySerial) {
  Bus().PlugBare("FT232R USB UART", "OTHER001");
  TempDir dir;
  auto bench = sim::Bench::FromText("[AVR]\nPart=ATtiny85\n", dir.Path());
  auto& devices = bench->Programmer().Devices();
  devices.front()->Eeprom = FactoryFtEeprom(devices.front()->Config.Description, "PICKME01");
  Bus().Plug(std::move(devices.front()));
  CliRun r = Cli({"--device", "PICKME01", "avr", "identify"});
  EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_TRUE(Has(r.Out, "чип: ATtiny85")) << r.Out;
  r = Cli({"--device", "OTHER001", "avr", "identify"});
  EXPECT_NE(r.Status, 0);  // a bare FT232R: no chip answers
}

/// The rule line of the udev file the programs are installed with: its one line that is not a comment.
std::string InstalledUdevRule() {
  std::istringstream in(test::ReadText(test::SourceDir() / "data" / "60-pinwright-ft232r.rules"));
  std::string line;
  while (std::getline(in, line) && line.rfind('#', 0) == 0) {
  }
  return line;
}

TEST_F(UsbFixture, AMissingForbiddenOrBusyProgrammerEndsWithTheReportAndAHint) {
  CliRun r = Cli({"avr", "identify"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_TRUE(Has(r.Err, "0403:6001")) << r.Err;
  usbchip::VirtualChip& chip = Bus().PlugBare("FT232R USB UART", "A1");
  chip.NoPermission = true;
  r = Cli({"avr", "identify"});
  EXPECT_NE(r.Status, 0);
  EXPECT_TRUE(Has(r.Err, "udev")) << r.Err;
  EXPECT_TRUE(Has(r.Err, InstalledUdevRule())) << r.Err;  // the hint shows the rule that is installed
  chip.NoPermission = false;
  chip.Claimed = true;  // another program holds it
  r = Cli({"settings", "read"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_TRUE(Has(r.Err, "занят другой программой")) << r.Err;
  EXPECT_TRUE(Has(r.Out, "FT_Open - Device not opened...")) << r.Out;
}

}  // namespace
}  // namespace pw
