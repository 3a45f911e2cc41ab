// The libusb-0.1 functions the older libftdi (0.20) calls, answered by the same virtual bus
// through the libusb-1.0 functions of VirtualLibusb.cpp. Only in the preloadable library: with
// it, programs built on libftdi 0.20 (avrdude's ft232r programmer) reach the virtual FT232R.
#include <fcntl.h>
#include <libusb.h>
#include <unistd.h>
#include <usb.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "VirtualUsbTypes.h"

namespace {

/// One device as libusb-0.1 shows it, with the descriptors libftdi reads.
struct Listed01 {
  struct usb_device Device {};
  usb_config_descriptor Config{};
  usb_interface Interface{};
  usb_interface_descriptor Setting{};
  usb_endpoint_descriptor Endpoints[2]{};
};

usb_bus theBus{};
std::vector<std::unique_ptr<Listed01>> listed;
char lastError[64] = "no error";

/// libusb-0.1's handle begins with the device file's descriptor, and libftdi 0.20 reads it
/// (its close waits on it with select): a harmless open file stands in for the device file.
struct Handle01 {
  int Fd = -1;
  libusb_device_handle* Handle = nullptr;
  struct usb_device* Device = nullptr;
};

libusb_device_handle* Handle(usb_dev_handle* h) { return reinterpret_cast<Handle01*>(h)->Handle; }

int Fail(int libusbError) {
  std::snprintf(lastError, sizeof lastError, "libusb error %d", libusbError);
  switch (libusbError) {
    case LIBUSB_ERROR_TIMEOUT:
      return -ETIMEDOUT;
    case LIBUSB_ERROR_NO_DEVICE:
      return -ENODEV;
    case LIBUSB_ERROR_BUSY:
      return -EBUSY;
    default:
      return -EIO;
  }
}

void Describe(Listed01& l, libusb_device* dev, int number) {
  struct usb_device& d = l.Device;
  std::snprintf(d.filename, sizeof d.filename, "%03d", number);
  d.bus = &theBus;
  d.dev = dev;
  d.devnum = static_cast<std::uint8_t>(number);
  libusb_device_descriptor desc{};
  libusb_get_device_descriptor(dev, &desc);
  static_assert(sizeof(desc) == sizeof(d.descriptor));
  std::memcpy(&d.descriptor, &desc, sizeof desc);
  l.Endpoints[0] = {USB_DT_ENDPOINT_SIZE, USB_DT_ENDPOINT, 0x81, USB_ENDPOINT_TYPE_BULK, 64, 0, 0, 0, nullptr, 0};
  l.Endpoints[1] = {USB_DT_ENDPOINT_SIZE, USB_DT_ENDPOINT, 0x02, USB_ENDPOINT_TYPE_BULK, 64, 0, 0, 0, nullptr, 0};
  l.Setting.bLength = USB_DT_INTERFACE_SIZE;
  l.Setting.bDescriptorType = USB_DT_INTERFACE;
  l.Setting.bNumEndpoints = 2;
  l.Setting.bInterfaceClass = 0xFF;
  l.Setting.endpoint = l.Endpoints;
  l.Interface.altsetting = &l.Setting;
  l.Interface.num_altsetting = 1;
  l.Config.bLength = USB_DT_CONFIG_SIZE;
  l.Config.bDescriptorType = USB_DT_CONFIG;
  l.Config.bNumInterfaces = 1;
  l.Config.bConfigurationValue = 1;
  l.Config.bmAttributes = 0x80;
  l.Config.MaxPower = 45;
  l.Config.interface = &l.Interface;
  d.config = &l.Config;
}

}  // namespace

extern "C" {

void usb_init(void) { libusb_init(nullptr); }
int usb_find_busses(void) {
  std::snprintf(theBus.dirname, sizeof theBus.dirname, "001");
  return 1;
}

int usb_find_devices(void) {
  libusb_device** list = nullptr;
  const ssize_t n = libusb_get_device_list(nullptr, &list);
  listed.clear();
  theBus.devices = nullptr;
  struct usb_device* previous = nullptr;
  for (ssize_t i = 0; i < n; ++i) {
    listed.push_back(std::make_unique<Listed01>());
    Describe(*listed.back(), list[i], static_cast<int>(i) + 2);
    struct usb_device* d = &listed.back()->Device;
    d->prev = previous;
    if (previous)
      previous->next = d;
    else
      theBus.devices = d;
    previous = d;
  }
  libusb_free_device_list(list, 0);
  return static_cast<int>(n);
}

struct usb_bus* usb_get_busses(void) {
  return &theBus;
}

usb_dev_handle* usb_open(struct usb_device* dev) {
  libusb_device_handle* h = nullptr;
  const int rc = libusb_open(static_cast<libusb_device*>(dev->dev), &h);
  if (rc != 0) {
    Fail(rc);
    return nullptr;
  }
  auto* handle = new Handle01{open("/dev/null", O_RDWR), h, dev};
  return reinterpret_cast<usb_dev_handle*>(handle);
}

int usb_close(usb_dev_handle* dev) {
  auto* handle = reinterpret_cast<Handle01*>(dev);
  libusb_close(handle->Handle);
  if (handle->Fd >= 0) close(handle->Fd);
  delete handle;
  return 0;
}

int usb_claim_interface(usb_dev_handle* dev, int interface) {
  const int rc = libusb_claim_interface(Handle(dev), interface);
  return rc == 0 ? 0 : Fail(rc);
}

int usb_release_interface(usb_dev_handle* dev, int interface) {
  return libusb_release_interface(Handle(dev), interface);
}
int usb_set_configuration(usb_dev_handle*, int) { return 0; }
struct usb_device* usb_device(usb_dev_handle* dev) {
  return reinterpret_cast<Handle01*>(dev)->Device;
}

int usb_reset(usb_dev_handle* dev) {
  const int rc = libusb_reset_device(Handle(dev));
  return rc == 0 ? 0 : Fail(rc);
}
int usb_detach_kernel_driver_np(usb_dev_handle*, int) { return -ENODATA; }

int usb_get_string_simple(usb_dev_handle* dev, int index, char* buf, size_t buflen) {
  const int rc = libusb_get_string_descriptor_ascii(Handle(dev), static_cast<std::uint8_t>(index),
                                                    reinterpret_cast<unsigned char*>(buf), static_cast<int>(buflen));
  return rc < 0 ? Fail(rc) : rc;
}

int usb_control_msg(usb_dev_handle* dev, int requesttype, int request, int value, int index, char* bytes, int size,
                    int timeout) {
  const int rc = libusb_control_transfer(Handle(dev), static_cast<std::uint8_t>(requesttype),
                                         static_cast<std::uint8_t>(request), static_cast<std::uint16_t>(value),
                                         static_cast<std::uint16_t>(index), reinterpret_cast<unsigned char*>(bytes),
                                         static_cast<std::uint16_t>(size), static_cast<unsigned>(timeout));
  return rc < 0 ? Fail(rc) : rc;
}

static int Bulk(usb_dev_handle* dev, unsigned char endpoint, char* bytes, int size, int timeout) {
  int moved = 0;
  const int rc = libusb_bulk_transfer(Handle(dev), endpoint, reinterpret_cast<unsigned char*>(bytes), size, &moved,
                                      static_cast<unsigned>(timeout));
  if (rc == 0 || (rc == LIBUSB_ERROR_TIMEOUT && moved > 0)) return moved;
  return Fail(rc);
}

int usb_bulk_write(usb_dev_handle* dev, int ep, const char* bytes, int size, int timeout) {
  return Bulk(dev, static_cast<unsigned char>(ep & 0x7F), const_cast<char*>(bytes), size, timeout);
}

int usb_bulk_read(usb_dev_handle* dev, int ep, char* bytes, int size, int timeout) {
  return Bulk(dev, static_cast<unsigned char>(ep | 0x80), bytes, size, timeout);
}

// The FT232R has no interrupt endpoints: these move on its bulk ones, as any program that asks
// would see them do.
int usb_interrupt_write(usb_dev_handle* dev, int ep, const char* bytes, int size, int timeout) {
  return usb_bulk_write(dev, ep, bytes, size, timeout);
}

int usb_interrupt_read(usb_dev_handle* dev, int ep, char* bytes, int size, int timeout) {
  return usb_bulk_read(dev, ep, bytes, size, timeout);
}

char* usb_strerror(void) { return lastError; }

}  // extern "C"
