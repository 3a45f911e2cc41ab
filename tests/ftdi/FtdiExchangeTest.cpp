// The backend's bit-bang exchanges through the real libftdi1 against the virtual FT232R:
// streaming and lock-step runs of every length arrive whole and in order with the chip's FIFOs
// within their sizes, time-outs, status-only packets and unplugging.

#include <libusb.h>

#include <cstdint>
#include <vector>

#include "UsbFixture.h"

namespace pw {
namespace {

using test::UsbFixture;

std::vector<std::uint8_t> Pattern(std::size_t n) {
  std::vector<std::uint8_t> v(n);
  std::uint32_t x = 12345;
  for (auto& b : v) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(x >> 16);
  }
  return v;
}

/// What synchronous bit-bang returns with no board: each sample shows the outputs the byte
/// before left, pull-ups on the inputs; the first shows the pins as the mode left them.
std::vector<std::uint8_t> Expected(const std::vector<std::uint8_t>& tx, std::uint8_t mask) {
  std::vector<std::uint8_t> rx(tx.size());
  for (std::size_t i = 0; i < tx.size(); ++i) {
    const std::uint8_t before = i == 0 ? 0xFF : tx[i - 1];
    rx[i] = static_cast<std::uint8_t>((before & mask) | ~mask);
  }
  return rx;
}

struct ExchangeCase {
  std::uint32_t Step;
  std::size_t Count;
};

class FtdiExchange : public UsbFixture, public ::testing::WithParamInterface<ExchangeCase> {};

TEST_P(FtdiExchange, EverySampleComesBackInOrderWithinTheFifos) {
  const auto [step, count] = GetParam();
  usbchip::VirtualChip& chip = Bus().PlugBare("FT232R USB UART", "A1");
  Make(step);
  const FT_HANDLE h = OpenSync(0x0F);
  const auto tx = Pattern(count);
  std::vector<std::uint8_t> rx(count, 0);
  std::uint32_t written = 0, got = 0;
  ASSERT_EQ(Driver->Write(h, tx.data(), static_cast<std::uint32_t>(count), &written), FT_OK);
  ASSERT_EQ(Driver->Read(h, rx.data(), static_cast<std::uint32_t>(count), &got), FT_OK);
  EXPECT_EQ(written, count);
  EXPECT_EQ(got, count);
  EXPECT_EQ(rx, Expected(tx, 0x0F));
  EXPECT_EQ(chip.Samples, count);
  EXPECT_LE(chip.MaxTx, usbchip::kTxFifo);
  EXPECT_LE(chip.MaxRx, usbchip::kRxFifo);
  EXPECT_EQ(Driver->Close(h), FT_OK);
}

INSTANTIATE_TEST_SUITE_P(Runs, FtdiExchange,
                         ::testing::Values(ExchangeCase{0, 1}, ExchangeCase{0, 62}, ExchangeCase{0, 63},
                                           ExchangeCase{0, 385}, ExchangeCase{0, 65536}, ExchangeCase{128, 1},
                                           ExchangeCase{128, 129}, ExchangeCase{128, 4000}),
                         [](const auto& info) {
                           return std::string(info.param.Step ? "LockStep" : "Streaming") +
                                  std::to_string(info.param.Count);
                         });

TEST_F(UsbFixture, AWriteNobodyReadsStallsTheChipAndLosesNothing) {
  usbchip::VirtualChip& chip = Bus().PlugBare("FT232R USB UART", "A1");
  Make();
  const FT_HANDLE h = OpenSync(0xFF);
  (void)h;
  // Straight through libusb, as a host that writes a long run before reading would.
  libusb_device** list = nullptr;
  ASSERT_EQ(libusb_get_device_list(nullptr, &list), 1);
  libusb_device_handle* usb = nullptr;
  ASSERT_EQ(libusb_open(list[0], &usb), 0);
  libusb_free_device_list(list, 1);
  auto tx = Pattern(1024);
  int moved = 0;
  EXPECT_EQ(libusb_bulk_transfer(usb, 0x02, tx.data(), 1024, &moved, 50), LIBUSB_ERROR_TIMEOUT);
  EXPECT_EQ(moved, 384);  // 256 clocked into the full receive FIFO, 128 waiting in the transmit FIFO
  EXPECT_EQ(chip.Rx.size(), usbchip::kRxFifo);
  EXPECT_EQ(chip.Tx.size(), usbchip::kTxFifo);
  std::vector<std::uint8_t> rx;
  unsigned char packet[4096];
  while (rx.size() < 384) {
    int n = 0;
    ASSERT_EQ(libusb_bulk_transfer(usb, 0x81, packet, sizeof packet, &n, 50), 0);
    for (int at = 0; at < n; at += 64) rx.insert(rx.end(), packet + at + 2, packet + std::min(n, at + 64));
  }
  tx.resize(384);
  EXPECT_EQ(rx, Expected(tx, 0xFF));
  libusb_close(usb);
}

TEST_F(UsbFixture, ReadWaitsOutItsTimeOutThroughStatusOnlyPackets) {
  usbchip::VirtualChip& chip = Bus().PlugBare("FT232R USB UART", "A1");
  Make();
  const FT_HANDLE h = OpenSync(0xFF);
  ASSERT_EQ(Driver->SetTimeouts(h, 40, 40), FT_OK);
  const std::uint8_t tx[100] = {};
  std::uint8_t rx[150];
  std::uint32_t written = 0, got = 0;
  ASSERT_EQ(Driver->Write(h, tx, 100, &written), FT_OK);
  const std::uint64_t start = Bus().NowMicros();
  EXPECT_EQ(Driver->Read(h, rx, 150, &got), FT_OK);
  EXPECT_EQ(got, 100u);  // a short count, as D2XX gives, not an error
  EXPECT_GE(Bus().NowMicros() - start, 40'000u);
  EXPECT_GT(chip.StatusOnlyPackets, 10u);  // the 1 ms latency timer kept them coming
  EXPECT_EQ(chip.LatencyMs, 1);
}

TEST_F(UsbFixture, UnpluggingInTheMiddleOfARunIsAnIoError) {
  usbchip::VirtualChip& chip = Bus().PlugBare("FT232R USB UART", "A1");
  Make();
  const FT_HANDLE h = OpenSync(0xFF);
  chip.UnplugAfterSamples = 1000;
  const auto tx = Pattern(65536);
  std::uint32_t written = 0;
  EXPECT_EQ(Driver->Write(h, tx.data(), 65536, &written), FT_IO_ERROR);
  EXPECT_LT(written, 65536u);
  EXPECT_EQ(Driver->SetBitMode(h, 0, FT_BITMODE_RESET), FT_IO_ERROR);
  std::uint32_t count = 7;
  EXPECT_EQ(Driver->ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(Driver->Close(h), FT_OK);
}

TEST_F(UsbFixture, TheChipGetsTheDivisorOfSixteenTimesTheBaudValue) {
  usbchip::VirtualChip& chip = Bus().PlugBare("FT232R USB UART", "A1");
  Make();
  const FT_HANDLE h = OpenSync(0xFF);
  for (const std::uint32_t baud : {300u, 9600u, 19200u, 115200u, 1'000'000u, 3'000'000u}) {
    ASSERT_EQ(Driver->SetBaudRate(h, baud), FT_OK) << baud;
    EXPECT_NEAR(chip.SampleRate / 16, baud, baud * 0.03) << baud;
  }
  EXPECT_EQ(Driver->SetBaudRate(h, 299), FT_INVALID_BAUD_RATE);
  EXPECT_EQ(Driver->SetBaudRate(h, 3'000'001), FT_INVALID_BAUD_RATE);
  EXPECT_EQ(Driver->SetBaudRate(h + 100, 9600), FT_INVALID_HANDLE);
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

TEST_F(UsbFixture, AChipThatStopsClockingEndsTheWriteAtItsTimeOut) {
  usbchip::VirtualChip& chip = Bus().PlugBare("FT232R USB UART", "A1");
  Make();
  const FT_HANDLE h = OpenSync(0xFF);
  ASSERT_EQ(Driver->SetTimeouts(h, 30, 30), FT_OK);
  chip.SampleRate = 0;
  chip.SampleCredit = 0;
  std::vector<std::uint8_t> tx(1000, 0x5A);
  std::uint32_t written = 0;
  EXPECT_EQ(Driver->Write(h, tx.data(), 1000, &written), FT_OK);
  EXPECT_EQ(written, 128u);  // what the transmit FIFO took before the chip stopped
  std::vector<std::uint8_t> rx(128, 0);
  std::uint32_t got = 0;
  EXPECT_EQ(Driver->Read(h, rx.data(), 128, &got), FT_OK);
  EXPECT_EQ(got, 0u);
  // Once the clock runs again the bytes that waited come back: nothing was lost on the way.
  chip.SampleRate = 16.0 * 115200;
  EXPECT_EQ(Driver->Read(h, rx.data(), 128, &got), FT_OK);
  EXPECT_EQ(got, 128u);
  EXPECT_EQ(rx[0], 0xFF);
  EXPECT_EQ(rx[127], 0x5A);
}

}  // namespace
}  // namespace pw
