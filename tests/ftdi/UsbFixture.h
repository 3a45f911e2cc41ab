#pragma once
/// @file
/// The real backend over libftdi1 on a fresh virtual USB bus, with the bus's clock as its clock.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "VirtualBus.h"
#include "ftdi/FtdiD2xx.h"

namespace pw::test {

class UsbFixture : public ::testing::Test {
 protected:
  UsbFixture() { Bus().Reset(); }
  ~UsbFixture() override {
    Driver.reset();
    Bus().Reset();
  }
  static usbchip::VirtualBus& Bus() { return usbchip::VirtualBus::Get(); }
  /// A backend on the virtual bus; step 0 streams, 128 is lock-step.
  ftdi::FtdiD2xx& Make(std::uint32_t step = 0, const std::string& serial = "") {
    ftdi::FtdiOptions o;
    o.StepBytes = step;
    o.Serial = serial;
    o.NowMicros = [] { return Bus().NowMicros(); };
    o.SleepMs = [](std::uint32_t ms) { Bus().Advance(std::uint64_t{ms} * 1'000'000); };
    Driver = std::make_unique<ftdi::FtdiD2xx>(o);
    return *Driver;
  }
  /// Opens device index in synchronous bit-bang mode with mask and the link's time-outs.
  FT_HANDLE OpenSync(std::uint8_t mask, std::uint32_t baud = 115200, int index = 0) {
    FT_HANDLE h = 0;
    EXPECT_EQ(Driver->Open(index, &h), FT_OK);
    EXPECT_EQ(Driver->SetBitMode(h, mask, FT_BITMODE_SYNC_BITBANG), FT_OK);
    EXPECT_EQ(Driver->SetTimeouts(h, 500, 500), FT_OK);
    EXPECT_EQ(Driver->SetBaudRate(h, baud), FT_OK);
    return h;
  }
  std::unique_ptr<ftdi::FtdiD2xx> Driver;
};

}  // namespace pw::test
