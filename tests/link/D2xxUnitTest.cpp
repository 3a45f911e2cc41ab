#include <gtest/gtest.h>

#include <cstring>

#include "common/Error.h"
#include "link/D2xxUnit.h"
#include "link/ProgrammerConnection.h"
#include "sim/SimFt232r.h"

namespace pw {
namespace {

struct D2xxUnitTest : ::testing::Test {
  D2xxUnitTest() { sim.AddProgrammer({.Description = "FT232R USB UART", .SerialNumber = "FT9XK2AB"}); }
  void Open() {
    unit.FtOpen(0);
    unit.FtSetBitMode(0x00, FT_BITMODE_SYNC_BITBANG);
  }
  sim::SimFt232r sim;
  D2XXUnit unit{sim};
};

TEST_F(D2xxUnitTest, EepromReadPreparesTheRecordAndFillsTheBuffers) {
  Open();
  unit.FtEeData.MaxPower = 1234;
  unit.FtEeData.Cbus4 = 99;
  unit.ReadFtEeprom(2);
  EXPECT_EQ(unit.FtEeData.Signature1, 0u);
  EXPECT_EQ(unit.FtEeData.Signature2, 0xFFFFFFFFu);
  EXPECT_EQ(unit.FtEeData.Version, 2u);
  EXPECT_EQ(unit.FtEeData.Manufacturer, unit.ManufacturerBuffer.data());
  EXPECT_EQ(unit.FtEeData.Description, unit.DescriptionBuffer.data());
  EXPECT_STREQ(unit.ManufacturerBuffer.data(), "FTDI");
  EXPECT_STREQ(unit.ManufacturerIdBuffer.data(), "FT");
  EXPECT_STREQ(unit.DescriptionBuffer.data(), "FT232R USB UART");
  EXPECT_STREQ(unit.SerialNumberBuffer.data(), "FT9XK2AB");
  EXPECT_EQ(unit.FtEeData.VendorId, 0x0403);
  EXPECT_EQ(unit.FtEeData.ProductId, 0x6001);
  EXPECT_EQ(unit.FtEeData.MaxPower, 90);
  EXPECT_EQ(unit.FtEeData.Cbus4, 5);  // SLEEP, the factory setting
  EXPECT_EQ(unit.FtEeData.USBVersion, 0x0200);
}

TEST_F(D2xxUnitTest, EachEepromReadStartsFromAZeroedTail) {
  Open();
  // The chip reports nothing for fields it does not have; a stale value must not survive a read.
  for (std::uint32_t version : {0u, 1u, 2u}) {
    unit.FtEeData.IsoIn = 7;
    unit.FtEeData.USBVersion5 = 0x1234;
    unit.FtEeData.Manufacturer = nullptr;
    unit.ReadFtEeprom(version);
    EXPECT_EQ(unit.FtEeData.IsoIn, 0);
    EXPECT_EQ(unit.FtEeData.USBVersion5, 0);
    EXPECT_EQ(unit.FtEeData.Manufacturer, unit.ManufacturerBuffer.data());
    EXPECT_EQ(unit.FtEeData.Version, version);
  }
}

TEST_F(D2xxUnitTest, ListingADescriptionReplacesTheRecordsDescription) {
  sim.AddDevice({.Description = "USB <-> Serial"});
  Open();
  unit.ReadFtEeprom(2);
  unit.GetFTDeviceDescription(1);
  EXPECT_STREQ(unit.FtEeData.Description, "USB <-> Serial");
  EXPECT_EQ(unit.FtDeviceDescription, "USB <-> Serial");
}

TEST_F(D2xxUnitTest, FailedListingKeepsTheLastDescriptionAndNamesTheCall) {
  sim.AddDevice({.Description = "broken", .ListStatus = FT_IO_ERROR});
  unit.GetFTDeviceDescription(0);
  try {
    unit.GetFTDeviceDescription(1);
    FAIL() << "listing a broken device succeeded";
  } catch (const PinwrightError& e) {
    EXPECT_STREQ(e.what(), "GetFTDeviceDescription - General IO error...");
  }
  EXPECT_EQ(unit.FtDeviceDescription, "FT232R USB UART");
}

TEST_F(D2xxUnitTest, EepromProgramWritesTheRecordBack) {
  Open();
  unit.ReadFtEeprom(2);
  unit.FtEeData.Cbus4 = 10;
  unit.FtEeData.MaxPower = 50;
  unit.FtEeData.UseExtOsc = 1;
  unit.ProgramFtEeprom();
  unit.FtEeData = {};
  unit.ReadFtEeprom(2);
  EXPECT_EQ(unit.FtEeData.Cbus4, 10);
  EXPECT_EQ(unit.FtEeData.MaxPower, 50);
  EXPECT_EQ(unit.FtEeData.UseExtOsc, 1);
  EXPECT_STREQ(unit.SerialNumberBuffer.data(), "FT9XK2AB");
}

TEST_F(D2xxUnitTest, FailingCallsNameThemselves) {
  sim.Faults().FailCall(sim::SimCall::EeRead, 1, FT_EEPROM_READ_FAILED);
  Open();
  EXPECT_THROW(
      {
        try {
          unit.ReadFtEeprom(0);
        } catch (const PinwrightError& e) {
          EXPECT_STREQ(e.what(), "FT_EE_Read  - EEPROM read failed...");
          throw;
        }
      },
      PinwrightError);
}

TEST_F(D2xxUnitTest, RunsLongerThanTheBuffersAreRefused) {
  Open();
  EXPECT_THROW(unit.PinWrite(D2XXUnit::kSampleCapacity + 1), PinwrightError);
  EXPECT_THROW(unit.PinRead(D2XXUnit::kSampleCapacity + 1), PinwrightError);
  EXPECT_NO_THROW(unit.PinExchange(D2XXUnit::kSampleCapacity));
}

TEST_F(D2xxUnitTest, ShortReadKeepsTheRestOfTheBuffer) {
  Open();
  std::memset(unit.InSamples.data(), 0xAB, 4);
  sim.Faults().ShortRead(1, 2);
  unit.PinWrite(4);
  EXPECT_EQ(unit.PinRead(4), 2u);
  EXPECT_EQ(unit.InSamples[1], 0xFF);
  EXPECT_EQ(unit.InSamples[2], 0xAB);
  EXPECT_EQ(unit.InSamples[3], 0xAB);
}

TEST_F(D2xxUnitTest, AnExchangeThatComesBackShortIsAnError) {
  Open();
  sim.Faults().ShortRead(1, 3);
  try {
    unit.PinExchange(8);
    FAIL() << "a short exchange went unnoticed";
  } catch (const PinwrightError& e) {
    EXPECT_STREQ(e.what(), "Ошибка! Программатор вернул 3 отсчётов из 8");
  }
}

}  // namespace
}  // namespace pw
