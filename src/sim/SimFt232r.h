#pragma once
/// @file
/// The virtual programmer: simulated FTDI devices behind the D2xx interface, a virtual clock,
/// injectable faults and an optional trace of every sample.

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "d2xx/D2xx.h"
#include "d2xx/FtEepromImage.h"
#include "sim/SimDevice.h"
#include "sim/SimFaults.h"
#include "sim/SimTime.h"
#include "sim/SimTrace.h"

namespace pw::sim {

struct SimTiming {
  TimingModel Model = TimingModel::Lenient;
  /// Samples per second; 0: sixteen times the baud value, as FTDI documents bit-bang, in packets
  /// that come no faster than full-speed USB carries them (d2xx/UsbLimit.h). A rate given here is
  /// taken as it stands, USB or not.
  std::uint64_t SampleRate = 0;
  /// USB latency added to every write.
  SimTime Latency = kPicosPerMilli;
  /// Writes, reads and waits take the time they model on the wall clock as well (they sleep),
  /// so that progress and stopping can be watched without hardware.
  bool RealTime = false;
};

class SimFt232r : public D2xx {
 public:
  SimFt232r() = default;

  /// Adds a device to the end of the list; returns it.
  SimDevice& AddDevice(SimDeviceConfig config);
  /// Adds a device that carries the programmer board; returns the board.
  SimBoard& AddProgrammer(SimDeviceConfig config);
  std::vector<std::unique_ptr<SimDevice>>& Devices() { return devices_; }
  SimFaults& Faults() { return faults_; }
  SimTiming& Timing() { return timing_; }
  SimTime Now() const { return now_; }
  /// Traces every sample from now on into path.
  void StartTrace(const std::filesystem::path& path);
  void StopTrace();
  /// How many samples have been clocked through all devices.
  std::uint64_t SamplesClocked() const { return samples_; }

  FT_STATUS ListDevices(void* arg1, void* arg2, std::uint32_t flags) override;
  FT_STATUS Open(int index, FT_HANDLE* handle) override;
  FT_STATUS Close(FT_HANDLE handle) override;
  FT_STATUS Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* got) override;
  FT_STATUS Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written) override;
  FT_STATUS SetBaudRate(FT_HANDLE handle, std::uint32_t baud) override;
  FT_STATUS SetTimeouts(FT_HANDLE handle, std::uint32_t readMs, std::uint32_t writeMs) override;
  FT_STATUS SetBitMode(FT_HANDLE handle, std::uint8_t mask, std::uint8_t mode) override;
  FT_STATUS EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) override;
  FT_STATUS EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) override;
  void Wait(std::uint32_t ms) override;

 private:
  /// The devices still plugged in, in list order.
  std::vector<SimDevice*> Present();
  /// The open device behind handle, or null.
  SimDevice* Find(FT_HANDLE handle);
  /// Counts the call, then looks its handle up: status for an injected failure or a bad handle.
  FT_STATUS Enter(SimCall call, FT_HANDLE handle, SimDevice*& device);
  SimEnvironment Environment() const { return {now_, timing_.Model}; }
  /// The time from one sample to the next within a USB packet: the bit-bang sample clock.
  SimTime SamplePeriod(const SimDevice& device) const;
  /// The time full-speed USB needs for that many samples out and back at its best; 0 under an
  /// explicit sample rate.
  SimTime UsbRateTime(std::uint64_t samples) const;
  /// The least time a write of count samples takes on the bus: one slot of a frame for each of its
  /// packets out and back, and never less than UsbRateTime; 0 under an explicit sample rate.
  SimTime PacketTime(std::uint32_t count) const;
  /// Under RealTime, sleeps until the wall clock has caught up with the virtual one; a wall
  /// clock more than kIdleSlack ahead starts the measure afresh.
  void KeepPace();
  /// How far the wall clock may run ahead of the virtual one and still be made up (the
  /// simulation's own work between two calls), beyond which the time counts as idle.
  static constexpr std::chrono::milliseconds kIdleSlack{50};
  /// The wall-clock moment virtual time at is due.
  std::chrono::steady_clock::time_point WallDue(SimTime at) const;
  void ClockSamples(SimDevice& device, const std::uint8_t* bytes, std::uint32_t count, std::uint32_t* written);
  /// Programs image into the device's EEPROM word by word, as the chip takes it; the device
  /// goes away at the EEPROM fault point, leaving the words before it written.
  FT_STATUS ProgramWords(SimDevice& device, const FtEepromImage& image);

  std::vector<std::unique_ptr<SimDevice>> devices_;
  SimFaults faults_;
  SimTiming timing_;
  std::unique_ptr<SimTrace> trace_;
  SimTime now_ = 0;
  /// The wall-clock moment and virtual time from which KeepPace measures.
  std::optional<std::chrono::steady_clock::time_point> paceStart_;
  SimTime paceFrom_ = 0;
  /// The virtual time the last KeepPace kept pace with.
  SimTime pacedTo_ = 0;
  std::uint64_t samples_ = 0;
  std::uint32_t eepromWords_ = 0;
  FT_HANDLE nextHandle_ = 0x1000;
};

}  // namespace pw::sim
