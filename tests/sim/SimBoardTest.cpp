#include <gtest/gtest.h>

#include <functional>

#include "d2xx/Wiring.h"
#include "sim/SimBoard.h"
#include "sim/SimFt232r.h"
#include "sim/SimLineFaults.h"

namespace pw::sim {
namespace {

/// Drives MISO with the inverse of MOSI while held in reset; remembers what it saw.
struct FakeAvr : SimAvrChip {
  std::optional<bool> Step(bool reset, bool sck, bool mosi, const SimEnvironment&) override {
    ++steps;
    lastSck = sck;
    lastMosi = mosi;
    if (reset) return std::nullopt;
    return !mosi;
  }
  void PowerOff() override { ++powerOffs; }
  std::vector<SimMemory> Memories() override { return {}; }
  int steps = 0;
  int powerOffs = 0;
  bool lastSck = false;
  bool lastMosi = false;
};

struct FakeI2c : SimI2cChip {
  bool Step(bool scl, bool sda, const SimEnvironment&) override {
    sawScl = scl;
    sawSda = sda;
    return pull;
  }
  void PowerOff() override { ++powerOffs; }
  std::vector<SimMemory> Memories() override { return {}; }
  bool pull = false;
  bool sawScl = false;
  bool sawSda = true;
  int powerOffs = 0;
};

struct FakePic : SimPicChip {
  std::optional<bool> Step(bool powered, bool vpp, bool pgc, bool pgd, const SimEnvironment&) override {
    sawPowered = powered;
    sawVpp = vpp;
    sawPgc = pgc;
    sawPgd = pgd;
    return drive;
  }
  void PowerOff() override {}
  std::vector<SimMemory> Memories() override { return {}; }
  std::optional<bool> drive;
  bool sawPowered = false, sawVpp = false, sawPgc = false, sawPgd = false;
};

struct SimBoardTest : ::testing::Test {
  SimBoardTest() {
    SimBoard& board = sim.AddProgrammer({});
    board.Avr = std::make_unique<FakeAvr>();
    board.I2c = std::make_unique<FakeI2c>();
    board.Pic = std::make_unique<FakePic>();
    avr = static_cast<FakeAvr*>(board.Avr.get());
    i2c = static_cast<FakeI2c*>(board.I2c.get());
    pic = static_cast<FakePic*>(board.Pic.get());
  }
  void Open(std::uint8_t mask) {
    ASSERT_EQ(sim.Open(0, &handle), FT_OK);
    ASSERT_EQ(sim.SetBitMode(handle, mask, FT_BITMODE_SYNC_BITBANG), FT_OK);
  }
  std::vector<std::uint8_t> Exchange(std::vector<std::uint8_t> out) {
    std::uint32_t n = 0;
    sim.Write(handle, out.data(), static_cast<std::uint32_t>(out.size()), &n);
    std::vector<std::uint8_t> in(out.size());
    sim.Read(handle, in.data(), static_cast<std::uint32_t>(in.size()), &n);
    return in;
  }
  SimFt232r sim;
  FT_HANDLE handle = 0;
  FakeAvr* avr;
  FakeI2c* i2c;
  FakePic* pic;
};

TEST_F(SimBoardTest, AvrHeaderAnswersOnMisoOneSampleLater) {
  using namespace wiring::avr;
  Open(Mask);
  // Reset held low, MOSI high: MISO low. The answer shows in the byte read for the next sample.
  const auto in = Exchange({Mosi, 0x00, Reset});
  EXPECT_EQ(in[1] & Miso, 0);
  EXPECT_EQ(in[2] & Miso, Miso);
  EXPECT_EQ(i2c->sawScl, false) << "the I2C socket is unpowered in AVR mode";
}

TEST_F(SimBoardTest, I2cSdaIsOpenDrainAndSensedOnD1) {
  using namespace wiring::i2c;
  Open(Mask);
  auto in = Exchange({Scl, static_cast<std::uint8_t>(Scl | SdaOut), Scl});
  EXPECT_EQ(in[1] & SdaIn, SdaIn) << "released SDA floats high";
  EXPECT_EQ(in[2] & SdaIn, 0) << "the driver pulls SDA low";
  i2c->pull = true;
  in = Exchange({Scl, Scl});
  EXPECT_EQ(in[1] & SdaIn, 0) << "the chip pulls SDA low";
  EXPECT_TRUE(i2c->sawScl);
  EXPECT_TRUE(i2c->sawSda);
}

TEST_F(SimBoardTest, PicHeaderSeesSupplyVppAndClockAndDrivesPgd) {
  using namespace wiring::pic;
  Open(Mask);
  pic->drive = false;
  const auto in = Exchange({static_cast<std::uint8_t>(SupplyA | SupplyB | Pgc), SupplyA | SupplyB});
  EXPECT_TRUE(pic->sawPowered);
  EXPECT_TRUE(pic->sawVpp) << "MCLR control low lets Vpp through";
  EXPECT_FALSE(pic->sawPgc);
  EXPECT_EQ(in[1] & PgdIn, 0) << "the chip's low level reaches D1";
  pic->drive.reset();
  Exchange({static_cast<std::uint8_t>(SupplyA | SupplyB | Mclr), SupplyA});
  EXPECT_FALSE(pic->sawPowered);
  EXPECT_TRUE(pic->sawPgd) << "released PGD floats high";
}

TEST_F(SimBoardTest, ChangingTheMaskPowersTheOldSocketOff) {
  Open(wiring::avr::Mask);
  Exchange({0x00});
  EXPECT_EQ(avr->powerOffs, 0);
  ASSERT_EQ(sim.SetBitMode(handle, 0x00, FT_BITMODE_SYNC_BITBANG), FT_OK);
  EXPECT_EQ(avr->powerOffs, 1);
  const int steps = avr->steps;
  Exchange({0x00, 0x00});
  EXPECT_EQ(avr->steps, steps) << "an unpowered chip sees nothing";
  ASSERT_EQ(sim.SetBitMode(handle, wiring::i2c::Mask, FT_BITMODE_SYNC_BITBANG), FT_OK);
  ASSERT_EQ(sim.Close(handle), FT_OK);
  EXPECT_EQ(i2c->powerOffs, 1);
}

// A stuck or shorted wire is the same wire for the FT232R's read-back and for the chip.
TEST_F(SimBoardTest, LineFaultsHoldForTheReadBackAndForTheChip) {
  struct Case {
    const char* Faults;
    std::uint8_t Mask;
    std::uint8_t Drive;
    std::uint8_t Read;  ///< the levels read back for Drive
    std::function<bool()> ChipSaw;
  };
  using namespace wiring;
  const Case cases[] = {
      // SCK stuck high: the AVR sees a high clock; MISO answers !MOSI while reset is held.
      {"StuckHigh=D5", avr::Mask, 0x00, 0xB7, [&] { return avr->lastSck; }},
      // SDA's sense wire stuck low: the EEPROM sees SDA low although nothing drives it.
      {"StuckLow = d1, D4", i2c::Mask, i2c::Scl, 0x80, [&] { return !i2c->sawSda; }},
      // MOSI shorted to SCK: MOSI driven high is pulled low by SCK, so MISO answers 1.
      {"Short=D3-D5", avr::Mask, avr::Mosi, 0x97, [&] { return !avr->lastMosi; }},
      // A supply line shorted to the released PGD driver: the PIC is left unpowered.
      {"Short=D6-D7, D3-D0", pic::Mask, pic::SupplyA | pic::SupplyB | pic::Mclr, 0x36,
       [&] { return !pic->sawPowered; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Faults);
    sim.Devices()[0]->Board->Lines = ReadLineFaults(IniFile::Parse(std::string("[Faults]\n") + c.Faults + "\n"));
    Open(c.Mask);
    EXPECT_EQ(Exchange({c.Drive, c.Drive})[1], c.Read);
    EXPECT_TRUE(c.ChipSaw());
    ASSERT_EQ(sim.Close(handle), FT_OK);
  }
}

}  // namespace
}  // namespace pw::sim
