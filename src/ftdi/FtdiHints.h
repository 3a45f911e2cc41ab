#pragma once
/// @file
/// Plain advice for a person whose programmer could not be found or opened.

#include <string>

namespace pw::ftdi {

/// The udev rule that gives the person at the desk and members of plugdev access to FT232R
/// programmers; data/60-pinwright-ft232r.rules holds the same line.
extern const char* const kUdevRule;

/// No FT232R (or none with the serial asked for) on the bus; found counts all FT232Rs.
std::string NoProgrammerHint(const std::string& serial, int found);
/// libusb_open failed with libusbError for the device at bus/address.
std::string OpenFailureHint(int libusbError, int bus, int address);
/// The USB system itself failed (no libusb, no /dev/bus/usb).
std::string UsbSystemHint(const std::string& report);

}  // namespace pw::ftdi
