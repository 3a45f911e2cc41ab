#include "d2xx/FtEepromImage.h"

#include <cstring>

namespace pw {
namespace {

constexpr int kManufacturerPtr = 0x0E;
constexpr int kDescriptionPtr = 0x10;
constexpr int kSerialPtr = 0x12;
constexpr int kStringStart = 0x18;
constexpr int kStringEnd = kStringStart + 96;
constexpr int kChecksumAt = 0x7E;

// Byte 0x00 and 0x0A flag bits. On the FT232R bit 3 of byte 0 set means the D2XX driver
// (on FTDI's other chips the same bit asks for the VCP driver).
constexpr std::uint8_t kExtOsc = 0x02;
constexpr std::uint8_t kHighCurrent = 0x04;
constexpr std::uint8_t kD2xx = 0x08;
constexpr std::uint8_t kPullDown = 0x04;
constexpr std::uint8_t kSerialEnable = 0x08;
constexpr std::uint8_t kUseUsbVersion = 0x10;
// Byte 0x08: USB configuration attributes.
constexpr std::uint8_t kBusPowered = 0x80;
constexpr std::uint8_t kSelfPowered = 0x40;
constexpr std::uint8_t kRemoteWakeup = 0x20;

// D2XX writes a legacy plug-and-play entry after the strings: 02 03, then 0 with PnP on.
constexpr int kPnpSize = 3;
// The configuration descriptor's power is in 2 mA units, one byte.
constexpr std::uint16_t kMaxPowerLimit = 2 * 0xFF;

void Put16(FtEepromImage& image, int at, std::uint16_t v) {
  image[at] = static_cast<std::uint8_t>(v & 0xFF);
  image[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint16_t Get16(const FtEepromImage& image, int at) {
  return static_cast<std::uint16_t>(image[at] | (image[at + 1] << 8));
}

// Writes text as a USB string descriptor at `at`; returns the offset after it or -1 when it
// does not fit the string space.
int PutString(FtEepromImage& image, int pointerOffset, int at, const std::string& text) {
  const int length = 2 + 2 * static_cast<int>(text.size());
  if (length > 0xFF || at + length > kStringEnd) return -1;
  image[pointerOffset] = static_cast<std::uint8_t>(0x80 | at);
  image[pointerOffset + 1] = static_cast<std::uint8_t>(length);
  image[at] = static_cast<std::uint8_t>(length);
  image[at + 1] = 0x03;
  for (std::size_t i = 0; i < text.size(); ++i) {
    image[at + 2 + 2 * i] = static_cast<std::uint8_t>(text[i]);
    image[at + 3 + 2 * i] = 0;
  }
  return at + length;
}

void CopyText(char* dest, std::size_t size, const std::string& text) {
  const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
}

std::string TextOf(const char* p, std::size_t size) { return std::string(p, strnlen(p, size)); }

std::uint8_t Flag(bool on, std::uint8_t bit) { return on ? bit : 0; }

}  // namespace

std::uint16_t FtEepromChecksum(const FtEepromImage& image) {
  std::uint16_t c = 0xAAAA;
  for (int word = 0; word < 0x3F; ++word) {
    c ^= Get16(image, 2 * word);
    c = static_cast<std::uint16_t>((c << 1) | (c >> 15));
  }
  return c;
}

bool FtEepromChecksumMatches(const FtEepromImage& image) {
  return Get16(image, kChecksumAt) == FtEepromChecksum(image);
}

std::uint16_t FtEepromWord(const FtEepromImage& image, int index) { return Get16(image, 2 * index); }

std::string FtEepromString(const FtEepromImage& image, int pointerOffset) {
  const int at = image[pointerOffset] & 0x7F;
  const int length = image[pointerOffset + 1];
  std::string text;
  for (int i = 2; i + 1 < length && at + i < 128; i += 2) text.push_back(static_cast<char>(image[at + i]));
  return text;
}

namespace {

/// The settings an FT232R leaves the factory with, its texts aside.
FT_PROGRAM_DATA FactorySettings() {
  FT_PROGRAM_DATA d{};
  d.Signature2 = 0xFFFFFFFF;
  d.Version = 2;
  d.VendorId = 0x0403;
  d.ProductId = 0x6001;
  d.MaxPower = 90;
  d.PnP = 1;
  d.RemoteWakeup = 1;
  d.USBVersion = 0x0200;
  d.EndpointSize = 0x40;
  d.SerNumEnableR = 1;
  d.Cbus0 = 3;  // TXLED
  d.Cbus1 = 2;  // RXLED
  d.Cbus2 = 0;  // TXDEN
  d.Cbus3 = 1;  // PWRON
  d.Cbus4 = 5;  // SLEEP
  return d;
}

}  // namespace

FtEepromImage FactoryFtEeprom(const std::string& description, const std::string& serial) {
  std::string manufacturer = "FTDI";
  std::string texts[] = {description, serial};
  FT_PROGRAM_DATA d = FactorySettings();
  d.Manufacturer = manufacturer.data();
  d.ManufacturerId = manufacturer.data();
  d.Description = texts[0].data();
  d.SerialNumber = texts[1].data();
  FtEepromImage image{};
  // A description too long for the string space is shortened, as a factory would never ship it.
  while (EncodeFtEeprom(d, image) != FT_OK && !texts[0].empty()) {
    texts[0].pop_back();
    d.Description = texts[0].data();
  }
  return image;
}

namespace {

bool PnpEntryOff(const FtEepromImage& image) {
  if (!(image[kSerialPtr] & 0x80)) return false;
  const int at = (image[kSerialPtr] & 0x7F) + image[kSerialPtr + 1];
  return at + kPnpSize <= kChecksumAt && image[at] == 0x02 && image[at + 1] == 0x03 && image[at + 2] == 0x01;
}

/// The record's texts; its manufacturer ID is the serial number's first two letters.
void DecodeTexts(const FtEepromImage& image, FT_PROGRAM_DATA& d) {
  const std::string serial = FtEepromString(image, kSerialPtr);
  CopyText(d.Manufacturer, kFtManufacturerSize, FtEepromString(image, kManufacturerPtr));
  CopyText(d.ManufacturerId, kFtManufacturerIdSize, serial.substr(0, 2));
  CopyText(d.Description, kFtDescriptionSize, FtEepromString(image, kDescriptionPtr));
  CopyText(d.SerialNumber, kFtSerialNumberSize, serial);
}

/// The pins' settings: which lines are inverted and what the CBUS pins do.
void DecodePins(const FtEepromImage& image, FT_PROGRAM_DATA& d) {
  std::uint8_t* invert[] = {&d.InvertTXD, &d.InvertRXD, &d.InvertRTS, &d.InvertCTS,
                            &d.InvertDTR, &d.InvertDSR, &d.InvertDCD, &d.InvertRI};
  for (int bit = 0; bit < 8; ++bit) *invert[bit] = (image[0x0B] >> bit) & 1;
  d.Cbus0 = image[0x14] & 0x0F;
  d.Cbus1 = image[0x14] >> 4;
  d.Cbus2 = image[0x15] & 0x0F;
  d.Cbus3 = image[0x15] >> 4;
  d.Cbus4 = image[0x16];
}

}  // namespace

FT_STATUS DecodeFtEeprom(const FtEepromImage& image, FT_PROGRAM_DATA& d) {
  if (!d.Manufacturer || !d.ManufacturerId || !d.Description || !d.SerialNumber) return FT_INVALID_PARAMETER;
  d.VendorId = Get16(image, 0x02);
  d.ProductId = Get16(image, 0x04);
  DecodeTexts(image, d);
  d.MaxPower = static_cast<std::uint16_t>(image[0x09] * 2);
  d.PnP = PnpEntryOff(image) ? 0 : 1;
  d.SelfPowered = (image[0x08] & kSelfPowered) ? 1 : 0;
  d.RemoteWakeup = (image[0x08] & kRemoteWakeup) ? 1 : 0;
  d.USBVersionEnable = (image[0x0A] & kUseUsbVersion) ? 1 : 0;
  d.USBVersion = Get16(image, 0x0C);
  d.UseExtOsc = (image[0x00] & kExtOsc) ? 1 : 0;
  d.HighDriveIOs = (image[0x00] & kHighCurrent) ? 1 : 0;
  d.EndpointSize = image[0x01];
  d.PullDownEnableR = (image[0x0A] & kPullDown) ? 1 : 0;
  d.SerNumEnableR = (image[0x0A] & kSerialEnable) ? 1 : 0;
  DecodePins(image, d);
  d.RIsD2XX = (image[0x00] & kD2xx) ? 1 : 0;
  return FtEepromChecksumMatches(image) ? FT_OK : FT_EEPROM_NOT_PROGRAMMED;
}

FT_STATUS EncodeFtEeprom(const FT_PROGRAM_DATA& d, FtEepromImage& out) {
  if (!d.Manufacturer || !d.Description || !d.SerialNumber || d.MaxPower > kMaxPowerLimit) return FT_INVALID_PARAMETER;
  FtEepromImage image{};
  image[0x00] = Flag(d.UseExtOsc, kExtOsc) | Flag(d.HighDriveIOs, kHighCurrent) | Flag(d.RIsD2XX, kD2xx);
  image[0x01] = 0x40;
  Put16(image, 0x02, d.VendorId);
  Put16(image, 0x04, d.ProductId);
  Put16(image, 0x06, 0x0600);
  image[0x08] = kBusPowered | Flag(d.SelfPowered, kSelfPowered) | Flag(d.RemoteWakeup, kRemoteWakeup);
  image[0x09] = static_cast<std::uint8_t>(d.MaxPower / 2);
  image[0x0A] = Flag(d.PullDownEnableR, kPullDown) | Flag(d.SerNumEnableR, kSerialEnable) |
                Flag(d.USBVersionEnable, kUseUsbVersion);
  const std::uint8_t invert[] = {d.InvertTXD, d.InvertRXD, d.InvertRTS, d.InvertCTS,
                                 d.InvertDTR, d.InvertDSR, d.InvertDCD, d.InvertRI};
  for (int bit = 0; bit < 8; ++bit) image[0x0B] |= Flag(invert[bit], static_cast<std::uint8_t>(1 << bit));
  Put16(image, 0x0C, d.USBVersion);
  int at = PutString(image, kManufacturerPtr, kStringStart, TextOf(d.Manufacturer, kFtManufacturerSize));
  if (at >= 0) at = PutString(image, kDescriptionPtr, at, TextOf(d.Description, kFtDescriptionSize));
  if (at >= 0) at = PutString(image, kSerialPtr, at, TextOf(d.SerialNumber, kFtSerialNumberSize));
  if (at < 0) return FT_INVALID_PARAMETER;
  image[at] = 0x02;
  image[at + 1] = 0x03;
  image[at + 2] = d.PnP ? 0x00 : 0x01;
  image[0x14] = static_cast<std::uint8_t>((d.Cbus0 & 0x0F) | ((d.Cbus1 & 0x0F) << 4));
  image[0x15] = static_cast<std::uint8_t>((d.Cbus2 & 0x0F) | ((d.Cbus3 & 0x0F) << 4));
  image[0x16] = static_cast<std::uint8_t>(d.Cbus4 & 0x0F);
  Put16(image, kChecksumAt, FtEepromChecksum(image));
  out = image;
  return FT_OK;
}

}  // namespace pw
