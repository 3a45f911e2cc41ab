// The libusb-1.0 functions libftdi1 calls, answered by the virtual bus. Linked into a test or
// benchmark program, these definitions take the place of the system's libusb for libftdi1.
#include <libusb.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "VirtualUsbTypes.h"
#include "d2xx/FtEepromImage.h"

using pw::usbchip::VirtualBus;
using pw::usbchip::VirtualChip;

namespace {

libusb_context theContext;

std::uint64_t Nanos(const timeval* tv) {
  return tv ? static_cast<std::uint64_t>(tv->tv_sec) * 1'000'000'000ull +
                  static_cast<std::uint64_t>(tv->tv_usec) * 1000ull
            : 60'000'000'000ull;
}

VirtualChip* ChipOf(libusb_device_handle* handle) { return handle && handle->Device ? handle->Device->Chip : nullptr; }

/// Counts call against the bench's Fail= rules; true when it is to fail.
bool InjectedFault(pw::sim::SimCall call) { return VirtualBus::Get().Conditions().Faults.Count(call) != pw::FT_OK; }

}  // namespace

extern "C" {

/// Defined by the preloadable build (PreloadBench.cpp) to put a bench on the bus; absent in
/// test programs, which plug their chips themselves.
void pinwright_virtual_bus_setup() __attribute__((weak));

int LIBUSB_CALL libusb_init(libusb_context** ctx) {
  if (pinwright_virtual_bus_setup) pinwright_virtual_bus_setup();
  if (ctx) *ctx = &theContext;
  return 0;
}

void LIBUSB_CALL libusb_exit(libusb_context*) {}

ssize_t LIBUSB_CALL libusb_get_device_list(libusb_context*, libusb_device*** list) {
  if (InjectedFault(pw::sim::SimCall::ListDevices)) return LIBUSB_ERROR_IO;
  auto& chips = VirtualBus::Get().Chips();
  auto** out = static_cast<libusb_device**>(std::calloc(chips.size() + 1, sizeof(libusb_device*)));
  if (!out) return LIBUSB_ERROR_NO_MEM;
  ssize_t n = 0;
  for (auto& chip : chips) {
    if (chip->Plugged) out[n++] = chip->UsbDevice;
  }
  *list = out;
  return n;
}

void LIBUSB_CALL libusb_free_device_list(libusb_device** list, int) { std::free(list); }
libusb_device* LIBUSB_CALL libusb_ref_device(libusb_device* dev) { return dev; }
void LIBUSB_CALL libusb_unref_device(libusb_device*) {}
uint8_t LIBUSB_CALL libusb_get_bus_number(libusb_device*) { return 1; }
uint8_t LIBUSB_CALL libusb_get_device_address(libusb_device* dev) { return static_cast<uint8_t>(dev->Address); }

int LIBUSB_CALL libusb_get_device_descriptor(libusb_device* dev, libusb_device_descriptor* desc) {
  std::memset(desc, 0, sizeof *desc);
  desc->bLength = LIBUSB_DT_DEVICE_SIZE;
  desc->bDescriptorType = LIBUSB_DT_DEVICE;
  desc->bcdUSB = 0x0200;
  desc->bMaxPacketSize0 = 8;
  desc->idVendor = 0x0403;
  desc->idProduct = 0x6001;
  desc->bcdDevice = dev->Chip->Device->Eeprom[6] | dev->Chip->Device->Eeprom[7] << 8;
  desc->iManufacturer = 1;
  desc->iProduct = 2;
  desc->iSerialNumber = 3;
  desc->bNumConfigurations = 1;
  return 0;
}

int LIBUSB_CALL libusb_get_config_descriptor(libusb_device*, uint8_t index, libusb_config_descriptor** config) {
  if (index != 0) return LIBUSB_ERROR_NOT_FOUND;
  // One block the caller frees in one go: the configuration, its interface, setting and endpoints.
  struct Block {
    libusb_config_descriptor Config;
    libusb_interface Interface;
    libusb_interface_descriptor Setting;
    libusb_endpoint_descriptor Endpoints[2];
  };
  auto* b = static_cast<Block*>(std::calloc(1, sizeof(Block)));
  if (!b) return LIBUSB_ERROR_NO_MEM;
  b->Endpoints[0] = {
      LIBUSB_DT_ENDPOINT_SIZE, LIBUSB_DT_ENDPOINT, 0x81, LIBUSB_TRANSFER_TYPE_BULK, 64, 0, 0, 0, nullptr, 0};
  b->Endpoints[1] = {
      LIBUSB_DT_ENDPOINT_SIZE, LIBUSB_DT_ENDPOINT, 0x02, LIBUSB_TRANSFER_TYPE_BULK, 64, 0, 0, 0, nullptr, 0};
  b->Setting.bLength = LIBUSB_DT_INTERFACE_SIZE;
  b->Setting.bDescriptorType = LIBUSB_DT_INTERFACE;
  b->Setting.bNumEndpoints = 2;
  b->Setting.bInterfaceClass = 0xFF;
  b->Setting.endpoint = b->Endpoints;
  b->Interface.altsetting = &b->Setting;
  b->Interface.num_altsetting = 1;
  b->Config.bLength = LIBUSB_DT_CONFIG_SIZE;
  b->Config.bDescriptorType = LIBUSB_DT_CONFIG;
  b->Config.bNumInterfaces = 1;
  b->Config.bConfigurationValue = 1;
  b->Config.bmAttributes = 0x80;
  b->Config.MaxPower = 45;
  b->Config.interface = &b->Interface;
  *config = &b->Config;
  return 0;
}

void LIBUSB_CALL libusb_free_config_descriptor(libusb_config_descriptor* config) { std::free(config); }

int LIBUSB_CALL libusb_open(libusb_device* dev, libusb_device_handle** handle) {
  VirtualChip* chip = dev->Chip;
  if (!chip->Plugged) return LIBUSB_ERROR_NO_DEVICE;
  if (chip->NoPermission) return LIBUSB_ERROR_ACCESS;
  if (InjectedFault(pw::sim::SimCall::Open)) return LIBUSB_ERROR_IO;
  *handle = new libusb_device_handle{dev, false};
  return 0;
}

void LIBUSB_CALL libusb_close(libusb_device_handle* handle) {
  if (handle && handle->Claimed) handle->Device->Chip->Claimed = false;
  delete handle;
}

int LIBUSB_CALL libusb_get_configuration(libusb_device_handle*, int* config) {
  *config = 1;
  return 0;
}

int LIBUSB_CALL libusb_set_configuration(libusb_device_handle*, int) { return 0; }
int LIBUSB_CALL libusb_detach_kernel_driver(libusb_device_handle*, int) { return LIBUSB_ERROR_NOT_FOUND; }
int LIBUSB_CALL libusb_set_auto_detach_kernel_driver(libusb_device_handle*, int) { return 0; }

int LIBUSB_CALL libusb_claim_interface(libusb_device_handle* handle, int) {
  VirtualChip* chip = ChipOf(handle);
  if (!chip->Plugged) return LIBUSB_ERROR_NO_DEVICE;
  const bool elsewhere = chip->Conditions->Faults.Busy() || (chip->Claimed && !handle->Claimed);
  if (elsewhere) return LIBUSB_ERROR_BUSY;
  chip->Claimed = handle->Claimed = true;
  return 0;
}

int LIBUSB_CALL libusb_release_interface(libusb_device_handle* handle, int) {
  if (handle->Claimed) ChipOf(handle)->Claimed = false;
  handle->Claimed = false;
  return 0;
}

int LIBUSB_CALL libusb_reset_device(libusb_device_handle* handle) {
  VirtualChip* chip = ChipOf(handle);
  if (!chip || !chip->Plugged) return LIBUSB_ERROR_NO_DEVICE;
  // The chip starts afresh as after power-up: FIFOs empty, pins inputs, its EEPROM read anew
  // (the descriptors are always made from it).
  VirtualBus& bus = VirtualBus::Get();
  chip->Tx.clear();
  chip->Rx.clear();
  chip->InHalted = chip->OutHalted = false;
  chip->Device->Reset(chip->Environment(bus.NowNs()));
  bus.Advance(10 * pw::usbchip::kFrameNs);  // the host sees it go and come back
  return 0;
}

int LIBUSB_CALL libusb_clear_halt(libusb_device_handle* handle, unsigned char endpoint) {
  VirtualChip* chip = ChipOf(handle);
  if (!chip || !chip->Plugged) return LIBUSB_ERROR_NO_DEVICE;
  (endpoint & LIBUSB_ENDPOINT_IN ? chip->InHalted : chip->OutHalted) = false;
  return 0;
}

int LIBUSB_CALL libusb_get_string_descriptor_ascii(libusb_device_handle* handle, uint8_t index, unsigned char* data,
                                                   int length) {
  VirtualChip* chip = ChipOf(handle);
  if (!chip->Plugged) return LIBUSB_ERROR_NO_DEVICE;
  static constexpr int kPointer[4] = {0, 0x0E, 0x10, 0x12};
  if (index < 1 || index > 3 || length <= 0) return LIBUSB_ERROR_PIPE;
  const std::string text = pw::FtEepromString(chip->Device->Eeprom, kPointer[index]);
  const int n = std::min(static_cast<int>(text.size()), length - 1);
  std::memcpy(data, text.data(), static_cast<std::size_t>(n));
  data[n] = 0;
  return n;
}

int LIBUSB_CALL libusb_control_transfer(libusb_device_handle* handle, uint8_t requestType, uint8_t request,
                                        uint16_t value, uint16_t index, unsigned char* data, uint16_t length,
                                        unsigned int) {
  VirtualChip* chip = ChipOf(handle);
  if (!chip) return LIBUSB_ERROR_NO_DEVICE;
  VirtualBus& bus = VirtualBus::Get();
  const int rc = chip->Control(requestType, request, value, index, data, length, bus.NowNs());
  bus.HandleEvents(0);  // a control transfer takes its slot on the bus too
  return rc;
}

int LIBUSB_CALL libusb_bulk_transfer(libusb_device_handle* handle, unsigned char endpoint, unsigned char* data,
                                     int length, int* transferred, unsigned int timeout) {
  VirtualChip* chip = ChipOf(handle);
  if (!chip) return LIBUSB_ERROR_NO_DEVICE;
  return VirtualBus::Get().BulkSync(*chip, endpoint, data, length, transferred, timeout);
}

libusb_transfer* LIBUSB_CALL libusb_alloc_transfer(int isoPackets) {
  const std::size_t size =
      sizeof(libusb_transfer) + sizeof(libusb_iso_packet_descriptor) * static_cast<std::size_t>(isoPackets);
  return static_cast<libusb_transfer*>(std::calloc(1, size));
}

void LIBUSB_CALL libusb_free_transfer(libusb_transfer* transfer) {
  if (transfer && (transfer->flags & LIBUSB_TRANSFER_FREE_BUFFER)) std::free(transfer->buffer);
  std::free(transfer);
}

int LIBUSB_CALL libusb_submit_transfer(libusb_transfer* transfer) { return VirtualBus::Get().Submit(transfer); }
int LIBUSB_CALL libusb_cancel_transfer(libusb_transfer* transfer) { return VirtualBus::Get().Cancel(transfer); }

int LIBUSB_CALL libusb_handle_events_timeout_completed(libusb_context*, timeval* tv, int* completed) {
  if (completed && *completed) return 0;
  VirtualBus::Get().HandleEvents(Nanos(tv));
  return 0;
}

int LIBUSB_CALL libusb_handle_events_timeout(libusb_context* ctx, timeval* tv) {
  return libusb_handle_events_timeout_completed(ctx, tv, nullptr);
}

}  // extern "C"
