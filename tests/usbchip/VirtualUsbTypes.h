#pragma once
/// @file
/// libusb's opaque types as the virtual bus fills them in.

#include "VirtualBus.h"

struct libusb_context {
  int Unused = 0;
};

struct libusb_device {
  pw::usbchip::VirtualChip* Chip = nullptr;
  int Address = 0;
};

struct libusb_device_handle {
  libusb_device* Device = nullptr;
  bool Claimed = false;
};
