#pragma once
/// @file
/// A virtual FT232R at the USB level, for running the real libftdi1 without hardware.
///
/// The test library defines the libusb-1.0 functions libftdi1 calls (VirtualLibusb.cpp); behind
/// them this bus keeps virtual time in 1 ms frames of 19 bulk-packet slots (full speed, 64-byte
/// packets) and virtual FT232R chips. A chip answers FTDI's vendor requests, takes OUT packets
/// into its 128-byte transmit FIFO only when they fit (NAK otherwise), clocks one sample per
/// period of its bit-bang clock while its 256-byte receive FIFO has room, and sends IN packets
/// of two modem-status bytes and up to 62 data bytes: a full one when 62 bytes wait, a short
/// one (possibly status only) when its latency timer runs out. Nothing is ever dropped: a full
/// FIFO stalls the chip and the USB. The pins are those of the project's simulated FT232R
/// (sim::SimDevice) with its board and chips. A bench's [Timing] and [Faults] hold on the bus as
/// they do in the simulator, mapped to what a USB device does (BusConditions).

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "d2xx/UsbLimit.h"
#include "sim/SimDevice.h"
#include "sim/SimFt232r.h"

struct libusb_transfer;
struct libusb_device;

namespace pw::usbchip {

// The bus's figures are those the simulator and the benchmarks measure against.
inline constexpr std::uint64_t kFrameNs = d2xx::kUsbFrameNs;
inline constexpr int kSlotsPerFrame = static_cast<int>(d2xx::kUsbPacketsPerFrame);
inline constexpr std::size_t kPacketSize = d2xx::kUsbPacketBytes;
inline constexpr std::size_t kTxFifo = 128;
inline constexpr std::size_t kRxFifo = 256;

/// What a bench asks of the whole bus besides its chips, read by sim::Bench as the simulator
/// reads it: a transfer counts as the simulator's Read or Write call, a vendor request as the
/// call it serves (SetBaudRate, SetBitMode, EE_Read and EE_Program per word).
struct BusConditions {
  sim::SimTiming Timing;
  sim::SimFaults Faults;
  /// One byte per sample of every chip, as the simulator's --trace writes it.
  std::unique_ptr<sim::SimTrace> Trace;
  /// Control transfers so far, for UnplugAtControl.
  std::uint32_t Controls = 0;
};

/// One virtual FT232R on the bus.
struct VirtualChip {
  VirtualChip(std::unique_ptr<sim::SimDevice> device, BusConditions& conditions)
      : Device(std::move(device)), Conditions(&conditions) {}

  std::unique_ptr<sim::SimDevice> Device;
  BusConditions* Conditions;
  std::deque<std::uint8_t> Tx;  ///< host to chip
  std::deque<std::uint8_t> Rx;  ///< chip to host
  std::uint8_t LatencyMs = 16;
  std::uint64_t LastInPacketNs = 0;
  /// The bit-bang sample clock from the baud divisor: sixteen times the baud rate it encodes.
  double SampleRate = 16.0 * 9600;
  double SampleCredit = 0;
  /// When the next sample may be clocked (ns): samples of one slot follow each other at the
  /// sample clock, so a chip sees the pins' real edge timing, not a whole slot at one instant.
  double NextSampleNs = 0;
  bool Plugged = true;
  /// libusb_open fails with LIBUSB_ERROR_ACCESS, as without a udev rule.
  bool NoPermission = false;
  /// The chip is gone once this many samples have been clocked.
  std::optional<std::uint64_t> UnplugAfterSamples;
  /// The chip is gone once this many EEPROM words have been written.
  std::optional<std::uint32_t> UnplugAfterEepromWrites;
  bool Claimed = false;
  /// A stalled bulk endpoint: every transfer on it fails until the host clears the halt.
  bool InHalted = false;
  bool OutHalted = false;
  /// The libusb device the bus lists for this chip.
  libusb_device* UsbDevice = nullptr;

  // What the tests look at.
  std::uint64_t Samples = 0;
  std::size_t MaxTx = 0;
  std::size_t MaxRx = 0;
  std::uint32_t Divisor = 0;  ///< the raw divisor code of the last baud request
  std::uint32_t EepromWrites = 0;
  std::uint32_t StatusOnlyPackets = 0;

  /// The baud rate the divisor code of a SIO_SET_BAUDRATE request stands for.
  static double BaudOfDivisor(std::uint16_t value, std::uint16_t index);
  /// Handles a vendor request; returns the bytes of the data stage or a negative libusb error.
  int Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value, std::uint16_t index,
              unsigned char* data, std::uint16_t length, std::uint64_t nowNs);
  /// What the chips see of the world at nowNs: the time and the bench's timing model.
  sim::SimEnvironment Environment(std::uint64_t nowNs) const;
  /// Counts a vendor request against the bench's faults; a negative libusb error fails it.
  int ControlFault(std::uint8_t request);
  /// Runs the sample clock for one slot.
  void Clock(std::uint64_t slotNs, std::uint64_t nowNs);
  /// Takes an OUT packet of n bytes if it fits the transmit FIFO.
  bool TakeOut(const unsigned char* bytes, std::size_t n);
  /// Fills an IN packet when the chip would send one now; returns its length (0: NAK).
  std::size_t GiveIn(unsigned char* packet, std::size_t room, std::uint64_t nowNs);
};

/// The bus, its clock and its transfers. One per process, as libusb's default context.
class VirtualBus {
 public:
  static VirtualBus& Get();

  /// No chips, time zero.
  void Reset();
  /// Plugs a chip in; returns it.
  VirtualChip& Plug(std::unique_ptr<sim::SimDevice> device);
  /// Plugs in every device of bench and takes on its [Timing] and [Faults]; the bench keeps
  /// its memory files, to be saved when the run ends.
  void PlugBench(sim::SimFt232r& bench);
  /// Writes one byte per sample of every chip into path from now on (sim::SimTrace).
  void StartTrace(const std::filesystem::path& path);
  BusConditions& Conditions() { return conditions_; }
  /// A bare FT232R with the given description and serial (no board).
  VirtualChip& PlugBare(const std::string& description, const std::string& serial);
  std::vector<std::unique_ptr<VirtualChip>>& Chips() { return chips_; }

  std::uint64_t NowNs() const { return now_; }
  std::uint64_t NowMicros() const { return now_ / 1000; }
  /// Lets virtual time pass: the chips keep clocking, transfers keep moving.
  void Advance(std::uint64_t ns);

  // The libusb side.
  int Submit(libusb_transfer* transfer);
  int Cancel(libusb_transfer* transfer);
  /// Runs slots until a transfer finished or timeoutNs passed (at least one slot); then calls
  /// the callbacks of the finished transfers.
  void HandleEvents(std::uint64_t timeoutNs);
  /// A blocking bulk transfer; returns a libusb error code.
  int BulkSync(VirtualChip& chip, unsigned char endpoint, unsigned char* data, int length, int* transferred,
               unsigned int timeoutMs);
  /// The chip behind a transfer's handle (null when the handle is gone).
  static VirtualChip* ChipOf(const libusb_transfer* transfer);

 private:
  struct Active {
    libusb_transfer* Transfer;
    std::uint64_t SubmittedNs;
    bool Cancelled = false;
    /// An injected Read or Write failure: the transfer stalls.
    bool Failed = false;
  };
  /// From when a transfer may move packets: an OUT transfer also waits out the bench's latency
  /// beyond the frame the bus already models.
  std::uint64_t ReadyNs(const Active& a) const;
  /// Under [Timing] RealTime, sleeps until the wall clock has caught up with virtual time.
  void KeepPace();
  /// Ends the transfers cancelled, failed, gone with their chip or timed out.
  void EndTransfers();
  /// One slot of 1/19 ms: the chips clock, then one packet moves.
  void Slot();
  bool MovePacket(Active& a, VirtualChip& chip);
  void Finish(std::size_t index, int status);

  BusConditions conditions_;
  std::vector<std::unique_ptr<VirtualChip>> chips_;
  std::vector<Active> active_;
  std::vector<libusb_transfer*> finished_;
  std::uint64_t now_ = 0;
  std::uint64_t slot_ = 0;
  std::size_t turn_ = 0;
  std::optional<std::chrono::steady_clock::time_point> paceStart_;
  std::uint64_t paceFrom_ = 0;
};

}  // namespace pw::usbchip
