#include <libusb.h>

#include <algorithm>
#include <cstring>

#include "VirtualBus.h"

namespace pw::usbchip {

namespace {

// FTDI's vendor requests.
constexpr std::uint8_t kReset = 0x00;
constexpr std::uint8_t kSetBaudRate = 0x03;
constexpr std::uint8_t kPollModemStatus = 0x05;
constexpr std::uint8_t kSetLatency = 0x09;
constexpr std::uint8_t kGetLatency = 0x0A;
constexpr std::uint8_t kSetBitMode = 0x0B;
constexpr std::uint8_t kReadPins = 0x0C;
constexpr std::uint8_t kReadEeprom = 0x90;
constexpr std::uint8_t kWriteEeprom = 0x91;
constexpr std::uint8_t kEraseEeprom = 0x92;
constexpr std::uint8_t kModemStatus[2] = {0x01, 0x60};
constexpr std::size_t kEepromWords = 64;

/// The simulator's call a vendor request serves, for the bench's Fail= rules.
std::optional<sim::SimCall> CallOf(std::uint8_t request) {
  switch (request) {
    case kSetBaudRate:
      return sim::SimCall::SetBaudRate;
    case kSetBitMode:
      return sim::SimCall::SetBitMode;
    case kReadEeprom:
      return sim::SimCall::EeRead;
    case kWriteEeprom:
      return sim::SimCall::EeProgram;
    default:
      return std::nullopt;
  }
}

}  // namespace

sim::SimEnvironment VirtualChip::Environment(std::uint64_t nowNs) const {
  return {nowNs * 1000, Conditions->Timing.Model};
}

int VirtualChip::ControlFault(std::uint8_t request) {
  if (Conditions->Faults.UnplugAtControl() == ++Conditions->Controls) {
    Plugged = false;
    return LIBUSB_ERROR_NO_DEVICE;
  }
  const auto call = CallOf(request);
  // A device refuses a request by stalling its control pipe.
  return call && Conditions->Faults.Count(*call) != FT_OK ? LIBUSB_ERROR_PIPE : 0;
}

double VirtualChip::BaudOfDivisor(std::uint16_t value, std::uint16_t index) {
  // 14 bits of integer divisor of 3 MHz and three bits of eighths, in FTDI's own order.
  static constexpr double kEighths[8] = {0, 0.5, 0.25, 0.125, 0.375, 0.625, 0.75, 0.875};
  const unsigned whole = value & 0x3FFF;
  const unsigned code = ((value >> 14) & 3) | ((index & 1) << 2);
  if (whole == 0 && code == 0) return 3'000'000;
  if (whole == 1 && code == 0) return 2'000'000;
  return 3'000'000 / (whole + kEighths[code]);
}

int VirtualChip::Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value, std::uint16_t index,
                         unsigned char* data, std::uint16_t length, std::uint64_t nowNs) {
  if (!Plugged) return LIBUSB_ERROR_NO_DEVICE;
  if (const int fault = ControlFault(request)) return fault;
  const bool in = (requestType & 0x80) != 0;
  switch (request) {
    case kReset:
      if (value == 0 || value == 1) Rx.clear();
      if (value == 0 || value == 2) Tx.clear();
      return 0;
    case kSetBaudRate:
      Divisor = value | static_cast<std::uint32_t>(index) << 16;
      SampleRate = 16.0 * BaudOfDivisor(value, index);
      return 0;
    case kSetLatency:
      LatencyMs = static_cast<std::uint8_t>(std::max<std::uint16_t>(1, value & 0xFF));
      return 0;
    case kSetBitMode:
      Device->Reconfigure(static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8),
                          Environment(nowNs));
      return 0;
    case kWriteEeprom:
      if (index >= kEepromWords) return LIBUSB_ERROR_PIPE;
      if (UnplugAfterEepromWrites && EepromWrites >= *UnplugAfterEepromWrites) {
        Plugged = false;  // pulled out mid-write: the words before stay written
        return LIBUSB_ERROR_NO_DEVICE;
      }
      Device->Eeprom[index * 2u] = static_cast<std::uint8_t>(value & 0xFF);
      Device->Eeprom[index * 2u + 1] = static_cast<std::uint8_t>(value >> 8);
      ++EepromWrites;
      return 0;
    case kEraseEeprom:
      Device->Eeprom.fill(0xFF);
      return 0;
    default:
      break;
  }
  if (!in) return request <= 0x07 ? 0 : LIBUSB_ERROR_PIPE;  // modem, flow, line settings: accepted
  const auto give = [&](const unsigned char* bytes, std::uint16_t n) {
    const std::uint16_t k = std::min(n, length);
    std::memcpy(data, bytes, k);
    return static_cast<int>(k);
  };
  switch (request) {
    case kPollModemStatus:
      return give(kModemStatus, 2);
    case kGetLatency:
      return give(&LatencyMs, 1);
    case kReadPins:
      return give(&Device->Levels, 1);
    case kReadEeprom: {
      const unsigned char pair[2] = {index < kEepromWords ? Device->Eeprom[index * 2u] : std::uint8_t{0xFF},
                                     index < kEepromWords ? Device->Eeprom[index * 2u + 1] : std::uint8_t{0xFF}};
      return give(pair, 2);
    }
    default:
      return LIBUSB_ERROR_PIPE;
  }
}

void VirtualChip::Clock(std::uint64_t slotNs, std::uint64_t nowNs) {
  if (!Plugged) return;
  if (Device->Mode != FT_BITMODE_SYNC_BITBANG) {
    Tx.clear();  // serial or plain bit-bang output: nothing comes back
    return;
  }
  // [Timing] SampleRate stands for the chip's own clock, whatever the divisor says.
  const std::uint64_t fixedRate = Conditions->Timing.SampleRate;
  const double rate = fixedRate ? static_cast<double>(fixedRate) : SampleRate;
  SampleCredit += rate * static_cast<double>(slotNs) / 1e9;
  while (SampleCredit >= 1 && !Tx.empty() && Rx.size() < kRxFifo) {
    if (UnplugAfterSamples && Samples >= *UnplugAfterSamples) {
      Plugged = false;
      return;
    }
    const double at = std::max(static_cast<double>(nowNs), NextSampleNs);
    NextSampleNs = at + 1e9 / rate;
    Rx.push_back(Device->Clock(Tx.front(), Environment(static_cast<std::uint64_t>(at))));
    if (Conditions->Trace) Conditions->Trace->Append(Device->Levels);
    Tx.pop_front();
    ++Samples;
    SampleCredit -= 1;
  }
  // An idle clock banks nothing: samples are never clocked faster than the rate.
  if (Tx.empty() || Rx.size() >= kRxFifo) SampleCredit = std::min(SampleCredit, 1.0);
  MaxRx = std::max(MaxRx, Rx.size());
}

bool VirtualChip::TakeOut(const unsigned char* bytes, std::size_t n) {
  if (!Plugged || Tx.size() + n > kTxFifo) return false;
  Tx.insert(Tx.end(), bytes, bytes + n);
  MaxTx = std::max(MaxTx, Tx.size());
  return true;
}

std::size_t VirtualChip::GiveIn(unsigned char* packet, std::size_t room, std::uint64_t nowNs) {
  if (!Plugged || room < 2) return 0;
  const std::size_t full = d2xx::kUsbInPacketData;
  const bool timerRanOut = nowNs - LastInPacketNs >= std::uint64_t{LatencyMs} * kFrameNs;
  if (Rx.size() < full && !timerRanOut) return 0;
  const std::size_t n = std::min({Rx.size(), full, room - 2});
  packet[0] = kModemStatus[0];
  packet[1] = kModemStatus[1];
  std::copy_n(Rx.begin(), n, packet + 2);
  Rx.erase(Rx.begin(), Rx.begin() + static_cast<std::ptrdiff_t>(n));
  LastInPacketNs = nowNs;
  if (n == 0) ++StatusOnlyPackets;
  return n + 2;
}

}  // namespace pw::usbchip
