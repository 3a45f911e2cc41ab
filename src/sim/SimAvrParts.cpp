#include "sim/SimAvrParts.h"

#include "ini/IniFile.h"

namespace pw::sim {
namespace {

// Fuse bits that exist, per family (the names of the datasheets' fuse tables; the rest read 1).
constexpr std::array<std::uint8_t, 3> kTiny13Bits{0xFF, 0x1F, 0x00};
constexpr std::array<std::uint8_t, 3> kSelfPrgBits{0xFF, 0xFF, 0x01};
constexpr std::array<std::uint8_t, 3> kBootBits{0xFF, 0xFF, 0x07};
constexpr std::array<std::uint8_t, 3> kTwoFuseBits{0xFF, 0xFF, 0x00};
constexpr std::array<std::uint8_t, 3> kM103Bits{0xFF, 0xFF, 0x03};
constexpr std::array<std::uint8_t, 3> kU4Bits{0xFF, 0xFF, 0x0F};

// Lock bits: the lock mode alone, or with the two boot-lock fields.
constexpr std::uint8_t kModeLock = 0x03;
constexpr std::uint8_t kBootLock = 0x3F;

// Clock selection of the low fuse, per family (the datasheets' clock-source tables).
constexpr SimClockScheme kTiny13Clock{
    .CkselMask = 0x03, .Ckdiv8Bit = 4, .InternalHz = {0, 4'800'000, 9'600'000, 128'000}};
// 0001: the PLL, fed by the internal oscillator; 0011: the 6.4 MHz compatibility mode.
constexpr SimClockScheme kTinyX5Clock{.Ckdiv8Bit = 7, .InternalHz = {0, 16'000'000, 8'000'000, 6'400'000, 128'000}};
constexpr SimClockScheme kTinyX4Clock{.Ckdiv8Bit = 7, .InternalHz = {0, 0, 8'000'000, 0, 128'000}};
constexpr SimClockScheme kTiny2313Clock{.Ckdiv8Bit = 7, .InternalHz = {0, 0, 4'000'000, 0, 8'000'000, 0, 128'000}};
constexpr SimClockScheme kMegaClock{.Ckdiv8Bit = 7, .InternalHz = {0, 0, 8'000'000, 128'000}};
constexpr SimClockScheme kU4Clock{.Ckdiv8Bit = 7, .InternalHz = {0, 0, 8'000'000}};
// The RFR2 parts: 0010 the calibrated RC oscillator at 16 MHz, 0011 128 kHz.
constexpr SimClockScheme kRfr2Clock{.Ckdiv8Bit = 7, .InternalHz = {0, 0, 16'000'000, 128'000}};
// No CKDIV8; 0001..0100 the calibrated RC oscillator at 1, 2, 4 and 8 MHz.
constexpr SimClockScheme kMegaLbClock{.InternalHz = {0, 1'000'000, 2'000'000, 4'000'000, 8'000'000}};

// Write-cycle times: the longest the facts give for each part, from the datasheets' serial
// programming tables and a conservative programmer's part data.
constexpr SimAvrTimes kTiny13Times{.EraseUs = 4000, .FlashUs = 4500, .EepromUs = 4000, .FuseUs = 4500};
constexpr SimAvrTimes kTinyTimes{.EraseUs = 4500, .FlashUs = 4500, .EepromUs = 4000, .FuseUs = 9000};
constexpr SimAvrTimes kTiny2313Times{.EraseUs = 9000, .FlashUs = 4500, .EepromUs = 4000, .FuseUs = 9000};
constexpr SimAvrTimes kMega8Times{.EraseUs = 10000, .FlashUs = 4500, .EepromUs = 9000, .FuseUs = 2000};
constexpr SimAvrTimes kMega48Times{.EraseUs = 45000, .FlashUs = 4500, .EepromUs = 3600, .FuseUs = 4500};
constexpr SimAvrTimes kMegaPaTimes{.EraseUs = 9000, .FlashUs = 4500, .EepromUs = 3600, .FuseUs = 4500};
constexpr SimAvrTimes kMegaTimes{.EraseUs = 9000, .FlashUs = 4500, .EepromUs = 9000, .FuseUs = 9000};
constexpr SimAvrTimes kMega32Times{.EraseUs = 9000, .FlashUs = 4500, .EepromUs = 9000, .FuseUs = 2000};
constexpr SimAvrTimes kMega8515Times{.EraseUs = 9000, .FlashUs = 4500, .EepromUs = 9000, .FuseUs = 4500};
constexpr SimAvrTimes kMega1284Times{.EraseUs = 55000, .FlashUs = 4500, .EepromUs = 9000, .FuseUs = 9000};
constexpr SimAvrTimes kRfr2Times{.EraseUs = 18500, .FlashUs = 4500, .EepromUs = 13000, .FuseUs = 9000};

// EEPROM bytes; a page size of 0 marks the parts with byte writes only.
// clang-format off
const SimAvrPart kParts[] = {
    {.Name = "ATtiny13A",
     .Signature = {0x1E, 0x90, 0x07},
     .FlashPageWords = 16, .FlashPages = 32, .EepromBytes = 64, .EepromPageBytes = 4,
     .FactoryFuses = {0x6A, 0xFF, 0xFF}, .FuseBits = kTiny13Bits, .LockBits = kModeLock,
     .Eesave = {0, 6}, .Spien = {0, 7}, .Rstdisbl = SimFuseBit{1, 0}, .Dwen = SimFuseBit{1, 3},
     .Clock = &kTiny13Clock, .Calibration = 0x5C, .Times = kTiny13Times},
    {.Name = "ATtiny25",
     .Signature = {0x1E, 0x91, 0x08},
     .FlashPageWords = 16, .FlashPages = 64, .EepromBytes = 128, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0xDF, 0xFF}, .FuseBits = kSelfPrgBits, .LockBits = kModeLock,
     .Eesave = {1, 3}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 7}, .Dwen = SimFuseBit{1, 6},
     .Clock = &kTinyX5Clock, .Calibration = 0x8B, .Times = kTinyTimes},
    {.Name = "ATtiny45",
     .Signature = {0x1E, 0x92, 0x06},
     .FlashPageWords = 32, .FlashPages = 64, .EepromBytes = 256, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0xDF, 0xFF}, .FuseBits = kSelfPrgBits, .LockBits = kModeLock,
     .Eesave = {1, 3}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 7}, .Dwen = SimFuseBit{1, 6},
     .Clock = &kTinyX5Clock, .Calibration = 0x8E, .Times = kTinyTimes},
    {.Name = "ATtiny85",
     .Signature = {0x1E, 0x93, 0x0B},
     .FlashPageWords = 32, .FlashPages = 128, .EepromBytes = 512, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0xDF, 0xFF}, .FuseBits = kSelfPrgBits, .LockBits = kModeLock,
     .Eesave = {1, 3}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 7}, .Dwen = SimFuseBit{1, 6},
     .Clock = &kTinyX5Clock, .Calibration = 0x91, .Times = kTinyTimes},
    {.Name = "ATtiny24A",
     .Signature = {0x1E, 0x91, 0x0B},
     .FlashPageWords = 16, .FlashPages = 64, .EepromBytes = 128, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0xDF, 0xFF}, .FuseBits = kSelfPrgBits, .LockBits = kModeLock,
     .Eesave = {1, 3}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 7}, .Dwen = SimFuseBit{1, 6},
     .Clock = &kTinyX4Clock, .Calibration = 0x7F, .Times = kTinyTimes},
    {.Name = "ATtiny44A",
     .Signature = {0x1E, 0x92, 0x07},
     .FlashPageWords = 32, .FlashPages = 64, .EepromBytes = 256, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0xDF, 0xFF}, .FuseBits = kSelfPrgBits, .LockBits = kModeLock,
     .Eesave = {1, 3}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 7}, .Dwen = SimFuseBit{1, 6},
     .Clock = &kTinyX4Clock, .Calibration = 0x82, .Times = kTinyTimes},
    {.Name = "ATtiny84A",
     .Signature = {0x1E, 0x93, 0x0C},
     .FlashPageWords = 32, .FlashPages = 128, .EepromBytes = 512, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0xDF, 0xFF}, .FuseBits = kSelfPrgBits, .LockBits = kModeLock,
     .Eesave = {1, 3}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 7}, .Dwen = SimFuseBit{1, 6},
     .Clock = &kTinyX4Clock, .Calibration = 0x85, .Times = kTinyTimes},
    {.Name = "ATtiny2313A",
     .Signature = {0x1E, 0x91, 0x0A},
     .FlashPageWords = 16, .FlashPages = 64, .EepromBytes = 128, .EepromPageBytes = 4,
     .FactoryFuses = {0x64, 0xDF, 0xFF}, .FuseBits = kSelfPrgBits, .LockBits = kModeLock,
     .Eesave = {1, 6}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 0}, .Dwen = SimFuseBit{1, 7},
     .Clock = &kTiny2313Clock, .Calibration = 0x6B, .Times = kTiny2313Times},
    {.Name = "ATtiny4313",
     .Signature = {0x1E, 0x92, 0x0D},
     .FlashPageWords = 32, .FlashPages = 64, .EepromBytes = 256, .EepromPageBytes = 4,
     .FactoryFuses = {0x64, 0xDF, 0xFF}, .FuseBits = kSelfPrgBits, .LockBits = kModeLock,
     .Eesave = {1, 6}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 0}, .Dwen = SimFuseBit{1, 7},
     .Clock = &kTiny2313Clock, .Calibration = 0x6E, .Times = kTiny2313Times},
    {.Name = "ATmega8A",
     .Signature = {0x1E, 0x93, 0x07},
     .FlashPageWords = 32, .FlashPages = 128, .EepromBytes = 512, .EepromPageBytes = 0,
     .FactoryFuses = {0xE1, 0xD9, 0xFF}, .FuseBits = kTwoFuseBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 7},
     .Clock = &kMegaLbClock, .Calibration = 0xA6, .Times = kMega8Times},
    {.Name = "ATmega48PA",
     .Signature = {0x1E, 0x92, 0x0A},
     .FlashPageWords = 32, .FlashPages = 64, .EepromBytes = 256, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0xDF, 0xFF}, .FuseBits = kSelfPrgBits, .LockBits = kModeLock,
     .Eesave = {1, 3}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 7}, .Dwen = SimFuseBit{1, 6},
     .Clock = &kMegaClock, .Calibration = 0x9C, .Times = kMega48Times},
    {.Name = "ATmega88PA",
     .Signature = {0x1E, 0x93, 0x0F},
     .FlashPageWords = 32, .FlashPages = 128, .EepromBytes = 512, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0xDF, 0xF9}, .FuseBits = kBootBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 7}, .Dwen = SimFuseBit{1, 6},
     .Clock = &kMegaClock, .Calibration = 0x9D, .Times = kMegaPaTimes},
    {.Name = "ATmega168PA",
     .Signature = {0x1E, 0x94, 0x0B},
     .FlashPageWords = 64, .FlashPages = 128, .EepromBytes = 512, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0xDF, 0xF9}, .FuseBits = kBootBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 7}, .Dwen = SimFuseBit{1, 6},
     .Clock = &kMegaClock, .Calibration = 0x9E, .Times = kMegaPaTimes},
    {.Name = "ATmega328P",
     .Signature = {0x1E, 0x95, 0x0F},
     .FlashPageWords = 64, .FlashPages = 256, .EepromBytes = 1024, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0xD9, 0xFF}, .FuseBits = kBootBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5}, .Rstdisbl = SimFuseBit{1, 7}, .Dwen = SimFuseBit{1, 6},
     .Clock = &kMegaClock, .Calibration = 0x9F, .Times = kMegaPaTimes},
    {.Name = "ATmega16A",
     .Signature = {0x1E, 0x94, 0x03},
     .FlashPageWords = 64, .FlashPages = 128, .EepromBytes = 512, .EepromPageBytes = 4,
     .FactoryFuses = {0xE1, 0x99, 0xFF}, .FuseBits = kTwoFuseBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaLbClock, .Calibration = 0xA8, .Times = kMegaTimes},
    {.Name = "ATmega32A",
     .Signature = {0x1E, 0x95, 0x02},
     .FlashPageWords = 64, .FlashPages = 256, .EepromBytes = 1024, .EepromPageBytes = 4,
     .FactoryFuses = {0xE1, 0x99, 0xFF}, .FuseBits = kTwoFuseBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaLbClock, .Calibration = 0xA9, .Times = kMega32Times},
    {.Name = "ATmega64A",
     .Signature = {0x1E, 0x96, 0x02},
     .FlashPageWords = 128, .FlashPages = 256, .EepromBytes = 2048, .EepromPageBytes = 0,
     .FactoryFuses = {0xE1, 0x99, 0xFD}, .FuseBits = kM103Bits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaLbClock, .Calibration = 0xAA, .Times = kMegaTimes},
    {.Name = "ATmega128A",
     .Signature = {0x1E, 0x97, 0x02},
     .FlashPageWords = 128, .FlashPages = 512, .EepromBytes = 4096, .EepromPageBytes = 0,
     .FactoryFuses = {0xE1, 0x99, 0xFD}, .FuseBits = kM103Bits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaLbClock, .Calibration = 0xAB, .Times = kMegaTimes},
    {.Name = "ATmega164PA",
     .Signature = {0x1E, 0x94, 0x0A},
     .FlashPageWords = 64, .FlashPages = 128, .EepromBytes = 512, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0x99, 0xFF}, .FuseBits = kBootBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaClock, .Calibration = 0xB0, .Times = kMega1284Times},
    {.Name = "ATmega324PA",
     .Signature = {0x1E, 0x95, 0x11},
     .FlashPageWords = 64, .FlashPages = 256, .EepromBytes = 1024, .EepromPageBytes = 4,
     .FactoryFuses = {0x62, 0x99, 0xFF}, .FuseBits = kBootBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaClock, .Calibration = 0xB1, .Times = kMega1284Times},
    {.Name = "ATmega644PA",
     .Signature = {0x1E, 0x96, 0x0A},
     .FlashPageWords = 128, .FlashPages = 256, .EepromBytes = 2048, .EepromPageBytes = 8,
     .FactoryFuses = {0x62, 0x99, 0xFF}, .FuseBits = kBootBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaClock, .Calibration = 0xB2, .Times = kMega1284Times},
    {.Name = "ATmega1284P",
     .Signature = {0x1E, 0x97, 0x05},
     .FlashPageWords = 128, .FlashPages = 512, .EepromBytes = 4096, .EepromPageBytes = 8,
     .FactoryFuses = {0x62, 0x99, 0xFF}, .FuseBits = kBootBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaClock, .Calibration = 0xB3, .Times = kMega1284Times},
    {.Name = "ATmega8515",
     .Signature = {0x1E, 0x93, 0x06},
     .FlashPageWords = 32, .FlashPages = 128, .EepromBytes = 512, .EepromPageBytes = 0,
     .FactoryFuses = {0xE1, 0xD9, 0xFF}, .FuseBits = kTwoFuseBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaLbClock, .Calibration = 0xA4, .Times = kMega8515Times},
    {.Name = "ATmega8535",
     .Signature = {0x1E, 0x93, 0x08},
     .FlashPageWords = 32, .FlashPages = 128, .EepromBytes = 512, .EepromPageBytes = 0,
     .FactoryFuses = {0xE1, 0xD9, 0xFF}, .FuseBits = kTwoFuseBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaLbClock, .Calibration = 0xA5, .Times = kMega32Times},
    {.Name = "ATmega32U4",
     .Signature = {0x1E, 0x95, 0x87},
     .FlashPageWords = 64, .FlashPages = 256, .EepromBytes = 1024, .EepromPageBytes = 4,
     .FactoryFuses = {0x5E, 0x99, 0xF3}, .FuseBits = kU4Bits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kU4Clock, .Calibration = 0xB8, .Times = kMegaTimes},
    {.Name = "ATmega2560",
     .Signature = {0x1E, 0x98, 0x01},
     .FlashPageWords = 128, .FlashPages = 1024, .EepromBytes = 4096, .EepromPageBytes = 8,
     .FactoryFuses = {0x62, 0x99, 0xFF}, .FuseBits = kBootBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaClock, .Calibration = 0xBA, .Times = kMegaTimes},
    {.Name = "ATmega2561",
     .Signature = {0x1E, 0x98, 0x02},
     .FlashPageWords = 128, .FlashPages = 1024, .EepromBytes = 4096, .EepromPageBytes = 8,
     .FactoryFuses = {0x62, 0x99, 0xFF}, .FuseBits = kBootBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kMegaClock, .Calibration = 0xB7, .Times = kMegaTimes},
    {.Name = "ATmega256RFR2",
     .Signature = {0x1E, 0xA8, 0x02},
     .FlashPageWords = 128, .FlashPages = 1024, .EepromBytes = 8192, .EepromPageBytes = 8,
     .FactoryFuses = {0x62, 0x99, 0xFE}, .FuseBits = kBootBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kRfr2Clock, .Calibration = 0x9C, .Times = kRfr2Times},
    {.Name = "ATmega2564RFR2",
     .Signature = {0x1E, 0xA8, 0x03},
     .FlashPageWords = 128, .FlashPages = 1024, .EepromBytes = 8192, .EepromPageBytes = 8,
     .FactoryFuses = {0x62, 0x99, 0xFE}, .FuseBits = kBootBits, .LockBits = kBootLock,
     .Eesave = {1, 3}, .Spien = {1, 5},
     .Clock = &kRfr2Clock, .Calibration = 0x9E, .Times = kRfr2Times},
};
// clang-format on

}  // namespace

std::span<const SimAvrPart> SimAvrParts() { return kParts; }

const SimAvrPart* FindSimAvrPart(std::string_view name) {
  for (const SimAvrPart& part : kParts) {
    if (SameName(part.Name, name)) return &part;
  }
  return nullptr;
}

std::uint32_t SimCpuClockHz(const SimAvrPart& part, const std::array<std::uint8_t, 3>& fuses,
                            std::uint32_t externalHz) {
  const SimClockScheme& clock = *part.Clock;
  const std::uint32_t internal = clock.InternalHz[fuses[0] & clock.CkselMask];
  const std::uint32_t hz = internal != 0 ? internal : externalHz;
  const bool divided = clock.Ckdiv8Bit && ((fuses[0] >> *clock.Ckdiv8Bit) & 1) == 0;
  return divided ? hz / 8 : hz;
}

}  // namespace pw::sim
