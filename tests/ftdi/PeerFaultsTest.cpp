// The preloaded virtual programmer as strict as the simulator, seen by peer tools and by
// pinwright-cli's own libftdi1 backend: every libusb function they import is there, ftdi_eeprom
// flashes the bench's EEPROM file, each [Faults] rule ends a run with an error, and [Timing],
// the trace and the virtual time hold for a tool's run. Skipped without the tools.

#include <gtest/gtest.h>

#include <chrono>

#include "PeerTool.h"
#include "d2xx/FtEepromImage.h"
#include "support/Sigrok.h"

namespace pw {
namespace {

using namespace test;

const std::vector<std::string> kSignatureRead = {"-C", "+board.conf", "-c", "pinwright", "-p", "m328p",
                                                 "-P", "usb",         "-B", "4kHz",      "-U", "signature:r:-:h"};

TEST(PeerFaults, TheVirtualLibusbDefinesEveryUsbFunctionTheToolsAndTheirLibftdiImport) {
  REQUIRE_TOOL(kFtdiEeprom);
  REQUIRE_TOOL(kAvrdude);
  // The programs and the libftdi each loads (libftdi1, libftdi 0.20): what they import and the
  // preloaded library does not define, one name a line.
  const std::string script = R"sh(names() { nm -D "$@" | awk '{print $NF}' | grep -E '^(lib)?usb_' | sort -u; }
    tools="$0 $1 $(ldd $0 $1 | grep -o '/[^ ]*libftdi[^ ]*')"
    [ $(echo $tools | wc -w) = 4 ] || echo "not four importers: $tools"
    comm -23 <(for t in $tools; do names --undefined-only $t; done | sort -u) <(names --defined-only "$2"))sh";
  const auto r = RunProgram("/bin/bash", {"-c", script, kFtdiEeprom, kAvrdude, PINWRIGHT_PRELOAD}, ".");
  EXPECT_EQ(r.Out + r.Err, "");
}

TEST(PeerFaults, FtdiEepromFlashesWhatItsConfigurationSaysIntoTheBenchsEepromFile) {
  REQUIRE_TOOL(kFtdiEeprom);
  TempDir dir;
  dir.Write("bench.ini", "[Programmer]\nEeprom=ee.bin\n");
  dir.Write("flash.conf",
            "vendor_id=0x0403\nproduct_id=0x6001\nmanufacturer=\"Pinwright\"\nproduct=\"Pinwright Flashed\"\n"
            "serial=\"PW000077\"\nuse_serial=true\n");
  const auto r = RunPreloaded(dir, kFtdiEeprom, {"--flash-eeprom", "flash.conf"});
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  const auto bytes = ReadBytes(dir / "ee.bin");
  FtEepromImage image{};
  ASSERT_EQ(bytes.size(), image.size());
  std::copy(bytes.begin(), bytes.end(), image.begin());
  EXPECT_EQ(FtEepromString(image, 0x10), "Pinwright Flashed");
  EXPECT_EQ(FtEepromString(image, 0x12), "PW000077");
}

struct FaultCase {
  const char* Faults;
  const char* Tool;
  std::vector<std::string> Args;
  /// What the tool says of it.
  const char* Says;
};

TEST(PeerFaults, EachBenchFaultEndsTheRunWithAnErrorStatusAndMessage) {
  REQUIRE_TOOL(kFtdiEeprom);
  REQUIRE_TOOL(kAvrdude);
  const FaultCase cases[] = {
      {"UnplugAfter=200", kAvrdude, kSignatureRead, "expected signature"},
      {"UnplugAtControl=3", kAvrdude, kSignatureRead, "unable to set latency timer"},
      {"Busy=yes", kFtdiEeprom, {"--read-eeprom", "read.conf"}, "unable to claim usb device"},
      {"Fail=Write:6:4", PINWRIGHT_CLI, {"avr", "identify"}, "FT_Write - General IO error"},
      {"UnplugAfterEepromWords=10",
       PINWRIGHT_CLI,
       {"--yes", "settings", "defaults"},
       "FT_EE_Program - EEPROM write failed"},
      // The simulator holds a busy device as the USB chip does.
      {"Busy=yes", PINWRIGHT_CLI, {"--simulator=bench.ini", "avr", "identify"}, "FT_Open - Device not opened"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Faults);
    TempDir dir;
    dir.Write("board.conf", kAvrdudeBoard);
    dir.Write("read.conf", "filename=out.bin\n");
    dir.Write("bench.ini", std::string("[AVR]\nPart=ATmega328P\n[Faults]\n") + c.Faults + "\n");
    const auto r = RunPreloaded(dir, c.Tool, c.Args);
    EXPECT_GT(r.Status, 0) << r.Out << r.Err;
    EXPECT_NE((r.Out + r.Err).find(c.Says), std::string::npos) << r.Out << r.Err;
  }
}

TEST(PeerFaults, AToolsRunKeepsTheBenchsSampleRateAndRealTimeAndIsTracedAndTimed) {
  REQUIRE_TOOL(kAvrdude);
  if (!HaveSigrok()) GTEST_SKIP() << "sigrok-cli is not installed";
  TempDir dir;
  dir.Write("board.conf", kAvrdudeBoard);
  dir.Write("bench.ini", "[AVR]\nPart=ATmega328P\n[Timing]\nSampleRate=1000\nRealTime=yes\n");
  const auto start = std::chrono::steady_clock::now();
  const auto r = RunPreloaded(dir, kAvrdude, kSignatureRead,
                              {"PINWRIGHT_VIRTUAL_TRACE=trace.bin", "PINWRIGHT_VIRTUAL_TIME=t.txt"});
  const auto wallUs = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  const std::string decoder = "-P spi:clk=5:mosi=3:miso=7:cs=6 -A spi=";
  const auto mosi = SigrokBytes(RunSigrok(dir / "trace.bin", decoder + "mosi-data"));
  const auto miso = SigrokBytes(RunSigrok(dir / "trace.bin", decoder + "miso-data"));
  ASSERT_GE(mosi.size(), 16u);
  ASSERT_GE(miso.size(), 16u);
  EXPECT_EQ(std::vector<int>(mosi.begin(), mosi.begin() + 4), (std::vector<int>{0xAC, 0x53, 0x00, 0x00}));
  EXPECT_EQ((std::vector<int>{miso[7], miso[11], miso[15]}), (std::vector<int>{0x1E, 0x95, 0x0F}));
  // One sample a millisecond: the run lasts at least a millisecond per traced sample, and as
  // long on the wall clock.
  const auto samples = ReadBytes(dir / "trace.bin").size();
  const long long virtualUs = std::stoll(ReadText(dir / "t.txt"));
  EXPECT_GE(virtualUs, static_cast<long long>(samples) * 1000);
  EXPECT_GE(wallUs.count(), virtualUs);
}

}  // namespace
}  // namespace pw
