#include "ftdi/FtdiD2xx.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "d2xx/FtEepromImage.h"
#include "ftdi/FtdiHints.h"
#include "ftdi/FtdiOpenDevice.h"

namespace pw::ftdi {

namespace {

constexpr int kVendor = 0x0403;
constexpr int kProduct = 0x6001;
constexpr std::uint8_t kLatencyMs = 1;
constexpr std::uint8_t kReadEepromRequest = 0x90;
constexpr std::uint8_t kWriteEepromRequest = 0x91;
// libftdi's FTDI_DEVICE_*_REQTYPE, spelled as numbers: its macros OR two enumeration types,
// which C++20 deprecates. Vendor request to the device, in or out.
constexpr std::uint8_t kVendorIn =
    LIBUSB_REQUEST_TYPE_VENDOR | static_cast<std::uint8_t>(LIBUSB_RECIPIENT_DEVICE) | LIBUSB_ENDPOINT_IN;
constexpr std::uint8_t kVendorOut =
    LIBUSB_REQUEST_TYPE_VENDOR | static_cast<std::uint8_t>(LIBUSB_RECIPIENT_DEVICE) | LIBUSB_ENDPOINT_OUT;
constexpr int kEepromWords = 64;

std::uint64_t SteadyMicros() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

bool ValidRecord(const FT_PROGRAM_DATA* data) {
  return data && data->Signature1 == 0 && data->Signature2 == 0xFFFFFFFF;
}

}  // namespace

FtdiOptions OptionsFromEnvironment(const std::string& serial) {
  FtdiOptions options;
  options.Serial = serial;
  const char* lockStep = std::getenv("PINWRIGHT_FTDI_LOCKSTEP");
  if (lockStep && *lockStep && std::strcmp(lockStep, "0") != 0) options.StepBytes = kLockStepBytes;
  return options;
}

FtdiD2xx::FtdiD2xx(FtdiOptions options) : options_(std::move(options)) {
  if (!options_.NowMicros) options_.NowMicros = SteadyMicros;
  if (!options_.SleepMs) {
    options_.SleepMs = [](std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
  }
}

FtdiD2xx::~FtdiD2xx() {
  for (auto& [handle, dev] : open_) {
    if (dev->Wedged) continue;  // its transfers still point into it: leave it to the process end
    ftdi_usb_close(dev->Context);
    ftdi_free(dev->Context);
  }
  for (auto& [handle, dev] : open_) {
    if (dev->Wedged) (void)dev.release();
  }
  ForgetList();
  if (listContext_) ftdi_free(listContext_);
}

std::uint64_t FtdiD2xx::Now() const { return options_.NowMicros(); }

void FtdiD2xx::ForgetList() {
  for (auto& l : listed_) libusb_unref_device(l.Device);
  listed_.clear();
}

FT_STATUS FtdiD2xx::Refresh() {
  ForgetList();
  listedOnce_ = true;
  hint_.clear();
  if (!listContext_) listContext_ = ftdi_new();
  if (!listContext_) return FT_INSUFFICIENT_RESOURCES;
  ftdi_device_list* list = nullptr;
  const int found = ftdi_usb_find_all(listContext_, &list, kVendor, kProduct);
  if (found < 0) {
    hint_ = UsbSystemHint(ftdi_get_error_string(listContext_));
    return FT_IO_ERROR;
  }
  for (ftdi_device_list* l = list; l; l = l->next) {
    Listed entry;
    char manufacturer[64] = {};
    char description[kFtDescriptionSize] = {};
    char serial[kFtSerialNumberSize * 4] = {};
    entry.Readable = ftdi_usb_get_strings(listContext_, l->dev, manufacturer, sizeof manufacturer, description,
                                          sizeof description, serial, sizeof serial) == 0;
    if (!entry.Readable) NoteOpenFailure(l->dev, false);
    entry.Description = description;
    entry.Serial = serial;
    if (!options_.Serial.empty() && entry.Serial != options_.Serial) continue;
    entry.Device = libusb_ref_device(l->dev);
    listed_.push_back(std::move(entry));
  }
  ftdi_list_free(&list);
  if (listed_.empty() && hint_.empty()) hint_ = NoProgrammerHint(options_.Serial, found);
  return FT_OK;
}

void FtdiD2xx::NoteOpenFailure(libusb_device* device, bool claim) {
  libusb_device_handle* probe = nullptr;
  int rc = libusb_open(device, &probe);
  if (rc == 0) {
    // A programmer another program holds opens, but its interface cannot be claimed; libftdi
    // has already taken the kernel's serial driver off it when an open gets here.
    if (claim) rc = libusb_claim_interface(probe, 0);
    if (claim && rc == 0) libusb_release_interface(probe, 0);
    libusb_close(probe);
    if (rc == 0) return;
  }
  hint_ = OpenFailureHint(rc, libusb_get_bus_number(device), libusb_get_device_address(device));
}

FT_STATUS FtdiD2xx::ListDevices(void* arg1, void* arg2, std::uint32_t flags) {
  if (flags & FT_LIST_NUMBER_ONLY) {
    if (!arg1) return FT_INVALID_PARAMETER;
    const FT_STATUS status = Refresh();
    if (status != FT_OK) return status;
    *static_cast<std::uint32_t*>(arg1) = static_cast<std::uint32_t>(listed_.size());
    return FT_OK;
  }
  if (!(flags & FT_LIST_BY_INDEX) || !(flags & FT_OPEN_BY_DESCRIPTION) || !arg2) return FT_INVALID_ARGS;
  if (!listedOnce_) {
    if (const FT_STATUS status = Refresh()) return status;
  }
  const auto index = reinterpret_cast<std::uintptr_t>(arg1);
  if (index >= listed_.size()) return FT_DEVICE_NOT_FOUND;
  const Listed& entry = listed_[index];
  if (!entry.Readable) return FT_DEVICE_NOT_OPENED;
  const std::size_t n = std::min(entry.Description.size(), kFtDescriptionSize - 1);
  std::memcpy(arg2, entry.Description.data(), n);
  static_cast<char*>(arg2)[n] = '\0';
  return FT_OK;
}

FT_STATUS FtdiD2xx::Open(int index, FT_HANDLE* handle) {
  if (!handle) return FT_INVALID_PARAMETER;
  if (!listedOnce_) {
    if (const FT_STATUS status = Refresh()) return status;
  }
  if (index < 0 || static_cast<std::size_t>(index) >= listed_.size()) return FT_DEVICE_NOT_FOUND;
  auto dev = std::make_unique<OpenDevice>();
  dev->Context = ftdi_new();
  if (!dev->Context) return FT_INSUFFICIENT_RESOURCES;
  libusb_device* device = listed_[static_cast<std::size_t>(index)].Device;
  if (ftdi_usb_open_dev(dev->Context, device) < 0) {
    NoteOpenFailure(device, true);
    ftdi_free(dev->Context);
    return FT_DEVICE_NOT_OPENED;
  }
  // 1 ms instead of 16: a short exchange would otherwise wait out the timer on every round trip.
  if (ftdi_set_latency_timer(dev->Context, kLatencyMs) < 0) {
    ftdi_usb_close(dev->Context);
    ftdi_free(dev->Context);
    return FT_IO_ERROR;
  }
  dev->Context->usb_read_timeout = static_cast<int>(kDefaultTimeoutMs);
  dev->Context->usb_write_timeout = static_cast<int>(kDefaultTimeoutMs);
  hint_.clear();
  *handle = nextHandle_++;
  open_[*handle] = std::move(dev);
  return FT_OK;
}

FtdiD2xx::OpenDevice* FtdiD2xx::Find(FT_HANDLE handle) {
  const auto it = open_.find(handle);
  return it == open_.end() ? nullptr : it->second.get();
}

FT_STATUS FtdiD2xx::Close(FT_HANDLE handle) {
  OpenDevice* dev = Find(handle);
  if (!dev) return FT_INVALID_HANDLE;
  if (dev->Wedged) {
    (void)open_[handle].release();
  } else {
    ftdi_usb_close(dev->Context);
    ftdi_free(dev->Context);
  }
  open_.erase(handle);
  return FT_OK;
}

FT_STATUS FtdiD2xx::Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* got) {
  OpenDevice* dev = Find(handle);
  if (!dev) return FT_INVALID_HANDLE;
  if (!got || (count && !buffer)) return FT_INVALID_PARAMETER;
  auto* out = static_cast<std::uint8_t*>(buffer);
  *got = 0;
  const std::uint32_t queued = static_cast<std::uint32_t>(std::min<std::size_t>(count, dev->Replies.size()));
  std::copy_n(dev->Replies.begin(), queued, out);
  dev->Replies.erase(dev->Replies.begin(), dev->Replies.begin() + queued);
  *got = queued;
  if (dev->Wedged) return *got == count ? FT_OK : FT_IO_ERROR;
  // As D2XX: wait for the rest until the read time-out, whatever packets (status only) arrive.
  const std::uint64_t deadline = Now() + std::uint64_t{dev->ReadMs} * 1000;
  while (*got < count) {
    const int n = ftdi_read_data(dev->Context, out + *got, static_cast<int>(count - *got));
    if (n < 0) return FT_IO_ERROR;
    *got += static_cast<std::uint32_t>(n);
    if (*got < count && Now() >= deadline) break;
  }
  return FT_OK;
}

FT_STATUS FtdiD2xx::Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written) {
  OpenDevice* dev = Find(handle);
  if (!dev) return FT_INVALID_HANDLE;
  if (!written || (count && !buffer)) return FT_INVALID_PARAMETER;
  *written = 0;
  if (dev->Wedged) return FT_IO_ERROR;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  if (dev->Mode == FT_BITMODE_SYNC_BITBANG) return Exchange(*dev, bytes, count, written);
  dev->Outgoing.assign(bytes, bytes + count);
  const int n = ftdi_write_data(dev->Context, dev->Outgoing.data(), static_cast<int>(count));
  if (n < 0) return FT_IO_ERROR;
  *written = static_cast<std::uint32_t>(n);
  return FT_OK;
}

FT_STATUS FtdiD2xx::SetBaudRate(FT_HANDLE handle, std::uint32_t baud) {
  OpenDevice* dev = Find(handle);
  if (!dev) return FT_INVALID_HANDLE;
  if (baud < 300 || baud > 3'000'000) return FT_INVALID_BAUD_RATE;
  // libftdi multiplies the rate by four in bit-bang mode; D2XX does not. Quartering it gives
  // the chip the divisor D2XX would, so the sample clock stays sixteen times the baud value.
  const int argument = dev->Context->bitbang_enabled ? static_cast<int>((baud + 2) / 4) : static_cast<int>(baud);
  const int rc = ftdi_set_baudrate(dev->Context, argument);
  if (rc == -1) return FT_INVALID_BAUD_RATE;
  return rc < 0 ? FT_IO_ERROR : FT_OK;
}

FT_STATUS FtdiD2xx::SetTimeouts(FT_HANDLE handle, std::uint32_t readMs, std::uint32_t writeMs) {
  OpenDevice* dev = Find(handle);
  if (!dev) return FT_INVALID_HANDLE;
  // 0 would mean "wait for ever" to libusb: a programmer that stopped answering would hang the program.
  dev->ReadMs = readMs ? readMs : kDefaultTimeoutMs;
  dev->WriteMs = writeMs ? writeMs : kDefaultTimeoutMs;
  dev->Context->usb_read_timeout = static_cast<int>(dev->ReadMs);
  dev->Context->usb_write_timeout = static_cast<int>(dev->WriteMs);
  return FT_OK;
}

FT_STATUS FtdiD2xx::SetBitMode(FT_HANDLE handle, std::uint8_t mask, std::uint8_t mode) {
  OpenDevice* dev = Find(handle);
  if (!dev) return FT_INVALID_HANDLE;
  if (dev->Wedged) return FT_IO_ERROR;
  if (ftdi_set_bitmode(dev->Context, mask, mode) < 0) return FT_IO_ERROR;
  dev->Mode = mode;
  return FT_OK;
}

FT_STATUS FtdiD2xx::EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
  OpenDevice* dev = Find(handle);
  if (!dev) return FT_INVALID_HANDLE;
  if (!ValidRecord(data)) return FT_INVALID_PARAMETER;
  FtEepromImage image{};
  for (int word = 0; word < kEepromWords; ++word) {
    unsigned char pair[2] = {};
    if (libusb_control_transfer(dev->Context->usb_dev, kVendorIn, kReadEepromRequest, 0,
                                static_cast<std::uint16_t>(word), pair, 2, static_cast<unsigned>(dev->ReadMs)) != 2) {
      return FT_EEPROM_READ_FAILED;
    }
    image[static_cast<std::size_t>(word) * 2] = pair[0];
    image[static_cast<std::size_t>(word) * 2 + 1] = pair[1];
  }
  return DecodeFtEeprom(image, *data);
}

FT_STATUS FtdiD2xx::EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
  OpenDevice* dev = Find(handle);
  if (!dev) return FT_INVALID_HANDLE;
  if (!ValidRecord(data)) return FT_INVALID_PARAMETER;
  FtEepromImage image{};
  if (const FT_STATUS status = EncodeFtEeprom(*data, image)) return status;
  // Word by word from the project's own image: libftdi's builder would clamp CBUS4 and reset the latency timer.
  for (int word = 0; word < kEepromWords; ++word) {
    if (libusb_control_transfer(dev->Context->usb_dev, kVendorOut, kWriteEepromRequest, FtEepromWord(image, word),
                                static_cast<std::uint16_t>(word), nullptr, 0,
                                static_cast<unsigned>(dev->WriteMs)) < 0) {
      return FT_EEPROM_WRITE_FAILED;
    }
  }
  // A word the chip did not keep must not pass for programmed.
  for (int word = 0; word < kEepromWords; ++word) {
    unsigned char pair[2] = {};
    if (libusb_control_transfer(dev->Context->usb_dev, kVendorIn, kReadEepromRequest, 0,
                                static_cast<std::uint16_t>(word), pair, 2, static_cast<unsigned>(dev->ReadMs)) != 2 ||
        pair[0] != image[static_cast<std::size_t>(word) * 2] ||
        pair[1] != image[static_cast<std::size_t>(word) * 2 + 1]) {
      return FT_EEPROM_WRITE_FAILED;
    }
  }
  return FT_OK;
}

void FtdiD2xx::Wait(std::uint32_t ms) { options_.SleepMs(ms); }

}  // namespace pw::ftdi
