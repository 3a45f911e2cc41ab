#include <gtest/gtest.h>

#include <cstring>

#include "d2xx/FtEepromImage.h"
#include "support/FtRecord.h"

namespace pw {
namespace {

using test::FtRecord;

TEST(FtEepromImage, FactoryContentReadsAsFtdiShipsIt) {
  const FtEepromImage image = FactoryFtEeprom("FT232R USB UART", "A1B2C3D4");
  EXPECT_EQ(image[0x7E] | (image[0x7F] << 8), FtEepromChecksum(image));
  FtRecord r;
  ASSERT_EQ(DecodeFtEeprom(image, r.Data), FT_OK);
  EXPECT_STREQ(r.Manufacturer, "FTDI");
  EXPECT_STREQ(r.ManufacturerId, "A1");
  EXPECT_STREQ(r.Description, "FT232R USB UART");
  EXPECT_STREQ(r.Serial, "A1B2C3D4");
  EXPECT_EQ(r.Data.VendorId, 0x0403);
  EXPECT_EQ(r.Data.ProductId, 0x6001);
  EXPECT_EQ(r.Data.MaxPower, 90);
  EXPECT_EQ(r.Data.SelfPowered, 0);
  EXPECT_EQ(r.Data.USBVersion, 0x0200);
  EXPECT_EQ(r.Data.SerNumEnableR, 1);
  EXPECT_EQ(r.Data.HighDriveIOs, 0);
  EXPECT_EQ(r.Data.UseExtOsc, 0);
  EXPECT_EQ(r.Data.RIsD2XX, 0);
  EXPECT_EQ(r.Data.RemoteWakeup, 1);
  EXPECT_EQ(r.Data.PnP, 1);
  EXPECT_EQ(r.Data.Cbus0, 3);  // TXLED
  EXPECT_EQ(r.Data.Cbus1, 2);  // RXLED
  EXPECT_EQ(r.Data.Cbus2, 0);  // TXDEN
  EXPECT_EQ(r.Data.Cbus3, 1);  // PWRON
  EXPECT_EQ(r.Data.Cbus4, 5);  // SLEEP
}

TEST(FtEepromImage, FactoryImageIsLaidOutAsAShippedChip) {
  const FtEepromImage image = FactoryFtEeprom("FT232R USB UART", "A1B2C3D4");
  // Flags, VID, PID, release, bus powered with remote wake-up, 90 mA, serial on, USB 2.00,
  // string pointers and lengths, CBUS functions.
  const std::uint8_t header[] = {0x00, 0x40, 0x03, 0x04, 0x01, 0x60, 0x00, 0x06, 0xA0, 0x2D, 0x08, 0x00,
                                 0x00, 0x02, 0x98, 0x0A, 0xA2, 0x20, 0xC2, 0x12, 0x23, 0x10, 0x05, 0x00};
  for (std::size_t i = 0; i < sizeof header; ++i) EXPECT_EQ(image[i], header[i]) << "byte " << i;
  const std::uint8_t manufacturer[] = {0x0A, 0x03, 'F', 0, 'T', 0, 'D', 0, 'I', 0};
  for (std::size_t i = 0; i < sizeof manufacturer; ++i) EXPECT_EQ(image[0x18 + i], manufacturer[i]);
  EXPECT_EQ(image[0x22], 0x20);                   // the description descriptor follows
  EXPECT_EQ(image[0x42], 0x12);                   // then the serial's
  const std::uint8_t pnp[] = {0x02, 0x03, 0x00};  // then the plug-and-play entry, PnP on
  for (std::size_t i = 0; i < sizeof pnp; ++i) EXPECT_EQ(image[0x54 + i], pnp[i]);
  for (std::size_t i = 0x57; i < 0x7E; ++i) EXPECT_EQ(image[i], 0) << "byte " << i;
  EXPECT_EQ(image[0x7E] | (image[0x7F] << 8), FtEepromChecksum(image));
}

TEST(FtEepromImage, ChecksumRotatesAfterEveryWord) {
  FtEepromImage image{};
  // 0xAAAA rotated 63 times without anything mixed in.
  EXPECT_EQ(FtEepromChecksum(image), 0x5555);
  image[0] = 0xAA;
  image[1] = 0xAA;
  EXPECT_EQ(FtEepromChecksum(image), 0x0000);
  image[0x7E] = 0x12;  // the checksum word itself is not summed
  EXPECT_EQ(FtEepromChecksum(image), 0x0000);
  image[0x7C] = 0x01;  // the last summed word is rotated once
  EXPECT_EQ(FtEepromChecksum(image), 0x0002);
}

TEST(FtEepromImage, ProgrammingThenReadingGivesTheRecordBack) {
  FtRecord in;
  std::strcpy(in.Manufacturer, "Pinwright");
  std::strcpy(in.Description, "FT232R USB UART");
  std::strcpy(in.Serial, "PW000042");
  in.Data.VendorId = 0x0403;
  in.Data.ProductId = 0x6001;
  in.Data.MaxPower = 50;
  in.Data.USBVersion = 0x0110;
  in.Data.UseExtOsc = 1;
  in.Data.HighDriveIOs = 1;
  in.Data.PullDownEnableR = 1;
  in.Data.InvertRTS = 1;
  in.Data.Cbus4 = 10;  // beyond what the datasheet lists for CBUS4, and kept as written
  in.Data.RIsD2XX = 1;
  in.Data.PnP = 0;
  FtEepromImage image{};
  ASSERT_EQ(EncodeFtEeprom(in.Data, image), FT_OK);
  EXPECT_EQ(image[0x00], 0x02 | 0x04 | 0x08);  // external oscillator, high drive, D2XX driver
  FtRecord out;
  ASSERT_EQ(DecodeFtEeprom(image, out.Data), FT_OK);
  EXPECT_STREQ(out.Manufacturer, "Pinwright");
  EXPECT_STREQ(out.Serial, "PW000042");
  EXPECT_EQ(out.Data.MaxPower, 50);
  EXPECT_EQ(out.Data.USBVersion, 0x0110);
  EXPECT_EQ(out.Data.UseExtOsc, 1);
  EXPECT_EQ(out.Data.HighDriveIOs, 1);
  EXPECT_EQ(out.Data.PullDownEnableR, 1);
  EXPECT_EQ(out.Data.InvertRTS, 1);
  EXPECT_EQ(out.Data.InvertCTS, 0);
  EXPECT_EQ(out.Data.Cbus4, 10);
  EXPECT_EQ(out.Data.RIsD2XX, 1);
  EXPECT_EQ(out.Data.PnP, 0);
  EXPECT_EQ(image[0x7E] | (image[0x7F] << 8), FtEepromChecksum(image));
}

TEST(FtEepromImage, TextsThatDoNotFitAreRefusedAndTheImageKept) {
  FtRecord in;
  std::memset(in.Manufacturer, 'M', 63);
  std::memset(in.Description, 'D', 63);
  std::strcpy(in.Serial, "X");
  FtEepromImage image = FactoryFtEeprom("FT232R USB UART", "A1B2C3D4");
  const FtEepromImage before = image;
  EXPECT_EQ(EncodeFtEeprom(in.Data, image), FT_INVALID_PARAMETER);
  EXPECT_EQ(image, before);
}

TEST(FtEepromImage, ACurrentThatDoesNotFitItsByteIsRefused) {
  FtRecord in;
  in.Data.MaxPower = 512;
  FtEepromImage image = FactoryFtEeprom("FT232R USB UART", "A1B2C3D4");
  const FtEepromImage before = image;
  EXPECT_EQ(EncodeFtEeprom(in.Data, image), FT_INVALID_PARAMETER);
  EXPECT_EQ(image, before);
  in.Data.MaxPower = 510;
  EXPECT_EQ(EncodeFtEeprom(in.Data, image), FT_OK);
  EXPECT_EQ(image[0x09], 0xFF);
}

TEST(FtEepromImage, MissingTextBuffersAreRefused) {
  FtRecord r;
  r.Data.SerialNumber = nullptr;
  FtEepromImage image{};
  EXPECT_EQ(DecodeFtEeprom(FactoryFtEeprom("a", "b"), r.Data), FT_INVALID_PARAMETER);
  EXPECT_EQ(EncodeFtEeprom(r.Data, image), FT_INVALID_PARAMETER);
}

}  // namespace
}  // namespace pw
