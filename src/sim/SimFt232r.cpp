#include "sim/SimFt232r.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "d2xx/UsbLimit.h"

namespace pw::sim {

SimDevice& SimFt232r::AddDevice(SimDeviceConfig config) {
  devices_.push_back(std::make_unique<SimDevice>(std::move(config)));
  return *devices_.back();
}

SimBoard& SimFt232r::AddProgrammer(SimDeviceConfig config) {
  SimDevice& device = AddDevice(std::move(config));
  device.Board = std::make_unique<SimBoard>();
  return *device.Board;
}

void SimFt232r::StartTrace(const std::filesystem::path& path) { trace_ = std::make_unique<SimTrace>(path); }

void SimFt232r::StopTrace() { trace_.reset(); }

std::vector<SimDevice*> SimFt232r::Present() {
  std::vector<SimDevice*> present;
  for (auto& d : devices_) {
    if (!d->Unplugged) present.push_back(d.get());
  }
  return present;
}

SimDevice* SimFt232r::Find(FT_HANDLE handle) {
  for (auto& d : devices_) {
    if (d->Open && d->Handle == handle && handle != 0) return d.get();
  }
  return nullptr;
}

FT_STATUS SimFt232r::Enter(SimCall call, FT_HANDLE handle, SimDevice*& device) {
  if (const FT_STATUS injected = faults_.Count(call)) return injected;
  device = Find(handle);
  if (!device) return FT_INVALID_HANDLE;
  return device->Unplugged ? FT_IO_ERROR : FT_OK;
}

FT_STATUS SimFt232r::ListDevices(void* arg1, void* arg2, std::uint32_t flags) {
  if (const FT_STATUS injected = faults_.Count(SimCall::ListDevices)) return injected;
  const auto present = Present();
  if (flags & FT_LIST_NUMBER_ONLY) {
    if (!arg1) return FT_INVALID_PARAMETER;
    *static_cast<std::uint32_t*>(arg1) = static_cast<std::uint32_t>(present.size());
    return FT_OK;
  }
  if ((flags & FT_LIST_BY_INDEX) && (flags & FT_OPEN_BY_DESCRIPTION) && arg2) {
    const auto index = reinterpret_cast<std::uintptr_t>(arg1);
    if (index >= present.size()) return FT_DEVICE_NOT_FOUND;
    const SimDevice& device = *present[index];
    if (device.Config.ListStatus != FT_OK) return device.Config.ListStatus;
    const std::string& text = device.Config.Description;
    const std::size_t n = text.size() < kFtDescriptionSize - 1 ? text.size() : kFtDescriptionSize - 1;
    std::memcpy(arg2, text.data(), n);
    static_cast<char*>(arg2)[n] = '\0';
    return FT_OK;
  }
  return FT_INVALID_ARGS;
}

FT_STATUS SimFt232r::Open(int index, FT_HANDLE* handle) {
  if (const FT_STATUS injected = faults_.Count(SimCall::Open)) return injected;
  const auto present = Present();
  if (index < 0 || static_cast<std::size_t>(index) >= present.size()) return FT_DEVICE_NOT_FOUND;
  SimDevice& device = *present[static_cast<std::size_t>(index)];
  if (device.Config.OpenStatus != FT_OK) return device.Config.OpenStatus;
  if (device.Open || faults_.Busy()) return FT_DEVICE_NOT_OPENED;  // in use by someone else
  device.Reset(Environment());
  device.Open = true;
  device.Handle = nextHandle_++;
  *handle = device.Handle;
  return FT_OK;
}

FT_STATUS SimFt232r::Close(FT_HANDLE handle) {
  if (const FT_STATUS injected = faults_.Count(SimCall::Close)) return injected;
  SimDevice* device = Find(handle);
  if (!device) return FT_INVALID_HANDLE;
  device->Reset(Environment());
  return FT_OK;
}

namespace {

constexpr SimTime kPicosPerSecond = 1000 * kPicosPerMilli;
/// A sample's share of the USB limit, rounded up so that no run of samples beats the limit by a
/// rounding.
constexpr SimTime kUsbSamplePeriod =
    (kPicosPerSecond + d2xx::kUsbMostSamplesPerSecond - 1) / d2xx::kUsbMostSamplesPerSecond;

}  // namespace

SimTime SimFt232r::SamplePeriod(const SimDevice& device) const {
  const std::uint64_t rate = timing_.SampleRate ? timing_.SampleRate : d2xx::kSamplesPerBaud * device.Baud;
  return rate ? kPicosPerSecond / rate : 0;
}

SimTime SimFt232r::UsbRateTime(std::uint64_t samples) const {
  return timing_.SampleRate ? 0 : samples * kUsbSamplePeriod;
}

SimTime SimFt232r::PacketTime(std::uint32_t count) const {
  if (timing_.SampleRate) return 0;
  const SimTime slots =
      d2xx::UsbPacketsFor(count) * d2xx::kUsbFrameNs * (kPicosPerMicro / 1000) / d2xx::kUsbPacketsPerFrame;
  return std::max(slots, UsbRateTime(count));
}

void SimFt232r::ClockSamples(SimDevice& device, const std::uint8_t* bytes, std::uint32_t count,
                             std::uint32_t* written) {
  const SimTime period = SamplePeriod(device);
  const SimTime start = now_;
  const auto limit = faults_.UnplugAfter();
  for (std::uint32_t i = 0; i < count; ++i) {
    if (limit && samples_ >= *limit) {
      device.Unplugged = true;
      return;
    }
    // The chip clocks a packet's samples at its own clock, so chips see its edges, but a packet
    // comes no sooner than USB carries the samples before it.
    if (i % d2xx::kUsbPacketBytes == 0) now_ = std::max(now_, start + UsbRateTime(i));
    now_ += period;
    device.Received.push_back(device.Clock(bytes[i], Environment()));
    if (trace_) trace_->Append(device.Levels);
    ++samples_;
    ++*written;
  }
}

FT_STATUS SimFt232r::Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written) {
  SimDevice* device = nullptr;
  if (const FT_STATUS status = Enter(SimCall::Write, handle, device)) return status;
  *written = 0;
  now_ += timing_.Latency;
  if (device->Mode != FT_BITMODE_SYNC_BITBANG) {
    *written = count;  // a UART write: nothing shows on the pins, nothing comes back
    KeepPace();
    return FT_OK;
  }
  const SimTime start = now_;
  ClockSamples(*device, static_cast<const std::uint8_t*>(buffer), count, written);
  // The chip clocks the samples in bursts as their packets come, so a short write still waits
  // for a slot out and a slot back.
  if (!device->Unplugged) now_ = std::max(now_, start + PacketTime(count));
  if (trace_) trace_->Flush();
  KeepPace();
  return device->Unplugged ? FT_IO_ERROR : FT_OK;
}

FT_STATUS SimFt232r::Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* got) {
  SimDevice* device = nullptr;
  if (const FT_STATUS status = Enter(SimCall::Read, handle, device)) return status;
  std::uint32_t n = faults_.ReadLimit(count);
  if (n > device->Pending()) n = static_cast<std::uint32_t>(device->Pending());
  if (n > 0) std::memcpy(buffer, device->Received.data() + device->ReceivedAt, n);
  device->ReceivedAt += n;
  if (device->ReceivedAt == device->Received.size()) {
    device->Received.clear();
    device->ReceivedAt = 0;
  }
  // A read that comes up short waits out its time-out first, as the driver does.
  if (n < count) now_ += static_cast<SimTime>(device->ReadTimeoutMs) * kPicosPerMilli;
  *got = n;
  KeepPace();
  return FT_OK;
}

FT_STATUS SimFt232r::SetBaudRate(FT_HANDLE handle, std::uint32_t baud) {
  SimDevice* device = nullptr;
  if (const FT_STATUS status = Enter(SimCall::SetBaudRate, handle, device)) return status;
  if (baud < 300 || baud > 3'000'000) return FT_INVALID_BAUD_RATE;
  device->Baud = baud;
  return FT_OK;
}

FT_STATUS SimFt232r::SetTimeouts(FT_HANDLE handle, std::uint32_t readMs, std::uint32_t writeMs) {
  SimDevice* device = nullptr;
  if (const FT_STATUS status = Enter(SimCall::SetTimeouts, handle, device)) return status;
  device->ReadTimeoutMs = readMs;
  device->WriteTimeoutMs = writeMs;
  return FT_OK;
}

FT_STATUS SimFt232r::SetBitMode(FT_HANDLE handle, std::uint8_t mask, std::uint8_t mode) {
  SimDevice* device = nullptr;
  if (const FT_STATUS status = Enter(SimCall::SetBitMode, handle, device)) return status;
  device->Reconfigure(mask, mode, Environment());
  return FT_OK;
}

FT_STATUS SimFt232r::EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
  SimDevice* device = nullptr;
  if (const FT_STATUS status = Enter(SimCall::EeRead, handle, device)) return status;
  if (!data || data->Signature1 != 0 || data->Signature2 != 0xFFFFFFFF) return FT_INVALID_PARAMETER;
  return DecodeFtEeprom(device->Eeprom, *data);
}

FT_STATUS SimFt232r::EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
  SimDevice* device = nullptr;
  if (const FT_STATUS status = Enter(SimCall::EeProgram, handle, device)) return status;
  if (!data || data->Signature1 != 0 || data->Signature2 != 0xFFFFFFFF) return FT_INVALID_PARAMETER;
  FtEepromImage image{};
  if (const FT_STATUS status = EncodeFtEeprom(*data, image)) return status;
  return ProgramWords(*device, image);
}

FT_STATUS SimFt232r::ProgramWords(SimDevice& device, const FtEepromImage& image) {
  const auto limit = faults_.UnplugAfterEepromWords();
  for (std::size_t at = 0; at < image.size(); at += 2) {
    if (limit && eepromWords_ >= *limit) {
      device.Unplugged = true;
      return FT_IO_ERROR;
    }
    ++eepromWords_;
    if (faults_.KeptEepromWord() == at / 2) continue;
    device.Eeprom[at] = image[at];
    device.Eeprom[at + 1] = image[at + 1];
  }
  return FT_OK;
}

void SimFt232r::Wait(std::uint32_t ms) {
  now_ += static_cast<SimTime>(ms) * kPicosPerMilli;
  KeepPace();
}

std::chrono::steady_clock::time_point SimFt232r::WallDue(SimTime at) const {
  return *paceStart_ + std::chrono::nanoseconds(static_cast<std::int64_t>((at - paceFrom_) / 1000));
}

void SimFt232r::KeepPace() {
  if (!timing_.RealTime) return;
  const auto wall = std::chrono::steady_clock::now();
  if (!paceStart_) pacedTo_ = now_;
  // Time in which nothing was exchanged (a window waiting for a click) is no credit: were it
  // one, the next operation would run at full speed until the virtual clock caught up.
  if (!paceStart_ || wall > WallDue(pacedTo_) + kIdleSlack) {
    paceStart_ = wall;
    paceFrom_ = pacedTo_;
  }
  pacedTo_ = now_;
  std::this_thread::sleep_until(WallDue(now_));
}

}  // namespace pw::sim
