#include "sim/SimAvrParts.h"

// The catalogue of simulated AVR parts, from each part's datasheet facts.

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
// 0001: the PLL fed by the internal oscillator, 16 MHz.
constexpr SimClockScheme kTinyX61Clock{.Ckdiv8Bit = 7, .InternalHz = {0, 16'000'000, 8'000'000, 128'000}};
// 0100: the 32 kHz ultra-low-power oscillator.
constexpr SimClockScheme kUlpClock{.Ckdiv8Bit = 7, .InternalHz = {0, 0, 8'000'000, 0, 32'000}};
constexpr SimClockScheme kTiny828Clock{.CkselMask = 0x03, .Ckdiv8Bit = 7, .InternalHz = {0, 0, 8'000'000, 32'000}};
// 0011: the PLL fed by the internal oscillator, divided by 4.
constexpr SimClockScheme kPwmClock{.Ckdiv8Bit = 7, .InternalHz = {0, 0, 8'000'000, 16'000'000}};
constexpr SimClockScheme kRfClock{.Ckdiv8Bit = 7, .InternalHz = {0, 0, 16'000'000, 128'000}};
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

/// Where the fuses that matter to serial programming are.
struct SimFusePlaces {
  SimFuseBit Eesave;
  SimFuseBit Spien;
  std::optional<SimFuseBit> Rstdisbl;
  std::optional<SimFuseBit> Dwen;
};

/// What the parts of one family share; each row of the table adds a part's own signature,
/// geometry and calibration byte.
struct SimAvrTraits {
  std::array<std::uint8_t, 3> FactoryFuses;
  std::array<std::uint8_t, 3> FuseBits;
  std::uint8_t LockBits;
  const SimFusePlaces& Places;
  const SimClockScheme* Clock;
  SimAvrTimes Times;
};

constexpr SimAvrPart Part(std::string_view name, std::array<std::uint8_t, 3> signature, std::uint32_t pageWords,
                          std::uint32_t pages, std::uint32_t eepromBytes, std::uint32_t eepromPageBytes,
                          std::uint8_t calibration, const SimAvrTraits& t) {
  return {.Name = name,
          .Signature = signature,
          .FlashPageWords = pageWords,
          .FlashPages = pages,
          .EepromBytes = eepromBytes,
          .EepromPageBytes = eepromPageBytes,
          .FactoryFuses = t.FactoryFuses,
          .FuseBits = t.FuseBits,
          .LockBits = t.LockBits,
          .Eesave = t.Places.Eesave,
          .Spien = t.Places.Spien,
          .Rstdisbl = t.Places.Rstdisbl,
          .Dwen = t.Places.Dwen,
          .Clock = t.Clock,
          .Calibration = calibration,
          .Times = t.Times};
}

// EESAVE, SPIEN, RSTDISBL and DWEN by fuse layout: the ATtiny26's; EESAVE, SPIEN, then DWEN and
// RSTDISBL at the top of the high fuse; the USB parts' RSTDISBL below DWEN; the JTAG parts
// without either; the LCD parts' RSTDISBL in the extended fuse.
constexpr SimFusePlaces kTiny26Places{{1, 2}, {1, 3}, SimFuseBit{1, 4}, std::nullopt};
constexpr SimFusePlaces kDebugWirePlaces{{1, 3}, {1, 5}, SimFuseBit{1, 7}, SimFuseBit{1, 6}};
constexpr SimFusePlaces kUsbDebugWirePlaces{{1, 3}, {1, 5}, SimFuseBit{1, 6}, SimFuseBit{1, 7}};
constexpr SimFusePlaces kJtagPlaces{{1, 3}, {1, 5}, std::nullopt, std::nullopt};
constexpr SimFusePlaces kLcdPlaces{{1, 3}, {1, 5}, SimFuseBit{2, 0}, std::nullopt};

// Write times of the families the parts above do not already share.
constexpr SimAvrTimes kTiny48Times{.EraseUs = 15000, .FlashUs = 4500, .EepromUs = 3600, .FuseUs = 4500};
constexpr SimAvrTimes kTiny43UTimes{.EraseUs = 1000, .FlashUs = 4500, .EepromUs = 4500, .FuseUs = 4500};
constexpr SimAvrTimes kMega48PBTimes{.EraseUs = 10500, .FlashUs = 4500, .EepromUs = 3600, .FuseUs = 4500};
constexpr SimAvrTimes kTiny441Times{.EraseUs = 4500, .FlashUs = 4500, .EepromUs = 4500, .FuseUs = 9000};
constexpr SimAvrTimes kAt90Pwm2Times{.EraseUs = 9000, .FlashUs = 4500, .EepromUs = 4500, .FuseUs = 9000};
constexpr SimAvrTimes kTiny87Times{.EraseUs = 15000, .FlashUs = 4500, .EepromUs = 4500, .FuseUs = 9000};
constexpr SimAvrTimes kMega162Times{.EraseUs = 9000, .FlashUs = 4500, .EepromUs = 9000, .FuseUs = 16000};
constexpr SimAvrTimes kMega64Rfr2Times{.EraseUs = 55000, .FlashUs = 50000, .EepromUs = 13000, .FuseUs = 9000};
constexpr SimAvrTimes kMega128Rfa1Times{.EraseUs = 55000, .FlashUs = 50000, .EepromUs = 9000, .FuseUs = 9000};
constexpr SimAvrTimes kMega256Rfr2Times{.EraseUs = 18500, .FlashUs = 4500, .EepromUs = 13000, .FuseUs = 9000};

// Families by their datasheets' fuse tables (avr-libc's fuse names and factory values) and the
// write times a conservative programmer's part data gives.
// clang-format off
constexpr SimAvrTraits kTiny26Traits{{0xE1, 0xF7, 0xFF}, kTiny13Bits, kModeLock, kTiny26Places, &kMegaLbClock, kMegaTimes};
constexpr SimAvrTraits kTiny261ATraits{{0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, kDebugWirePlaces, &kTinyX61Clock, kTiny13Times};
constexpr SimAvrTraits kMega48ATraits{{0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, kDebugWirePlaces, &kMegaClock, kMega48Times};
constexpr SimAvrTraits kTiny48Traits{{0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, kDebugWirePlaces, &kMegaClock, kTiny48Times};
constexpr SimAvrTraits kTiny43UTraits{{0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, kDebugWirePlaces, &kMegaClock, kTiny43UTimes};
constexpr SimAvrTraits kMega48PBTraits{{0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, kDebugWirePlaces, &kMegaClock, kMega48PBTimes};
constexpr SimAvrTraits kTiny441Traits{{0x62, 0xDF, 0xFF}, {0xDF, 0xFF, 0xFF}, kModeLock, kDebugWirePlaces, &kUlpClock, kTiny441Times};
constexpr SimAvrTraits kMega88ATraits{{0x62, 0xDF, 0xF9}, kBootBits, kBootLock, kDebugWirePlaces, &kMegaClock, kMegaPaTimes};
constexpr SimAvrTraits kTiny88Traits{{0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, kDebugWirePlaces, &kMegaClock, kMegaPaTimes};
constexpr SimAvrTraits kTiny828Traits{{0x6E, 0xDF, 0xFF}, {0xF3, 0xFF, 0xF7}, kBootLock, kDebugWirePlaces, &kTiny828Clock, kTiny48Times};
constexpr SimAvrTraits kMega88PBTraits{{0x62, 0xDF, 0xF9}, kBootBits, kBootLock, kDebugWirePlaces, &kMegaClock, kMega48PBTimes};
constexpr SimAvrTraits kAt90Pwm2Traits{{0x62, 0xDF, 0xF9}, {0xFF, 0xFF, 0xF7}, kBootLock, kDebugWirePlaces, &kPwmClock, kAt90Pwm2Times};
constexpr SimAvrTraits kAt90Usb82Traits{{0x5E, 0xD9, 0xF4}, kU4Bits, kBootLock, kUsbDebugWirePlaces, &kU4Clock, kMegaTimes};
constexpr SimAvrTraits kTiny87Traits{{0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, kDebugWirePlaces, &kMegaClock, kTiny87Times};
constexpr SimAvrTraits kMega8U2Traits{{0x41, 0xD9, 0xFF}, kU4Bits, kBootLock, kUsbDebugWirePlaces, &kU4Clock, kMegaTimes};
constexpr SimAvrTraits kMega162Traits{{0x62, 0x99, 0xFF}, {0xFF, 0xFF, 0x1E}, kBootLock, kJtagPlaces, &kU4Clock, kMega162Times};
constexpr SimAvrTraits kMega169PATraits{{0x62, 0x99, 0xFF}, kU4Bits, kBootLock, kLcdPlaces, &kU4Clock, kMega32Times};
constexpr SimAvrTraits kMega165PATraits{{0x62, 0x99, 0xFF}, kU4Bits, kBootLock, kLcdPlaces, &kU4Clock, kMegaPaTimes};
constexpr SimAvrTraits kMega164ATraits{{0x42, 0x99, 0xFF}, kBootBits, kBootLock, kJtagPlaces, &kMegaClock, kMega1284Times};
constexpr SimAvrTraits kMega169ATraits{{0x62, 0x99, 0xFF}, {0xFF, 0xFF, 0x0E}, kBootLock, kJtagPlaces, &kU4Clock, kMega32Times};
constexpr SimAvrTraits kTiny1634Traits{{0x62, 0xDF, 0xFF}, {0xDF, 0xFF, 0x1F}, kModeLock, kDebugWirePlaces, &kUlpClock, kMegaPaTimes};
constexpr SimAvrTraits kMega16U4Traits{{0x41, 0x99, 0xFF}, kU4Bits, kBootLock, kJtagPlaces, &kU4Clock, kMegaTimes};
constexpr SimAvrTraits kMega329ATraits{{0x62, 0x99, 0xFF}, kBootBits, kBootLock, kLcdPlaces, &kU4Clock, kMega8515Times};
constexpr SimAvrTraits kMega325ATraits{{0x62, 0x99, 0xFF}, kBootBits, kBootLock, kLcdPlaces, &kU4Clock, kMegaTimes};
constexpr SimAvrTraits kMega324PTraits{{0x62, 0x99, 0xFF}, kBootBits, kBootLock, kJtagPlaces, &kMegaClock, kMega1284Times};
constexpr SimAvrTraits kMega328Traits{{0x62, 0xD9, 0xFF}, kBootBits, kBootLock, kDebugWirePlaces, &kMegaClock, kMegaPaTimes};
constexpr SimAvrTraits kMega328PBTraits{{0x62, 0xD9, 0xFF}, kU4Bits, kBootLock, kDebugWirePlaces, &kMegaClock, kMega48PBTimes};
constexpr SimAvrTraits kMega324PBTraits{{0x42, 0x99, 0xFF}, kU4Bits, kBootLock, kJtagPlaces, &kMegaClock, kMega1284Times};
constexpr SimAvrTraits kAt90Can32Traits{{0x62, 0x99, 0xFF}, {0xFF, 0xFF, 0x0E}, kBootLock, kJtagPlaces, &kU4Clock, kMegaTimes};
constexpr SimAvrTraits kMega32M1Traits{{0x41, 0xD9, 0xF9}, {0xFF, 0xFF, 0x3F}, kBootLock, kDebugWirePlaces, &kPwmClock, kMegaPaTimes};
constexpr SimAvrTraits kMega640Traits{{0x62, 0x99, 0xFF}, kBootBits, kBootLock, kJtagPlaces, &kMegaClock, kMegaTimes};
constexpr SimAvrTraits kMega649PTraits{{0x62, 0x99, 0xFF}, {0xFF, 0xFF, 0x06}, kBootLock, kJtagPlaces, &kU4Clock, kMega8515Times};
constexpr SimAvrTraits kAt90Usb646Traits{{0x62, 0x99, 0xF3}, kU4Bits, kBootLock, kJtagPlaces, &kU4Clock, kMegaTimes};
constexpr SimAvrTraits kMega64Rfr2Traits{{0x62, 0x99, 0xFE}, kBootBits, kBootLock, kJtagPlaces, &kRfClock, kMega64Rfr2Times};
constexpr SimAvrTraits kMega128Rfa1Traits{{0x42, 0x99, 0xFF}, kBootBits, kBootLock, kJtagPlaces, &kRfClock, kMega128Rfa1Times};
constexpr SimAvrTraits kMega128Rfr2Traits{{0x62, 0x99, 0xFE}, kBootBits, kBootLock, kJtagPlaces, &kRfClock, kMega128Rfa1Times};
constexpr SimAvrTraits kMega2560Traits{{0x62, 0x99, 0xFF}, kBootBits, kBootLock, kJtagPlaces, &kMegaClock, kMegaTimes};
constexpr SimAvrTraits kMega256Rfr2Traits{{0x62, 0x99, 0xFE}, kBootBits, kBootLock, kJtagPlaces, &kRfClock, kMega256Rfr2Times};
// clang-format on

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
    // name, signature, flash page words and pages, EEPROM bytes and page bytes, calibration, family
    Part("ATtiny26", {0x1E, 0x91, 0x09}, 16, 64, 128, 0, 0x60, kTiny26Traits),
    Part("ATtiny261A", {0x1E, 0x91, 0x0C}, 16, 64, 128, 4, 0x61, kTiny261ATraits),
    Part("ATmega48A", {0x1E, 0x92, 0x05}, 32, 64, 256, 4, 0x62, kMega48ATraits),
    Part("ATtiny461A", {0x1E, 0x92, 0x08}, 32, 64, 256, 4, 0x63, kTiny261ATraits),
    Part("ATtiny48", {0x1E, 0x92, 0x09}, 32, 64, 64, 4, 0x64, kTiny48Traits),
    Part("ATtiny43U", {0x1E, 0x92, 0x0C}, 32, 64, 64, 4, 0x65, kTiny43UTraits),
    Part("ATmega48PB", {0x1E, 0x92, 0x10}, 32, 64, 256, 4, 0x66, kMega48PBTraits),
    Part("ATtiny441", {0x1E, 0x92, 0x15}, 8, 256, 256, 4, 0x67, kTiny441Traits),
    Part("ATmega88A", {0x1E, 0x93, 0x0A}, 32, 128, 512, 4, 0x68, kMega88ATraits),
    Part("ATtiny861A", {0x1E, 0x93, 0x0D}, 32, 128, 512, 4, 0x69, kTiny261ATraits),
    Part("ATtiny88", {0x1E, 0x93, 0x11}, 32, 128, 64, 4, 0x6A, kTiny88Traits),
    Part("ATtiny828", {0x1E, 0x93, 0x14}, 32, 128, 256, 4, 0x6B, kTiny828Traits),
    Part("ATtiny841", {0x1E, 0x93, 0x15}, 8, 512, 512, 4, 0x6C, kTiny441Traits),
    Part("ATmega88PB", {0x1E, 0x93, 0x16}, 32, 128, 512, 4, 0x6D, kMega88PBTraits),
    Part("AT90PWM2", {0x1E, 0x93, 0x81}, 32, 128, 512, 4, 0x6E, kAt90Pwm2Traits),
    Part("AT90USB82", {0x1E, 0x93, 0x82}, 64, 64, 512, 4, 0x6F, kAt90Usb82Traits),
    Part("AT90PWM2B", {0x1E, 0x93, 0x83}, 32, 128, 512, 4, 0x70, kAt90Pwm2Traits),
    Part("ATtiny87", {0x1E, 0x93, 0x87}, 64, 64, 512, 4, 0x71, kTiny87Traits),
    Part("ATmega8U2", {0x1E, 0x93, 0x89}, 64, 64, 512, 4, 0x72, kMega8U2Traits),
    Part("ATmega162", {0x1E, 0x94, 0x04}, 64, 128, 512, 4, 0x73, kMega162Traits),
    Part("ATmega169PA", {0x1E, 0x94, 0x05}, 64, 128, 512, 4, 0x74, kMega169PATraits),
    Part("ATmega168A", {0x1E, 0x94, 0x06}, 64, 128, 512, 4, 0x75, kMega88ATraits),
    Part("ATmega165PA", {0x1E, 0x94, 0x07}, 64, 128, 512, 4, 0x76, kMega165PATraits),
    Part("ATmega164A", {0x1E, 0x94, 0x0F}, 64, 128, 512, 4, 0x77, kMega164ATraits),
    Part("ATmega165A", {0x1E, 0x94, 0x10}, 64, 128, 512, 4, 0x78, kMega165PATraits),
    Part("ATmega169A", {0x1E, 0x94, 0x11}, 64, 128, 512, 4, 0x79, kMega169ATraits),
    Part("ATtiny1634", {0x1E, 0x94, 0x12}, 16, 512, 256, 4, 0x7A, kTiny1634Traits),
    Part("ATmega168PB", {0x1E, 0x94, 0x15}, 64, 128, 512, 4, 0x7B, kMega88PBTraits),
    Part("AT90USB162", {0x1E, 0x94, 0x82}, 64, 128, 512, 4, 0x7C, kAt90Usb82Traits),
    Part("AT90PWM216", {0x1E, 0x94, 0x83}, 64, 128, 512, 4, 0x7D, kAt90Pwm2Traits),
    Part("ATtiny167", {0x1E, 0x94, 0x87}, 64, 128, 512, 4, 0x7E, kTiny87Traits),
    Part("ATmega16U4", {0x1E, 0x94, 0x88}, 64, 128, 512, 4, 0x7F, kMega16U4Traits),
    Part("ATmega16U2", {0x1E, 0x94, 0x89}, 64, 128, 512, 4, 0x80, kMega8U2Traits),
    Part("ATmega329A", {0x1E, 0x95, 0x03}, 64, 256, 1024, 4, 0x81, kMega329ATraits),
    Part("ATmega3290A", {0x1E, 0x95, 0x04}, 64, 256, 1024, 4, 0x82, kMega329ATraits),
    Part("ATmega325A", {0x1E, 0x95, 0x05}, 64, 256, 1024, 4, 0x83, kMega325ATraits),
    Part("ATmega3250A", {0x1E, 0x95, 0x06}, 64, 256, 1024, 4, 0x84, kMega325ATraits),
    Part("ATmega324P", {0x1E, 0x95, 0x08}, 64, 256, 1024, 4, 0x85, kMega324PTraits),
    Part("ATmega329PA", {0x1E, 0x95, 0x0B}, 64, 256, 1024, 4, 0x86, kMega329ATraits),
    Part("ATmega3290PA", {0x1E, 0x95, 0x0C}, 64, 256, 1024, 4, 0x87, kMega329ATraits),
    Part("ATmega325PA", {0x1E, 0x95, 0x0D}, 64, 256, 1024, 4, 0x88, kMega325ATraits),
    Part("ATmega3250PA", {0x1E, 0x95, 0x0E}, 64, 256, 1024, 4, 0x89, kMega325ATraits),
    Part("ATmega328", {0x1E, 0x95, 0x14}, 64, 256, 1024, 4, 0x8A, kMega328Traits),
    Part("ATmega324A", {0x1E, 0x95, 0x15}, 64, 256, 1024, 4, 0x8B, kMega324PTraits),
    Part("ATmega328PB", {0x1E, 0x95, 0x16}, 64, 256, 1024, 4, 0x8C, kMega328PBTraits),
    Part("ATmega324PB", {0x1E, 0x95, 0x17}, 64, 256, 1024, 4, 0x8D, kMega324PBTraits),
    Part("AT90CAN32", {0x1E, 0x95, 0x81}, 128, 128, 1024, 8, 0x8E, kAt90Can32Traits),
    Part("ATmega32M1", {0x1E, 0x95, 0x84}, 64, 256, 1024, 4, 0x8F, kMega32M1Traits),
    Part("ATmega32U2", {0x1E, 0x95, 0x8A}, 64, 256, 1024, 4, 0x90, kMega8U2Traits),
    Part("ATmega649A", {0x1E, 0x96, 0x03}, 128, 256, 2048, 8, 0x91, kMega329ATraits),
    Part("ATmega6490A", {0x1E, 0x96, 0x04}, 128, 256, 2048, 8, 0x92, kMega329ATraits),
    Part("ATmega645A", {0x1E, 0x96, 0x05}, 128, 256, 2048, 8, 0x93, kMega325ATraits),
    Part("ATmega6450A", {0x1E, 0x96, 0x06}, 128, 256, 2048, 8, 0x94, kMega325ATraits),
    Part("ATmega640", {0x1E, 0x96, 0x08}, 128, 256, 4096, 8, 0x95, kMega640Traits),
    Part("ATmega644A", {0x1E, 0x96, 0x09}, 128, 256, 2048, 8, 0x96, kMega164ATraits),
    Part("ATmega649P", {0x1E, 0x96, 0x0B}, 128, 256, 2048, 8, 0x97, kMega649PTraits),
    Part("ATmega6490P", {0x1E, 0x96, 0x0C}, 128, 256, 2048, 8, 0x98, kMega329ATraits),
    Part("ATmega645P", {0x1E, 0x96, 0x0D}, 128, 256, 2048, 8, 0x99, kMega325ATraits),
    Part("ATmega6450P", {0x1E, 0x96, 0x0E}, 128, 256, 2048, 8, 0x9A, kMega325ATraits),
    Part("AT90CAN64", {0x1E, 0x96, 0x81}, 128, 256, 2048, 8, 0x9B, kAt90Can32Traits),
    Part("AT90USB646", {0x1E, 0x96, 0x82}, 128, 256, 2048, 8, 0x9C, kAt90Usb646Traits),
    Part("ATmega64M1", {0x1E, 0x96, 0x84}, 128, 256, 2048, 8, 0x9D, kMega32M1Traits),
    Part("ATmega1280", {0x1E, 0x97, 0x03}, 128, 512, 4096, 8, 0x9E, kMega640Traits),
    Part("ATmega1281", {0x1E, 0x97, 0x04}, 128, 512, 4096, 8, 0x9F, kMega640Traits),
    Part("ATmega1284", {0x1E, 0x97, 0x06}, 128, 512, 4096, 8, 0xA0, kMega324PTraits),
    Part("AT90CAN128", {0x1E, 0x97, 0x81}, 128, 512, 4096, 8, 0xA1, kAt90Can32Traits),
    Part("AT90USB1286", {0x1E, 0x97, 0x82}, 128, 512, 4096, 8, 0xA2, kAt90Usb646Traits),
    Part("ATmega64RFR2", {0x1E, 0xA6, 0x02}, 128, 256, 2048, 8, 0xA3, kMega64Rfr2Traits),
    Part("ATmega644RFR2", {0x1E, 0xA6, 0x03}, 128, 256, 2048, 8, 0xA4, kMega64Rfr2Traits),
    Part("ATmega128RFA1", {0x1E, 0xA7, 0x01}, 128, 512, 4096, 8, 0xA5, kMega128Rfa1Traits),
    Part("ATmega128RFR2", {0x1E, 0xA7, 0x02}, 128, 512, 4096, 8, 0xA6, kMega128Rfr2Traits),
    Part("ATmega1284RFR2", {0x1E, 0xA7, 0x03}, 128, 512, 4096, 8, 0xA7, kMega128Rfr2Traits),
    // Beyond 64 K flash words: pages above it are reached through the extended address byte.
    Part("ATmega2561", {0x1E, 0x98, 0x02}, 128, 1024, 4096, 8, 0xB7, kMega2560Traits),
    Part("ATmega256RFR2", {0x1E, 0xA8, 0x02}, 128, 1024, 8192, 8, 0x9C, kMega256Rfr2Traits),
    Part("ATmega2564RFR2", {0x1E, 0xA8, 0x03}, 128, 1024, 8192, 8, 0x9E, kMega256Rfr2Traits),
};
// clang-format on

}  // namespace

std::span<const SimAvrPart> SimAvrParts() { return kParts; }

}  // namespace pw::sim
