#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "sim/SimFt232r.h"
#include "support/TestDirs.h"

namespace pw::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct SimFt232rTest : ::testing::Test {
  SimFt232rTest() { sim.AddProgrammer({}); }

  FT_HANDLE OpenWith(std::uint8_t mask, std::uint8_t mode = FT_BITMODE_SYNC_BITBANG) {
    FT_HANDLE h = 0;
    EXPECT_EQ(sim.Open(0, &h), FT_OK);
    EXPECT_EQ(sim.SetBaudRate(h, 9600), FT_OK);
    EXPECT_EQ(sim.SetBitMode(h, mask, mode), FT_OK);
    return h;
  }

  /// Writes out, then reads as many bytes back.
  Bytes Exchange(FT_HANDLE h, const Bytes& out) {
    std::uint32_t n = 0;
    EXPECT_EQ(sim.Write(h, out.data(), static_cast<std::uint32_t>(out.size()), &n), FT_OK);
    EXPECT_EQ(n, out.size());
    Bytes in(out.size());
    EXPECT_EQ(sim.Read(h, in.data(), static_cast<std::uint32_t>(in.size()), &n), FT_OK);
    in.resize(n);
    return in;
  }

  SimFt232r sim;
};

TEST_F(SimFt232rTest, EachByteReadShowsThePinsBeforeItsOwnWrite) {
  // FTDI's own example: pins at 0xFF, write 0x55, 0xAA, read 0xFF, 0x55.
  const FT_HANDLE h = OpenWith(0xFF);
  EXPECT_EQ(Exchange(h, {0x55, 0xAA}), (Bytes{0xFF, 0x55}));
  EXPECT_EQ(Exchange(h, {0x0F}), (Bytes{0xAA}));
}

TEST_F(SimFt232rTest, OnlyMaskedPinsAreDrivenAndInputsFloatHigh) {
  const FT_HANDLE h = OpenWith(0x0F);
  EXPECT_EQ(Exchange(h, {0x00, 0xA5, 0x00}), (Bytes{0xFF, 0xF0, 0xF5}));
}

TEST_F(SimFt232rTest, ClosingMakesEveryPinAnInputAgain) {
  FT_HANDLE h = OpenWith(0xFF);
  Exchange(h, {0x00});
  EXPECT_EQ(sim.Close(h), FT_OK);
  h = OpenWith(0x00);
  EXPECT_EQ(Exchange(h, {0x00}), (Bytes{0xFF}));
}

TEST_F(SimFt232rTest, OutsideBitBangNothingComesBack) {
  const FT_HANDLE h = OpenWith(0xFF, FT_BITMODE_RESET);
  std::uint32_t n = 0;
  const Bytes out{1, 2, 3};
  EXPECT_EQ(sim.Write(h, out.data(), 3, &n), FT_OK);
  Bytes in(3);
  EXPECT_EQ(sim.Read(h, in.data(), 3, &n), FT_OK);
  EXPECT_EQ(n, 0u);
}

TEST_F(SimFt232rTest, VirtualTimeFollowsSamplesLatencyAndWaits) {
  const FT_HANDLE h = OpenWith(0xFF);
  const SimTime start = sim.Now();
  Exchange(h, Bytes(64, 0));
  // 64 samples at 16 x 9600 Hz take 4/9600 s; the write adds 1 ms of USB latency.
  EXPECT_EQ(sim.Now() - start, kPicosPerMilli + 64 * (1'000'000'000'000ull / (16 * 9600)));
  sim.Wait(20);
  EXPECT_EQ(sim.Now() - start, 21 * kPicosPerMilli + 64 * (1'000'000'000'000ull / (16 * 9600)));
}

TEST_F(SimFt232rTest, AWriteTakesTheLongerOfItsSampleClockAndItsUsbPackets) {
  struct Case {
    const char* What;
    std::uint32_t Baud;
    std::uint64_t SampleRate;  ///< [Timing] SampleRate, 0: not given
    std::uint32_t Samples;
    double Micros;  ///< worked out by hand from 16 x baud, or 1/19 ms a 64- or 62-byte packet
  };
  const Case cases[] = {
      {"the sample clock is slower than USB", 19200, 0, 6200, 6200 / 0.3072},
      {"97 packets out, 100 back", 3'000'000, 0, 6200, 197 * 1000.0 / 19},
      {"one sample still needs a packet each way", 3'000'000, 0, 1, 2 * 1000.0 / 19},
      {"16 samples at 9600 fit in a packet each way", 9600, 0, 16, 2 * 1000.0 / 19},
      {"an explicit sample rate is taken as it stands", 3'000'000, 48'000'000, 6200, 6200 / 48.0},
  };
  sim.Timing().Latency = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    sim.Timing().SampleRate = c.SampleRate;
    const FT_HANDLE h = OpenWith(0xFF);
    ASSERT_EQ(sim.SetBaudRate(h, c.Baud), FT_OK);
    const SimTime start = sim.Now();
    Exchange(h, Bytes(c.Samples, 0));
    EXPECT_NEAR(static_cast<double>(sim.Now() - start) / kPicosPerMicro, c.Micros, 0.01);
    sim.Close(h);
  }
}

TEST_F(SimFt232rTest, UnderRealTimeAnIdlePauseIsNoCreditForTheNextWait) {
  using namespace std::chrono;
  sim.Timing().RealTime = true;
  sim.Wait(1);
  std::this_thread::sleep_for(300ms);  // a window waiting for the next click
  const auto start = steady_clock::now();
  sim.Wait(200);
  EXPECT_GE(steady_clock::now() - start, 180ms) << "the pause was taken as time already spent";
}

TEST_F(SimFt232rTest, AShortReadWaitsOutTheReadTimeout) {
  const FT_HANDLE h = OpenWith(0xFF);
  ASSERT_EQ(sim.SetTimeouts(h, 2500, 2500), FT_OK);
  Bytes in(4);
  std::uint32_t n = 9;
  const SimTime start = sim.Now();
  EXPECT_EQ(sim.Read(h, in.data(), 4, &n), FT_OK);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(sim.Now() - start, 2500 * kPicosPerMilli);
}

TEST_F(SimFt232rTest, TheKthCallOfAKindFailsWithItsStatus) {
  sim.Faults().FailCall(SimCall::Write, 2, FT_IO_ERROR);
  const FT_HANDLE h = OpenWith(0xFF);
  std::uint32_t n = 0;
  const std::uint8_t b = 0;
  EXPECT_EQ(sim.Write(h, &b, 1, &n), FT_OK);
  EXPECT_EQ(sim.Write(h, &b, 1, &n), FT_IO_ERROR);
  EXPECT_EQ(sim.Write(h, &b, 1, &n), FT_OK);
  EXPECT_EQ(sim.Faults().Calls(SimCall::Write), 3u);
}

TEST_F(SimFt232rTest, AnUnpluggedDeviceStopsMidWriteAndVanishes) {
  sim.Faults().UnplugAfter(3);
  const FT_HANDLE h = OpenWith(0xFF);
  const Bytes out(5, 0);
  std::uint32_t n = 0;
  EXPECT_EQ(sim.Write(h, out.data(), 5, &n), FT_IO_ERROR);
  EXPECT_EQ(n, 3u);
  EXPECT_EQ(sim.SetBitMode(h, 0, 4), FT_IO_ERROR);
  std::uint32_t count = 9;
  EXPECT_EQ(sim.ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(sim.Close(h), FT_OK);
  FT_HANDLE again = 0;
  EXPECT_EQ(sim.Open(0, &again), FT_DEVICE_NOT_FOUND);
}

TEST_F(SimFt232rTest, HandlesAreCheckedAndDevicesOpenOnce) {
  FT_HANDLE h = 0;
  ASSERT_EQ(sim.Open(0, &h), FT_OK);
  FT_HANDLE second = 0;
  EXPECT_EQ(sim.Open(0, &second), FT_DEVICE_NOT_OPENED);
  EXPECT_EQ(sim.SetBaudRate(h + 1, 9600), FT_INVALID_HANDLE);
  EXPECT_EQ(sim.SetBaudRate(h, 0), FT_INVALID_BAUD_RATE);
  EXPECT_EQ(sim.Close(h), FT_OK);
  EXPECT_EQ(sim.Close(h), FT_INVALID_HANDLE);
}

TEST_F(SimFt232rTest, ListingByIndexWritesTheDescription) {
  sim.AddDevice({.Description = "Second"});
  char text[64] = "junk";
  EXPECT_EQ(
      sim.ListDevices(reinterpret_cast<void*>(std::uintptr_t{1}), text, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
      FT_OK);
  EXPECT_STREQ(text, "Second");
  EXPECT_EQ(
      sim.ListDevices(reinterpret_cast<void*>(std::uintptr_t{2}), text, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
      FT_DEVICE_NOT_FOUND);
}

TEST_F(SimFt232rTest, TraceHoldsEverySamplesLevels) {
  test::TempDir dir;
  sim.StartTrace(dir / "trace.bin");
  const FT_HANDLE h = OpenWith(0x0F);
  Exchange(h, {0x01, 0x02, 0x0F});
  sim.StopTrace();
  EXPECT_EQ(test::ReadBytes(dir / "trace.bin"), (std::vector<unsigned char>{0xF1, 0xF2, 0xFF}));
}

}  // namespace
}  // namespace pw::sim
