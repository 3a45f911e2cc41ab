// The preloadable virtual programmer checked by peer tools with code of their own: Debian's
// ftdi_eeprom (libftdi1's tool) reads the virtual FT232R's EEPROM through libftdi1 and
// libusb-1.0 and decodes the fields the project's codec decodes; Debian's avrdude, whose ft232r
// programmer goes through libftdi 0.20 and libusb-0.1, reads the simulated ATmega328P's
// signature and fuses and writes and verifies a flash image with its own ISP code. Each is
// skipped when its tool is not installed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>

#include "PeerTool.h"
#include "avr/AvrFlashFile.h"
#include "d2xx/FtEepromImage.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using namespace test;

// libftdi's names of the CBUS functions, by the number both APIs use.
constexpr const char* kCbusNames[] = {"TXDEN", "PWREN", "RXLED", "TXLED",  "TX+RXLED", "SLEEP", "CLK48",
                                      "CLK24", "CLK12", "CLK6",  "IOMODE", "BB_WR",    "BB_RD"};

std::string Field(const std::string& text, const std::string& label) {
  std::smatch m;
  const std::regex re(label + ":\\s*([^\\n]*)");
  return std::regex_search(text, m, re) ? m[1].str() : "(missing " + label + ")";
}

TEST(PeerTools, FtdiEepromDecodesTheVirtualChipsEepromAsTheCodecDoes) {
  REQUIRE_TOOL(kFtdiEeprom);
  TempDir dir;
  char manufacturer[kFtManufacturerSize] = "Pinwright", id[kFtManufacturerIdSize] = "",
       description[kFtDescriptionSize] = "Pinwright ISP", serial[kFtSerialNumberSize] = "PW000042";
  FT_PROGRAM_DATA r{};
  r.Signature2 = 0xFFFFFFFF;
  r.VendorId = 0x0403;
  r.ProductId = 0x6001;
  r.Manufacturer = manufacturer;
  r.ManufacturerId = id;
  r.Description = description;
  r.SerialNumber = serial;
  r.MaxPower = 150;
  r.SerNumEnableR = 1;
  r.USBVersion = 0x0200;
  r.Cbus0 = 3, r.Cbus1 = 2, r.Cbus2 = 11, r.Cbus3 = 6, r.Cbus4 = 10;
  FtEepromImage image{};
  ASSERT_EQ(EncodeFtEeprom(r, image), FT_OK);
  dir.Write("ee.bin", std::string(image.begin(), image.end()));
  dir.Write("bench.ini", "[Programmer]\nDescription=Pinwright ISP\nSerialNumber=PW000042\nEeprom=ee.bin\n");
  dir.Write("read.conf", "filename=out.bin\n");
  const std::string out =
      RunTool(dir, kFtdiEeprom, "--verbose --read-eeprom --device s:0x0403:0x6001:PW000042 read.conf");
  EXPECT_EQ(test::ReadText(dir / "out.bin"), std::string(image.begin(), image.end()));
  EXPECT_EQ(Field(out, "Manufacturer"), "Pinwright");
  EXPECT_EQ(Field(out, "Product"), "Pinwright ISP");
  EXPECT_EQ(Field(out, "Serial"), "PW000042");
  EXPECT_EQ(Field(out, "Bus Powered"), "150 mA");
  const std::uint8_t cbus[] = {r.Cbus0, r.Cbus1, r.Cbus2, r.Cbus3, r.Cbus4};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Field(out, "C" + std::to_string(i) + " Function"), kCbusNames[cbus[i]]) << i;
}

TEST(PeerTools, AvrdudeIdentifiesWritesAndVerifiesTheSimulatedAvr) {
  REQUIRE_TOOL(kAvrdude);
  TempDir dir;
  const std::string avrdude = AvrdudeOn(dir, "[AVR]\nPart=ATmega328P\nFlash=flash.bin\nEeprom=eeprom.bin\n");
  std::string out = RunTool(dir, avrdude, "-U signature:r:-:h -U lfuse:r:-:h -U hfuse:r:-:h -U efuse:r:-:h");
  EXPECT_NE(out.find("0x1e,0x95,0xf"), std::string::npos) << out;
  for (const char* fuse : {"\n0x62\n", "\n0xd9\n", "\n0xff\n"})
    EXPECT_NE(out.find(fuse), std::string::npos) << fuse << out;
  const auto hex = test::SourceDir() / "tests/e2e/data/m328p-flash.hex";
  out = RunTool(dir, avrdude, "-U flash:w:" + hex.string() + ":i");
  EXPECT_NE(out.find("bytes of flash verified"), std::string::npos) << out;
  MemoryImages m;
  LoadAvrFlashFile(hex, m);
  const std::string flash = test::ReadText(dir / "flash.bin");
  ASSERT_EQ(flash.size(), 32768u);
  for (std::size_t w = 0; w < flash.size() / 2; ++w) {
    ASSERT_EQ(static_cast<std::uint8_t>(flash[2 * w]) | static_cast<std::uint8_t>(flash[2 * w + 1]) << 8,
              m.FlashImage[w])
        << "word " << w;
  }
}

TEST(PeerTools, AvrdudeReadsBackTheFusesFlashAndEepromPinwrightWrote) {
  REQUIRE_TOOL(kAvrdude);
  TempDir dir;
  const std::string avrdude =
      AvrdudeOn(dir, "[AVR]\nPart=ATmega328P\nFlash=flash.bin\nEeprom=eeprom.bin\nFuseFile=fuses.bin\n");
  const std::string readFuses = "-U lfuse:r:l.txt:h -U hfuse:r:h.txt:h -U efuse:r:e.txt:h -U lock:r:k.txt:h";
  const auto fusesRead = [&] {
    std::string bytes;
    for (const char* file : {"l.txt", "h.txt", "e.txt", "k.txt"}) bytes += test::ReadText(dir / file);
    return bytes;
  };
  const auto pinwright = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--simulator=bench.ini", "--yes", "avr"});
    const auto r = test::RunCli(args, dir.Path());
    EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
  };
  // CKDIV8 off, then back to the factory 0x62, with flash and EEPROM in the same run.
  pinwright({"write-fuses", "E2", "D9", "FF", "FF"});
  RunTool(dir, avrdude, readFuses);
  EXPECT_EQ(fusesRead(), "0xe2\n0xd9\n0xff\n0xff\n");
  const auto data = test::SourceDir() / "tests/e2e/data";
  pinwright({"write-flash", (data / "m328p-flash.hex").string(), "write-eeprom", (data / "m328p-eeprom.hex").string(),
             "write-fuses", "62", "D9", "FF", "FF"});
  const std::string out = RunTool(dir, avrdude,
                                  readFuses + " -U flash:v:" + (data / "m328p-flash.hex").string() +
                                      ":i -U eeprom:v:" + (data / "m328p-eeprom.hex").string() + ":i");
  EXPECT_EQ(fusesRead(), "0x62\n0xd9\n0xff\n0xff\n");
  EXPECT_NE(out.find("bytes of flash verified"), std::string::npos) << out;
  EXPECT_NE(out.find("bytes of eeprom verified"), std::string::npos) << out;
}

}  // namespace
}  // namespace pw
