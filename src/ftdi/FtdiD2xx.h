#pragma once
/// @file
/// The real programmer: the D2xx interface over libftdi1 for FT232R devices (0403:6001).
///
/// Exchanges in synchronous bit-bang mode happen in Write: the chip clocks a byte out only
/// while its 256-byte receive FIFO has room, so the bytes written are streamed out while the
/// bytes they clock back are read in, and the replies wait in a host-side queue for Read.
/// Read serves that queue first and then waits for the chip, as D2XX does, until it has the
/// count asked for or its time-out has passed.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "d2xx/D2xx.h"

struct ftdi_context;
struct ftdi_transfer_control;
struct libusb_device;

namespace pw::ftdi {

/// How the backend moves samples and keeps time.
struct FtdiOptions {
  /// Bytes in flight per step of an exchange: 0 streams a whole write at once (the default);
  /// a number such as 128 writes that many and reads them back before the next step.
  std::uint32_t StepBytes = 0;
  /// Only programmers with this serial number are listed; empty lists every FT232R.
  std::string Serial;
  /// Microseconds of a monotonic clock; the default is the system's steady clock.
  std::function<std::uint64_t()> NowMicros;
  /// Blocks for the given milliseconds; the default sleeps.
  std::function<void(std::uint32_t)> SleepMs;
};

/// Bytes in flight per step of the lock-step exchange: what fits the chip's transmit FIFO.
inline constexpr std::uint32_t kLockStepBytes = 128;

/// Options from the environment: PINWRIGHT_FTDI_LOCKSTEP=1 selects the lock-step exchange.
FtdiOptions OptionsFromEnvironment(const std::string& serial);

class FtdiD2xx : public D2xx {
 public:
  explicit FtdiD2xx(FtdiOptions options);
  ~FtdiD2xx() override;
  FtdiD2xx(const FtdiD2xx&) = delete;
  FtdiD2xx& operator=(const FtdiD2xx&) = delete;

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

  /// What a person can do about the last failure to find or open a programmer (no device, no
  /// permission); empty when nothing failed.
  const std::string& Hint() const { return hint_; }

 private:
  struct Listed {
    libusb_device* Device = nullptr;
    std::string Description;
    std::string Serial;
    bool Readable = false;
  };
  struct OpenDevice;
  FT_STATUS Refresh();
  void ForgetList();
  OpenDevice* Find(FT_HANDLE handle);
  std::uint64_t Now() const;
  /// Streams count bytes out while reading their replies into the device's queue.
  FT_STATUS Exchange(OpenDevice& dev, const std::uint8_t* bytes, std::uint32_t count, std::uint32_t* written);
  FT_STATUS ExchangeStep(OpenDevice& dev, std::uint8_t* bytes, std::uint32_t count, std::uint32_t* written);
  /// Handles USB events until both transfers are done or no byte has moved for idle
  /// microseconds; false when the event handling itself failed.
  bool AwaitTransfers(ftdi_context* context, const ftdi_transfer_control& reading, const ftdi_transfer_control& writing,
                      std::uint64_t idle) const;
  /// Ends a step's transfers and hands on what they moved: the replies to the device's queue,
  /// the count of bytes written.
  FT_STATUS EndStep(OpenDevice& dev, ftdi_transfer_control* reading, ftdi_transfer_control* writing, bool failed,
                    std::uint32_t* written);
  /// Probes device to learn why it could not be opened (claim: why its interface could not be
  /// claimed as well) and keeps the hint; keeps nothing when the probe succeeds.
  void NoteOpenFailure(libusb_device* device, bool claim);

  FtdiOptions options_;
  ftdi_context* listContext_ = nullptr;
  std::vector<Listed> listed_;
  bool listedOnce_ = false;
  std::map<FT_HANDLE, std::unique_ptr<OpenDevice>> open_;
  FT_HANDLE nextHandle_ = 1;
  std::string hint_;
};

}  // namespace pw::ftdi
