// Finding and opening programmers through the real libftdi1: listing with descriptions, picking
// by serial, no programmer, no permission; the configuration EEPROM read and programmed word
// by word from the project's image.

#include <cstdlib>
#include <cstring>

#include "UsbFixture.h"
#include "d2xx/FtEepromImage.h"
#include "support/FtRecord.h"

namespace pw {
namespace {

using test::UsbFixture;

std::string Description(ftdi::FtdiD2xx& d, std::uintptr_t index, FT_STATUS* status = nullptr) {
  char text[kFtDescriptionSize] = {};
  const FT_STATUS s = d.ListDevices(reinterpret_cast<void*>(index), text, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION);
  if (status) *status = s;
  return text;
}

std::uint32_t Count(ftdi::FtdiD2xx& d) {
  std::uint32_t n = 99;
  EXPECT_EQ(d.ListDevices(&n, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
  return n;
}

struct ListCase {
  std::string Serial;
  std::uint32_t Count;
  std::string First;
  std::string HintPart;
};

class FtdiListing : public UsbFixture, public ::testing::WithParamInterface<ListCase> {};

TEST_P(FtdiListing, TheSerialPicksTheProgrammer) {
  const ListCase& c = GetParam();
  Bus().PlugBare("FT232R USB UART", "A1B2C3D4");
  Bus().PlugBare("Programmer", "FTX9Y8Z7");
  Make(0, c.Serial);
  EXPECT_EQ(Count(*Driver), c.Count);
  if (c.Count > 0) {
    EXPECT_EQ(Description(*Driver, 0), c.First);
  }
  FT_STATUS beyond = FT_OK;
  Description(*Driver, c.Count, &beyond);
  EXPECT_EQ(beyond, FT_DEVICE_NOT_FOUND);
  if (c.HintPart.empty()) {
    EXPECT_EQ(Driver->Hint(), "");
  } else {
    EXPECT_NE(Driver->Hint().find(c.HintPart), std::string::npos) << Driver->Hint();
  }
}

INSTANTIATE_TEST_SUITE_P(Serials, FtdiListing,
                         ::testing::Values(ListCase{"", 2, "FT232R USB UART", ""},
                                           ListCase{"FTX9Y8Z7", 1, "Programmer", ""}, ListCase{"NOPE", 0, "", "NOPE"}));

TEST_F(UsbFixture, NoProgrammerIsAnEmptyListWithAHint) {
  Make();
  EXPECT_EQ(Count(*Driver), 0u);
  FT_HANDLE h = 0;
  EXPECT_EQ(Driver->Open(0, &h), FT_DEVICE_NOT_FOUND);
  EXPECT_NE(Driver->Hint().find("0403:6001"), std::string::npos);
}

TEST_F(UsbFixture, NoPermissionFailsTheOpenAndPointsAtTheUdevRule) {
  Bus().PlugBare("FT232R USB UART", "A1").NoPermission = true;
  Make();
  EXPECT_EQ(Count(*Driver), 1u);
  FT_STATUS status = FT_OK;
  Description(*Driver, 0, &status);
  EXPECT_EQ(status, FT_DEVICE_NOT_OPENED);
  FT_HANDLE h = 0;
  EXPECT_EQ(Driver->Open(0, &h), FT_DEVICE_NOT_OPENED);
  EXPECT_NE(Driver->Hint().find("LIBUSB_ERROR_ACCESS"), std::string::npos);
  EXPECT_NE(Driver->Hint().find("ATTRS{idProduct}==\"6001\""), std::string::npos);
}

TEST_F(UsbFixture, ASecondOpenOfTheSameProgrammerIsRefused) {
  Bus().PlugBare("FT232R USB UART", "A1");
  Make();
  FT_HANDLE first = 0, second = 0;
  ASSERT_EQ(Driver->Open(0, &first), FT_OK);
  EXPECT_EQ(Driver->Open(0, &second), FT_DEVICE_NOT_OPENED);
  // The device itself opens for anyone; its claimed interface is what says it is busy.
  EXPECT_NE(Driver->Hint().find("занят другой программой (LIBUSB_ERROR_BUSY)"), std::string::npos) << Driver->Hint();
  EXPECT_EQ(Driver->Close(first), FT_OK);
  EXPECT_EQ(Driver->Close(first), FT_INVALID_HANDLE);
}

TEST_F(UsbFixture, EepromIsProgrammedAsTheRecordHoldsItCbus4Included) {
  usbchip::VirtualChip& chip = Bus().PlugBare("FT232R USB UART", "A1B2C3D4");
  Make();
  FT_HANDLE h = 0;
  ASSERT_EQ(Driver->Open(0, &h), FT_OK);
  test::FtRecord r;
  ASSERT_EQ(Driver->EE_Read(h, &r.Data), FT_OK);
  EXPECT_STREQ(r.Manufacturer, "FTDI");
  EXPECT_STREQ(r.Description, "FT232R USB UART");
  EXPECT_STREQ(r.Serial, "A1B2C3D4");
  EXPECT_EQ(r.Data.Cbus4, 5);
  std::strcpy(r.Description, "Pinwright");
  r.Data.Cbus4 = 10;
  r.Data.MaxPower = 100;
  ASSERT_EQ(Driver->EE_Program(h, &r.Data), FT_OK);
  const FtEepromImage& image = chip.Device->Eeprom;
  EXPECT_EQ(image[0x16], 10);  // not clamped to SLEEP
  EXPECT_EQ(image[0x09], 50);  // 2 mA units
  EXPECT_EQ(image[0x7E] | image[0x7F] << 8, FtEepromChecksum(image));
  EXPECT_EQ(chip.EepromWrites, 64u);
  EXPECT_EQ(chip.LatencyMs, 1);  // programming left the latency timer alone
  test::FtRecord back;
  ASSERT_EQ(Driver->EE_Read(h, &back.Data), FT_OK);
  EXPECT_EQ(back.Data.Cbus4, 10);
  EXPECT_STREQ(back.Description, "Pinwright");
  ASSERT_EQ(Driver->Close(h), FT_OK);
  EXPECT_EQ(Description(*Driver, 0), "FT232R USB UART");  // the list is as last taken
  EXPECT_EQ(Count(*Driver), 1u);
  EXPECT_EQ(Description(*Driver, 0), "Pinwright");  // a new listing reads the new strings
}

TEST_F(UsbFixture, AnEepromWriteCutAtAnyWordReadsAsNotProgrammed) {
  usbchip::VirtualChip& chip = Bus().PlugBare("FT232R USB UART", "A1B2C3D4");
  Make();
  FT_HANDLE h = 0;
  ASSERT_EQ(Driver->Open(0, &h), FT_OK);
  const FtEepromImage before = chip.Device->Eeprom;
  for (std::uint32_t words = 0; words < 64; ++words) {
    SCOPED_TRACE(words);
    chip.Device->Eeprom = before;
    chip.EepromWrites = 0;
    chip.UnplugAfterEepromWrites = words;
    test::FtRecord r;
    ASSERT_EQ(Driver->EE_Read(h, &r.Data), FT_OK);
    r.Data.HighDriveIOs = 1;  // word 0 changes
    EXPECT_EQ(Driver->EE_Program(h, &r.Data), FT_EEPROM_WRITE_FAILED);
    chip.Plugged = true;
    chip.UnplugAfterEepromWrites.reset();
    test::FtRecord back;
    EXPECT_EQ(Driver->EE_Read(h, &back.Data), words == 0 ? FT_OK : FT_EEPROM_NOT_PROGRAMMED);
    EXPECT_STREQ(back.Serial, "A1B2C3D4") << "the record is filled all the same";
  }
}

TEST_F(UsbFixture, EepromCallsRefuseABadRecord) {
  Bus().PlugBare("FT232R USB UART", "A1");
  Make();
  FT_HANDLE h = 0;
  ASSERT_EQ(Driver->Open(0, &h), FT_OK);
  test::FtRecord r;
  r.Data.Signature2 = 0;
  EXPECT_EQ(Driver->EE_Read(h, &r.Data), FT_INVALID_PARAMETER);
  EXPECT_EQ(Driver->EE_Program(h, nullptr), FT_INVALID_PARAMETER);
  test::FtRecord tooLong;
  std::memset(tooLong.Description, 'x', kFtDescriptionSize - 1);
  std::strcpy(tooLong.Manufacturer, "FTDI");
  std::strcpy(tooLong.Serial, "A1");
  EXPECT_EQ(Driver->EE_Program(h, &tooLong.Data), FT_INVALID_PARAMETER);
}

TEST(FtdiOptions, TheEnvironmentSelectsLockStep) {
  const struct {
    const char* Value;
    std::uint32_t Step;
  } cases[] = {{nullptr, 0}, {"", 0}, {"0", 0}, {"1", ftdi::kLockStepBytes}, {"yes", ftdi::kLockStepBytes}};
  for (const auto& c : cases) {
    if (c.Value)
      setenv("PINWRIGHT_FTDI_LOCKSTEP", c.Value, 1);
    else
      unsetenv("PINWRIGHT_FTDI_LOCKSTEP");
    const ftdi::FtdiOptions o = ftdi::OptionsFromEnvironment("SER1");
    EXPECT_EQ(o.StepBytes, c.Step) << (c.Value ? c.Value : "(unset)");
    EXPECT_EQ(o.Serial, "SER1");
  }
  unsetenv("PINWRIGHT_FTDI_LOCKSTEP");
}

}  // namespace
}  // namespace pw
