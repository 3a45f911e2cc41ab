#pragma once

#include <cstdint>

/// What full-speed USB can carry for an FT232R in synchronous bit-bang mode.
///
/// Every sample is one byte sent to the chip and one byte read back, so both directions share
/// the bus's frames: a 1 ms frame holds at most 19 bulk packets of 64 bytes, and each packet the
/// chip sends back starts with 2 modem-status bytes. No figure the program or its benchmarks
/// print may exceed the sample rate these packets allow, whatever baud is chosen.
namespace pw::d2xx {

/// Samples a second the FT232R clocks in bit-bang mode per unit of baud value.
inline constexpr std::uint64_t kSamplesPerBaud = 16;

inline constexpr std::uint64_t kUsbFrameNs = 1'000'000;
inline constexpr std::uint32_t kUsbPacketsPerFrame = 19;
inline constexpr std::uint32_t kUsbPacketBytes = 64;
inline constexpr std::uint32_t kUsbInPacketData = kUsbPacketBytes - 2;

/// The most samples a second: per frame, 19 packets shared so that each sample has its byte
/// out (1/64 of a packet) and its byte back (1/62 of a packet).
inline constexpr std::uint64_t kUsbMostSamplesPerSecond = std::uint64_t{kUsbPacketsPerFrame} * kUsbPacketBytes *
                                                          kUsbInPacketData * (1'000'000'000 / kUsbFrameNs) /
                                                          (kUsbPacketBytes + kUsbInPacketData);

/// The bulk packets an exchange of n samples needs: its bytes out in 64-byte packets and its
/// answers back in packets of 62 data bytes. Each takes a slot of its own in a frame.
constexpr std::uint64_t UsbPacketsFor(std::uint64_t samples) {
  return (samples + kUsbPacketBytes - 1) / kUsbPacketBytes + (samples + kUsbInPacketData - 1) / kUsbInPacketData;
}

/// Seconds that n samples take at the USB limit, with no latency and no partly filled packet:
/// the time no exchange of theirs can beat.
constexpr double UsbLimitSeconds(std::uint64_t samples) {
  return static_cast<double>(samples) / static_cast<double>(kUsbMostSamplesPerSecond);
}

}  // namespace pw::d2xx
