// The AVR instructions as sample runs: exact layouts, reply decoding, batches and their limits,
// and round trips through a simulated chip.

#include <gtest/gtest.h>

#include <vector>

#include "ScriptedD2xx.h"
#include "avr/AvrUtils.h"
#include "common/Error.h"
#include "link/ProgrammerConnection.h"
#include "sim/SimAvr.h"
#include "sim/SimFt232r.h"
#include "support/AvrSpiTrace.h"

namespace pw {
namespace {

using test::ScriptedD2xx;
using test::SentBytes;

class AvrUtilsLayout : public ::testing::Test {
 protected:
  AvrUtilsLayout() { unit.FtHandle = 1; }
  ScriptedD2xx driver;
  D2XXUnit unit{driver};
  AVRUtils avr{unit};
};

TEST_F(AvrUtilsLayout, SpiByteLaysTwoSamplesPerBitMostSignificantFirst) {
  avr.AvrSpiByte(0xA5);
  const std::vector<std::uint8_t> expected{0x08, 0x28, 0x00, 0x20, 0x08, 0x28, 0x00, 0x20,
                                           0x00, 0x20, 0x08, 0x28, 0x00, 0x20, 0x08, 0x28};
  ASSERT_EQ(driver.Writes.size(), 1u);
  EXPECT_EQ(driver.Writes[0], expected);
}

TEST_F(AvrUtilsLayout, ReplyIsTakenFromTheSckHighEntriesOnly) {
  driver.Reply = [](std::uint32_t i) { return std::uint8_t(i % 2 ? 0x80 : 0x00); };
  EXPECT_EQ(avr.AvrSpiByte(0x00), 0xFF);
  driver.Reply = [](std::uint32_t i) { return std::uint8_t(i % 2 ? 0x00 : 0x80); };
  EXPECT_EQ(avr.AvrSpiByte(0x00), 0x00);
  // Other bits of the pin state never leak into the byte.
  driver.Reply = [](std::uint32_t i) { return std::uint8_t(i == 3 ? 0xFF : 0x7F); };
  EXPECT_EQ(avr.AvrSpiByte(0x00), 0x40);
}

TEST_F(AvrUtilsLayout, SingleInstructionsGoAsFourExchangesAndKeepTheFourthReply) {
  // Byte n of each reply is n; the fourth byte of the instruction is the answer.
  int byteNo = 0;
  driver.Reply = [&](std::uint32_t i) {
    const int value = byteNo % 4;
    if (i == 15) ++byteNo;
    return std::uint8_t(((value >> (7 - static_cast<int>(i) / 2)) & 1) ? 0x80 : 0x00);
  };
  EXPECT_EQ(avr.AvrReadSignatureByte(2), 3);
  ASSERT_EQ(driver.Writes.size(), 4u);
  EXPECT_EQ(SentBytes(driver.AllWritten()), (std::vector<std::uint8_t>{0x30, 0x00, 0x02, 0x00}));
  driver.Writes.clear();
  avr.AvrReadFuseBytes();
  EXPECT_EQ(SentBytes(driver.AllWritten()),
            (std::vector<std::uint8_t>{0x50, 0x00, 0x00, 0x00, 0x58, 0x08, 0x00, 0x00, 0x50, 0x08, 0x00, 0x00}));
  driver.Writes.clear();
  avr.AvrWriteFuseBytes({0x62, 0xD9, 0xFF});
  EXPECT_EQ(SentBytes(driver.AllWritten()),
            (std::vector<std::uint8_t>{0xAC, 0xA0, 0x00, 0x62, 0xAC, 0xA8, 0x00, 0xD9, 0xAC, 0xA4, 0x00, 0xFF}));
  // One wait after each fuse: a chip still busy with the previous one would not take the next.
  EXPECT_EQ(driver.Waits, (std::vector<std::uint32_t>{20, 20, 20}));
}

TEST_F(AvrUtilsLayout, ProgEnablePulsesResetBeforeEachRetryAndWaitsTheEntryTime) {
  // The pins read back with RESET high: the chip was running, so the first attempt waits 20 ms.
  EXPECT_FALSE(avr.AvrProgEnable());
  const auto all = driver.AllWritten();
  ASSERT_EQ(all.size(), 1u + 64u + 4u * 66u);
  EXPECT_EQ(all[0], 0x00);  // RESET asserted, SCK low
  const std::vector<std::uint8_t> enable{0xAC, 0x53, 0x00, 0x00};
  EXPECT_EQ(SentBytes({all.begin() + 1, all.begin() + 65}), enable);
  for (int retry = 0; retry < 4; ++retry) {
    const auto at = all.begin() + 65 + retry * 66;
    EXPECT_EQ(at[0], 0x40) << "a positive RESET pulse";
    EXPECT_EQ(at[1], 0x00);
    EXPECT_EQ(SentBytes({at + 2, at + 66}), enable);
  }
  EXPECT_EQ(driver.Waits, (std::vector<std::uint32_t>(5, AVRUtils::kEntryWaitMs)));
  // RESET already held low: the chip has been in reset for longer than the entry time.
  driver.Writes.clear();
  driver.Waits.clear();
  driver.Reply = [](std::uint32_t) { return std::uint8_t{0x00}; };
  avr.AvrProgEnable();
  EXPECT_EQ(driver.Waits.front(), AVRUtils::kResetSettleMs);
}

TEST_F(AvrUtilsLayout, FlashPageWithNoWordsSendsOnlyThePageWriteAndTheLivenessEcho) {
  const std::vector<std::uint16_t> image(16, 0x1234);
  avr.AvrWriteFlashPage(0x0040, 0, image);
  ASSERT_EQ(driver.Writes.size(), 1u);
  EXPECT_EQ(driver.Writes[0].size(), 128u);
  EXPECT_EQ(SentBytes(driver.Writes[0]), (std::vector<std::uint8_t>{0x4C, 0x00, 0x40, 0x00, 0xAC, 0x53, 0x00, 0x00}));
  EXPECT_EQ(driver.Waits, (std::vector<std::uint32_t>{AvrWriteDelays{}.FlashPageMs}));
}

TEST_F(AvrUtilsLayout, FlashPageLoadsLowThenHighWithFullAddresses) {
  std::vector<std::uint16_t> image(0x202, 0xFFFF);
  image[0x200] = 0xBEEF;
  image[0x201] = 0x1234;
  avr.AvrWriteFlashPage(0x200, 2, image);
  EXPECT_EQ(driver.Writes[0].size(), 128u * 2 + 64 + 64);
  EXPECT_EQ(SentBytes(driver.Writes[0]),
            (std::vector<std::uint8_t>{0x40, 0x02, 0x00, 0xEF, 0x48, 0x02, 0x00, 0xBE, 0x40, 0x02, 0x01, 0x34,
                                       0x48, 0x02, 0x01, 0x12, 0x4C, 0x02, 0x00, 0x00, 0xAC, 0x53, 0x00, 0x00}));
}

TEST_F(AvrUtilsLayout, FlashReadAddressesWrapAt65536Words) {
  std::vector<std::uint16_t> dest(2);
  avr.AvrReadFlashBlock(0xFFFF, 2, dest);
  EXPECT_EQ(SentBytes(driver.Writes[0]),
            (std::vector<std::uint8_t>{0x20, 0xFF, 0xFF, 0x00, 0x28, 0xFF, 0xFF, 0x00, 0x20, 0x00,
                                       0x00, 0x00, 0x28, 0x00, 0x00, 0x00, 0xAC, 0x53, 0x00, 0x00}));
  EXPECT_EQ(dest, (std::vector<std::uint16_t>{0xFFFF, 0xFFFF}));
}

TEST_F(AvrUtilsLayout, EepromPageLoadsInPageIndicesAndWritesThePageAddress) {
  std::vector<std::uint8_t> image(64);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i + 100);
  avr.AvrWriteEepromPage(3, 4, image, 3);
  EXPECT_EQ(SentBytes(driver.Writes[0]),
            (std::vector<std::uint8_t>{0xC1, 0x00, 0x00, 112,  0xC1, 0x00, 0x01, 113,  0xC1, 0x00,
                                       0x02, 114,  0xC2, 0x00, 12,   0x00, 0xAC, 0x53, 0x00, 0x00}));
  EXPECT_EQ(driver.Waits, (std::vector<std::uint32_t>{AvrWriteDelays{}.EepromMs}));
  driver.Waits.clear();
  avr.Delays.EepromMs = 11;  // the chip's own time, from its description
  avr.AvrWriteEepromPage(3, 4, image, 3);
  EXPECT_EQ(driver.Waits, (std::vector<std::uint32_t>{11}));
}

TEST_F(AvrUtilsLayout, BatchesBeyondTheSampleBuffersAreRefusedBeforeAnythingIsSent) {
  std::vector<std::uint16_t> words(70000, 0xFFFF);
  std::vector<std::uint8_t> bytes(70000, 0xFF);
  EXPECT_THROW(avr.AvrReadFlashBlock(0, 512, words), PinwrightError);
  EXPECT_THROW(avr.AvrWriteFlashPage(0, 512, words), PinwrightError);
  EXPECT_THROW(avr.AvrWriteEepromPage(0, 1024, bytes, 1024), PinwrightError);
  // A page that runs past its image, or a destination too short for the block.
  const std::vector<std::uint16_t> flashImage(65536, 0xFFFF);
  EXPECT_THROW(avr.AvrWriteFlashPage(65535, 2, flashImage), PinwrightError);
  std::vector<std::uint16_t> shortDest(1);
  EXPECT_THROW(avr.AvrReadFlashBlock(0, 2, shortDest), PinwrightError);
  EXPECT_THROW(avr.AvrReadEepromBlock(shortDest, 3, 0), PinwrightError);
  EXPECT_THROW(avr.AvrWriteEepromPage(15, 4, std::span<const std::uint8_t>(bytes.data(), 62), 3), PinwrightError);
  EXPECT_TRUE(driver.Writes.empty());
  // The largest batches fit exactly.
  avr.AvrReadFlashBlock(0, 511, words);
  avr.AvrWriteFlashPage(0, 511, words);
  avr.AvrWriteEepromPage(0, 1023, bytes, 1023);
  ASSERT_EQ(driver.Writes.size(), 3u);
  EXPECT_EQ(driver.Writes[0].size(), 511u * 128 + 64) << "the block and the liveness echo";
  EXPECT_EQ(driver.Writes[1].size(), 65536u) << "the page and the liveness echo";
  EXPECT_EQ(driver.Writes[2].size(), 65536u) << "no room for the echo";
}

/// AVRUtils against a simulated ATmega328P.
class AvrUtilsOnChip : public ::testing::Test {
 protected:
  AvrUtilsOnChip() {
    auto chip = std::make_unique<sim::SimAvr>(*sim::FindSimAvrPart("ATmega328P"));
    core = &chip->Core();
    sim.AddProgrammer({}).Avr = std::move(chip);
    OpenProgrammer(unit, kModeAvr, 19200);
  }
  sim::SimFt232r sim;
  sim::SimAvrCore* core = nullptr;
  D2XXUnit unit{sim};
  AVRUtils avr{unit};
};

TEST_F(AvrUtilsOnChip, EntersProgrammingModeAndReadsTheChip) {
  EXPECT_TRUE(avr.AvrProgEnable());
  EXPECT_EQ(avr.AvrReadSignatureByte(0), 0x1E);
  EXPECT_EQ(avr.AvrReadSignatureByte(1), 0x95);
  EXPECT_EQ(avr.AvrReadSignatureByte(2), 0x0F);
  const AvrFuseBytes fuses = avr.AvrReadFuseBytes();
  EXPECT_EQ(fuses.Low, 0x62);
  EXPECT_EQ(fuses.High, 0xD9);
  EXPECT_EQ(fuses.Ext, 0xFF);
  EXPECT_EQ(avr.AvrReadLockByte(), 0xFF);
}

TEST_F(AvrUtilsOnChip, FlashPageRoundTrip) {
  std::vector<std::uint16_t> image(65536, 0xFFFF);
  for (std::uint32_t i = 0; i < 64; ++i) image[64 + i] = static_cast<std::uint16_t>(0x1000 + i * 0x0101);
  avr.AvrProgEnable();
  avr.AvrWriteFlashPage(64, 64, image);
  avr.AvrProgEnable();
  std::vector<std::uint16_t> back(66);
  avr.AvrReadFlashBlock(63, 66, back);
  EXPECT_EQ(back[0], 0xFFFF);
  for (std::uint32_t i = 0; i < 64; ++i) EXPECT_EQ(back[1 + i], image[64 + i]) << i;
  EXPECT_EQ(back[65], 0xFFFF);
}

TEST_F(AvrUtilsOnChip, FixedWaitsOutlastTheWriteCyclesUnderDatasheetTiming) {
  sim.Timing().Model = sim::TimingModel::Datasheet;
  std::vector<std::uint16_t> image(65536, 0x0000);
  avr.AvrProgEnable();
  avr.AvrWriteFlashPage(0, 64, image);
  std::vector<std::uint16_t> back(64, 0xFFFF);
  avr.AvrReadFlashBlock(0, 64, back);
  EXPECT_EQ(back, std::vector<std::uint16_t>(64, 0x0000));
  avr.AvrChipErase();
  avr.AvrReadFlashBlock(0, 64, back);
  EXPECT_EQ(back, std::vector<std::uint16_t>(64, 0xFFFF));
}

TEST_F(AvrUtilsOnChip, EepromPageRoundTripPacksLittleEndianPairs) {
  std::vector<std::uint8_t> image(1024, 0xFF);
  for (std::uint32_t i = 0; i < 4; ++i) image[8 + i] = static_cast<std::uint8_t>(0xA0 + i);
  avr.AvrProgEnable();
  avr.AvrWriteEepromPage(2, 4, image, 3);
  avr.AvrProgEnable();
  std::vector<std::uint16_t> back(3, 0xEEEE);
  avr.AvrReadEepromBlock(back, 5, 7);
  // Bytes 7..11: FF A0 A1 A2 FF (the fourth byte of the page was not loaded).
  EXPECT_EQ(back, (std::vector<std::uint16_t>{0xA0FF, 0xA2A1, 0x00FF}));
  avr.AvrWriteEepromByte(11, 0x5A);
  EXPECT_EQ(core->Eeprom[11], 0x5A);
}

TEST_F(AvrUtilsOnChip, AllThreeFusesTakeUnderDatasheetTiming) {
  sim.Timing().Model = sim::TimingModel::Datasheet;
  avr.AvrProgEnable();
  avr.AvrWriteFuseBytes({0xE2, 0xD1, 0xFD});
  const AvrFuseBytes fuses = avr.AvrReadFuseBytes();
  EXPECT_EQ(fuses.Low, 0xE2);
  EXPECT_EQ(fuses.High, 0xD1);
  EXPECT_EQ(fuses.Ext, 0xFD);
}

TEST_F(AvrUtilsOnChip, AShortReadEndsTheInstructionWithAnError) {
  avr.AvrProgEnable();
  // The next read of the driver returns 10 of the 1,024 samples of a 16-byte block.
  sim.Faults().ShortRead(sim.Faults().Calls(sim::SimCall::Read) + 1, 10);
  std::vector<std::uint16_t> back(8);
  try {
    avr.AvrReadEepromBlock(back, 16, 0);
    FAIL() << "a short read went unnoticed";
  } catch (const PinwrightError& e) {
    EXPECT_STREQ(e.what(), "Ошибка! Программатор вернул 10 отсчётов из 1024");
  }
  sim.Faults().ShortRead(sim.Faults().Calls(sim::SimCall::Read) + 1, 100);
  EXPECT_THROW(avr.AvrReadFlashBlock(0, 4, back), PinwrightError);
}

TEST_F(AvrUtilsOnChip, EraseAndLockBits) {
  avr.AvrProgEnable();
  avr.AvrWriteLockByte(0xFC);
  EXPECT_EQ(avr.AvrReadLockByte(), 0xFC);
  avr.AvrChipErase();
  EXPECT_EQ(avr.AvrReadLockByte(), 0xFF);
}

}  // namespace
}  // namespace pw
