#include <gtest/gtest.h>

#include "common/Error.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"
#include "sim/SimFt232r.h"
#include "support/RecordingD2xx.h"

namespace pw {
namespace {

using Calls = std::vector<std::string>;

struct ConnectionTest : ::testing::Test {
  sim::SimFt232r sim;
  test::RecordingD2xx recorder{sim};
  D2XXUnit unit{recorder};

  /// The calls made since the last look.
  Calls Take() {
    Calls c = recorder.Calls;
    recorder.Calls.clear();
    return c;
  }

  /// Expects opening the programmer to fail with message, leaving no handle behind.
  void ExpectOpenFails(const char* message) {
    try {
      OpenProgrammer(unit, kModeAvr, 9600);
      FAIL() << "the programmer opened";
    } catch (const PinwrightError& e) {
      EXPECT_STREQ(e.what(), message);
    }
    EXPECT_EQ(unit.FtHandle, 0u);
  }
};

TEST_F(ConnectionTest, FindsTheProgrammerByItsDescription) {
  sim.AddDevice({.Description = "USB Serial Converter"});
  sim.AddProgrammer({});
  EXPECT_EQ(FindProgrammerIndex(unit), 1);
  EXPECT_EQ(Take(), (Calls{"ListDevices(count)", "ListDevices(0)", "ListDevices(1)"}));
}

TEST_F(ConnectionTest, StopsAtTheFirstMatch) {
  sim.AddProgrammer({});
  sim.AddProgrammer({});
  EXPECT_EQ(FindProgrammerIndex(unit), 0);
  EXPECT_EQ(Take(), (Calls{"ListDevices(count)", "ListDevices(0)"}));
}

TEST_F(ConnectionTest, SkipsADeviceThatCannotBeListed) {
  sim.AddDevice({.Description = "FT232R USB UART", .ListStatus = FT_IO_ERROR});
  sim.AddProgrammer({});
  EXPECT_EQ(FindProgrammerIndex(unit), 1);
}

TEST_F(ConnectionTest, AnUnlistableDeviceCountsAsAaa) {
  sim.AddDevice({.ListStatus = FT_IO_ERROR});
  EXPECT_EQ(FindProgrammerIndex(unit), 0);
  EXPECT_EQ(unit.FtDeviceDescription, "aaa");
}

TEST_F(ConnectionTest, WithoutAMatchDeviceZeroIsOpenedAsTheProgrammer) {
  sim.AddDevice({.Description = "USB <-> Serial"});
  sim.AddDevice({.Description = "Dual RS232"});
  OpenProgrammer(unit, kModeI2c, 19200);
  EXPECT_NE(unit.FtHandle, 0u);
  EXPECT_EQ(sim.Devices()[0]->Mask, 0xED);
  EXPECT_FALSE(sim.Devices()[1]->Open);
}

TEST_F(ConnectionTest, ACountFailureEndsTheSearch) {
  sim.AddProgrammer({});
  sim.Faults().FailCall(sim::SimCall::ListDevices, 1, FT_INSUFFICIENT_RESOURCES);
  EXPECT_THROW(FindProgrammerIndex(unit), PinwrightError);
}

TEST_F(ConnectionTest, OpenConfiguresEachModeInOrder) {
  sim.AddProgrammer({});
  const std::pair<ProtocolMode, const char*> modes[] = {
      {kModePic, "SetBitMode(9D,4)"},
      {kModeI2c, "SetBitMode(ED,4)"},
      {kModeNone, "SetBitMode(00,4)"},
  };
  for (const auto& [mode, bitMode] : modes) {
    OpenProgrammer(unit, mode, 19200);
    EXPECT_EQ(Take(), (Calls{"ListDevices(count)", "ListDevices(0)", "Open(0)", bitMode, "SetTimeouts(2500,2500)",
                             "SetBaudRate(19200)"}))
        << mode.Name;
    EXPECT_EQ(unit.LinkBaud, 19200);
    CloseProgrammer(unit);
    EXPECT_EQ(Take(), (Calls{"SetBitMode(00,4)", "Close"}));
    EXPECT_EQ(unit.FtHandle, 0u);
  }
}

TEST_F(ConnectionTest, AvrOpenGivesTheTargetItsStartPulse) {
  sim.AddProgrammer({});
  OpenProgrammer(unit, kModeAvr, 9600);
  EXPECT_EQ(Take(),
            (Calls{"ListDevices(count)", "ListDevices(0)", "Open(0)", "SetBitMode(68,4)", "SetTimeouts(2500,2500)",
                   "SetBaudRate(9600)", "Write(00)", "Read(1)", "Wait(10)", "Write(40)", "Read(1)"}));
  // RESET (D6) is released; MOSI and SCK are low; the inputs float high.
  EXPECT_EQ(sim.Devices()[0]->Levels, 0xD7);
}

TEST_F(ConnectionTest, AnOpenProgrammerIsLeftAsItIs) {
  sim.AddProgrammer({});
  OpenProgrammer(unit, kModeAvr, 9600);
  Take();
  OpenProgrammer(unit, kModePic, 9600);
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(sim.Devices()[0]->Mask, 0x68);
}

TEST_F(ConnectionTest, NoDeviceMeansFtOpenFails) { ExpectOpenFails("FT_Open - Device not found..."); }

TEST_F(ConnectionTest, AFailureAfterOpenClosesTheDeviceAndKeepsTheError) {
  sim.AddProgrammer({});
  sim.Faults().FailCall(sim::SimCall::SetBaudRate, 1, FT_INVALID_BAUD_RATE);
  ExpectOpenFails("FT_SetBaudRate - Invalid baud rate...");
  EXPECT_FALSE(sim.Devices()[0]->Open);
  // The next operation opens the device afresh with its own directions.
  OpenProgrammer(unit, kModePic, 9600);
  EXPECT_EQ(sim.Devices()[0]->Mask, 0x9D);
}

TEST_F(ConnectionTest, SessionClosesOnTheWayOutOfAFailingOperation) {
  sim.AddProgrammer({});
  EXPECT_THROW(
      {
        ProgrammerSession session(unit, kModeAvr, 9600);
        throw PinwrightError("FT_Write - General IO error...");
      },
      PinwrightError);
  EXPECT_EQ(unit.FtHandle, 0u);
  EXPECT_FALSE(sim.Devices()[0]->Open);
  // A PIC operation after the failed AVR one drives the PIC directions, not the AVR ones.
  ProgrammerSession pic(unit, kModePic, 9600);
  EXPECT_EQ(sim.Devices()[0]->Mask, 0x9D);
  pic.Close();
  EXPECT_FALSE(sim.Devices()[0]->Open);
}

TEST_F(ConnectionTest, AFailingCloseStillRaisesButForgetsTheDevice) {
  sim.AddProgrammer({});
  ProgrammerSession session(unit, kModeNone, 9600);
  sim.Faults().FailCall(sim::SimCall::SetBitMode, 2, FT_IO_ERROR);
  EXPECT_THROW(session.Close(), PinwrightError);
  EXPECT_EQ(unit.FtHandle, 0u);
}

TEST_F(ConnectionTest, DeviceRefusingToOpenReportsItsStatus) {
  sim.AddProgrammer({.OpenStatus = FT_DEVICE_NOT_OPENED});
  try {
    OpenProgrammer(unit, kModeAvr, 9600);
    FAIL();
  } catch (const PinwrightError& e) {
    EXPECT_STREQ(e.what(), "FT_Open - Device not opened...");
  }
}

}  // namespace
}  // namespace pw
