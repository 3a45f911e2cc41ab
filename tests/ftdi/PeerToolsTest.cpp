// The preloadable virtual programmer checked by a peer tool with code of its own: Debian's
// ftdi_eeprom (libftdi1's tool) reads the virtual FT232R's EEPROM through libftdi1 and libusb,
// and decodes the fields the project's codec decodes. Skipped when ftdi_eeprom is not installed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>

#include "d2xx/FtEepromImage.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::TempDir;

constexpr const char* kFtdiEeprom = "/usr/bin/ftdi_eeprom";
// libftdi's names of the CBUS functions, by the number both APIs use.
constexpr const char* kCbusNames[] = {"TXDEN", "PWREN", "RXLED", "TXLED", "TX+RXLED", "SLEEP", "CLK48",
                                      "CLK24", "CLK12", "CLK6",  "IOMODE", "BB_WR",  "BB_RD"};

std::string RunTool(const TempDir& dir, const std::string& args) {
  const std::string command = "cd '" + dir.Path().string() + "' && LD_PRELOAD='" PINWRIGHT_PRELOAD
                              "' PINWRIGHT_VIRTUAL_BENCH=bench.ini " + std::string(kFtdiEeprom) + " " + args +
                              " > tool.txt 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << test::ReadText(dir / "tool.txt");
  return test::ReadText(dir / "tool.txt");
}

std::string Field(const std::string& text, const std::string& label) {
  std::smatch m;
  const std::regex re(label + ":\\s*([^\\n]*)");
  return std::regex_search(text, m, re) ? m[1].str() : "(missing " + label + ")";
}

TEST(PeerTools, FtdiEepromDecodesTheVirtualChipsEepromAsTheCodecDoes) {
  if (!std::filesystem::exists(kFtdiEeprom)) GTEST_SKIP() << "ftdi_eeprom is not installed (package ftdi-eeprom)";
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
  const std::string out = RunTool(dir, "--verbose --read-eeprom --device s:0x0403:0x6001:PW000042 read.conf");
  EXPECT_EQ(test::ReadText(dir / "out.bin"), std::string(image.begin(), image.end()));
  EXPECT_EQ(Field(out, "Manufacturer"), "Pinwright");
  EXPECT_EQ(Field(out, "Product"), "Pinwright ISP");
  EXPECT_EQ(Field(out, "Serial"), "PW000042");
  EXPECT_EQ(Field(out, "Bus Powered"), "150 mA");
  const std::uint8_t cbus[] = {r.Cbus0, r.Cbus1, r.Cbus2, r.Cbus3, r.Cbus4};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Field(out, "C" + std::to_string(i) + " Function"), kCbusNames[cbus[i]]) << i;
}

}  // namespace
}  // namespace pw
