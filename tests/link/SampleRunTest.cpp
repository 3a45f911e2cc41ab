// The sample-run engine and the SPI mode-0 layer on pin sets other than the AVR header: what is
// laid, what is read back, and what is refused before it reaches the driver.

#include <gtest/gtest.h>

#include <vector>

#include "common/Error.h"
#include "d2xx/Wiring.h"
#include "i2c/I2cBus.h"
#include "link/SampleRun.h"
#include "link/SpiMode0.h"
#include "sim/SimFt232r.h"
#include "support/RecordingD2xx.h"

namespace pw {
namespace {

using wiring::Bit;

struct SampleRunTest : ::testing::Test {
  SampleRunTest() {
    // No board: every pin an output, so each read-back entry shows the sample laid before it.
    sim.AddDevice({});
    unit.FtOpen(0);
    unit.FtSetBitMode(0xFF, FT_BITMODE_SYNC_BITBANG);
    recorder.Calls.clear();
  }
  sim::SimFt232r sim;
  test::RecordingD2xx recorder{sim};
  D2XXUnit unit{recorder};
  SampleRun run{unit};
};

TEST_F(SampleRunTest, SpiBatchesOverAnyPinSetAreLaidAndDecodedOrRefusedUnsent) {
  // MISO is wired back to MOSI, so the byte read back is the byte sent.
  struct Case {
    SpiPins Pins;
    std::size_t Bytes;
    bool Fits;
  };
  const Case cases[] = {
      {{Bit(0), Bit(2), Bit(0), static_cast<std::uint8_t>(Bit(4) | Bit(7))}, 3, true},
      {{Bit(6), Bit(1), Bit(6), 0x00}, 4096, true},  // exactly 65,536 samples
      {{Bit(6), Bit(1), Bit(6), Bit(3)}, 4097, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Bytes);
    SpiMode0 spi(run, c.Pins);
    std::vector<std::uint8_t> bytes(c.Bytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(0xA5 ^ (i * 37));
    recorder.Calls.clear();
    if (!c.Fits) {
      EXPECT_THROW(spi.Transfer(bytes), PinwrightError);
      EXPECT_TRUE(recorder.Calls.empty());
      continue;
    }
    spi.Transfer(bytes);
    ASSERT_EQ(recorder.Calls.size(), 2u);
    EXPECT_EQ(recorder.Calls[1], "Read(" + std::to_string(16 * c.Bytes) + ")");
    // 0xA5, most significant bit first: SCK low then high, the held bits in every sample.
    const std::uint8_t h = c.Pins.Held, m = c.Pins.Mosi, s = c.Pins.Sck;
    std::vector<std::uint8_t> first;
    for (const int bit : {1, 0, 1, 0, 0, 1, 0, 1}) {
      first.push_back(static_cast<std::uint8_t>(h | (bit ? m : 0)));
      first.push_back(static_cast<std::uint8_t>(h | (bit ? m : 0) | s));
    }
    EXPECT_EQ(std::vector<std::uint8_t>(unit.OutSamples.begin(), unit.OutSamples.begin() + 16), first);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      ASSERT_EQ(spi.ReplyByte(static_cast<std::uint32_t>(16 * i)), bytes[i]) << i;
    }
  }
}

TEST_F(SampleRunTest, BitsOfAnyCountAreLaidMostSignificantFirstAndReadBack) {
  // MISO on the MOSI line: with every pin an output, a bit reads back as it was laid.
  SpiMode0 spi(run, {Bit(3), Bit(5), Bit(3), Bit(6)});
  EXPECT_EQ(spi.PutBits(0b110, 3), 0u);  // a Microwire start bit and a read opcode
  EXPECT_EQ(spi.PutBits(0x5A, 7), 6u);   // seven address bits
  EXPECT_EQ(run.Length(), 20u);
  const std::uint8_t h = Bit(6), m = Bit(3), s = Bit(5);
  EXPECT_EQ(std::vector<std::uint8_t>(unit.OutSamples.begin(), unit.OutSamples.begin() + 6),
            (std::vector<std::uint8_t>{static_cast<std::uint8_t>(h | m), static_cast<std::uint8_t>(h | m | s),
                                       static_cast<std::uint8_t>(h | m), static_cast<std::uint8_t>(h | m | s), h,
                                       static_cast<std::uint8_t>(h | s)}));
  run.Exchange();
  EXPECT_EQ(spi.ReplyBits(0, 3), 0b110u);
  EXPECT_EQ(spi.ReplyBits(6, 7), 0x5Au);
  while (run.Length() < SampleRun::kCapacity - 1) run.Put(0);
  EXPECT_THROW(spi.PutBits(1, 1), PinwrightError);
  EXPECT_EQ(run.Length(), SampleRun::kCapacity - 1);
}

TEST_F(SampleRunTest, NothingIsLaidOrReadPastTheBuffers) {
  for (std::uint32_t i = 0; i < SampleRun::kCapacity; ++i) run.Put(0x55);
  EXPECT_THROW(run.Put(0x00), PinwrightError);
  EXPECT_EQ(run.Length(), SampleRun::kCapacity);
  EXPECT_THROW(run.In(SampleRun::kCapacity), PinwrightError);
  // The I2C bus lays on the engine too: a byte that would end past the buffers is refused.
  I2C_eeprom bus(unit);
  while (bus.Run().Length() < SampleRun::kCapacity - 10) bus.Run().Put(0);
  EXPECT_THROW(bus.I2cPutByte(0xA0), PinwrightError);
  EXPECT_TRUE(recorder.Calls.empty());
}

}  // namespace
}  // namespace pw
