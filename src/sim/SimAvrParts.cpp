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

// Write-cycle times (µs): chip erase, flash page, EEPROM, fuse.
struct Times {
  std::uint32_t Erase, Flash, Eeprom, Fuse;
};
constexpr Times kTiny13Times{4000, 4500, 4000, 4500};
constexpr Times kTinyTimes{4500, 4500, 4000, 4500};
constexpr Times kTiny2313Times{9000, 4500, 4000, 4500};
constexpr Times kMegaPaTimes{9000, 4500, 3600, 4500};
constexpr Times kMegaTimes{9000, 4500, 9000, 4500};

constexpr SimAvrPart Part(std::string_view name, std::array<std::uint8_t, 3> sig, std::uint32_t pageWords,
                          std::uint32_t pages, std::uint32_t eepromBytes, std::uint32_t eepromPage,
                          std::array<std::uint8_t, 3> fuses, std::array<std::uint8_t, 3> bits, std::uint8_t lock,
                          std::uint8_t eesaveFuse, std::uint8_t eesaveBit, std::uint8_t calibration, Times t) {
  return {name, sig, pageWords, pages, eepromBytes, eepromPage, fuses, bits, lock, eesaveFuse, eesaveBit, calibration,
          t.Erase, t.Flash, t.Eeprom, t.Fuse};
}

constexpr std::array kParts{
    Part("ATtiny13A", {0x1E, 0x90, 0x07}, 16, 32, 64, 4, {0x6A, 0xFF, 0xFF}, kTiny13Bits, kModeLock, 0, 6, 0x5C, kTiny13Times),
    Part("ATtiny25", {0x1E, 0x91, 0x08}, 16, 64, 128, 4, {0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, 1, 3, 0x8B, kTinyTimes),
    Part("ATtiny45", {0x1E, 0x92, 0x06}, 32, 64, 256, 4, {0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, 1, 3, 0x8E, kTinyTimes),
    Part("ATtiny85", {0x1E, 0x93, 0x0B}, 32, 128, 512, 4, {0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, 1, 3, 0x91, kTinyTimes),
    Part("ATtiny24A", {0x1E, 0x91, 0x0B}, 16, 64, 128, 4, {0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, 1, 3, 0x7F, kTinyTimes),
    Part("ATtiny44A", {0x1E, 0x92, 0x07}, 32, 64, 256, 4, {0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, 1, 3, 0x82, kTinyTimes),
    Part("ATtiny84A", {0x1E, 0x93, 0x0C}, 32, 128, 512, 4, {0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, 1, 3, 0x85, kTinyTimes),
    Part("ATtiny2313A", {0x1E, 0x91, 0x0A}, 16, 64, 128, 4, {0x64, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, 1, 6, 0x6B, kTiny2313Times),
    Part("ATtiny4313", {0x1E, 0x92, 0x0D}, 32, 64, 256, 4, {0x64, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, 1, 6, 0x6E, kTiny2313Times),
    Part("ATmega8A", {0x1E, 0x93, 0x07}, 32, 128, 512, 0, {0xE1, 0xD9, 0xFF}, kTwoFuseBits, kBootLock, 1, 3, 0xA6, kMegaTimes),
    Part("ATmega48PA", {0x1E, 0x92, 0x0A}, 32, 64, 256, 4, {0x62, 0xDF, 0xFF}, kSelfPrgBits, kModeLock, 1, 3, 0x9C, kMegaPaTimes),
    Part("ATmega88PA", {0x1E, 0x93, 0x0F}, 32, 128, 512, 4, {0x62, 0xDF, 0xF9}, kBootBits, kBootLock, 1, 3, 0x9D, kMegaPaTimes),
    Part("ATmega168PA", {0x1E, 0x94, 0x0B}, 64, 128, 512, 4, {0x62, 0xDF, 0xF9}, kBootBits, kBootLock, 1, 3, 0x9E, kMegaPaTimes),
    Part("ATmega328P", {0x1E, 0x95, 0x0F}, 64, 256, 1024, 4, {0x62, 0xD9, 0xFF}, kBootBits, kBootLock, 1, 3, 0x9F, kMegaPaTimes),
    Part("ATmega16A", {0x1E, 0x94, 0x03}, 64, 128, 512, 4, {0xE1, 0x99, 0xFF}, kTwoFuseBits, kBootLock, 1, 3, 0xA8, kMegaTimes),
    Part("ATmega32A", {0x1E, 0x95, 0x02}, 64, 256, 1024, 4, {0xE1, 0x99, 0xFF}, kTwoFuseBits, kBootLock, 1, 3, 0xA9, kMegaTimes),
    Part("ATmega64A", {0x1E, 0x96, 0x02}, 128, 256, 2048, 0, {0xE1, 0x99, 0xFD}, kM103Bits, kBootLock, 1, 3, 0xAA, kMegaTimes),
    Part("ATmega128A", {0x1E, 0x97, 0x02}, 128, 512, 4096, 0, {0xE1, 0x99, 0xFD}, kM103Bits, kBootLock, 1, 3, 0xAB, kMegaTimes),
    Part("ATmega164PA", {0x1E, 0x94, 0x0A}, 64, 128, 512, 4, {0x62, 0x99, 0xFF}, kBootBits, kBootLock, 1, 3, 0xB0, kMegaPaTimes),
    Part("ATmega324PA", {0x1E, 0x95, 0x11}, 64, 256, 1024, 4, {0x62, 0x99, 0xFF}, kBootBits, kBootLock, 1, 3, 0xB1, kMegaPaTimes),
    Part("ATmega644PA", {0x1E, 0x96, 0x0A}, 128, 256, 2048, 8, {0x62, 0x99, 0xFF}, kBootBits, kBootLock, 1, 3, 0xB2, kMegaPaTimes),
    Part("ATmega1284P", {0x1E, 0x97, 0x05}, 128, 512, 4096, 8, {0x62, 0x99, 0xFF}, kBootBits, kBootLock, 1, 3, 0xB3, kMegaPaTimes),
    Part("ATmega8515", {0x1E, 0x93, 0x06}, 32, 128, 512, 0, {0xE1, 0xD9, 0xFF}, kTwoFuseBits, kBootLock, 1, 3, 0xA4, kMegaTimes),
    Part("ATmega8535", {0x1E, 0x93, 0x08}, 32, 128, 512, 0, {0xE1, 0xD9, 0xFF}, kTwoFuseBits, kBootLock, 1, 3, 0xA5, kMegaTimes),
    Part("ATmega32U4", {0x1E, 0x95, 0x87}, 64, 256, 1024, 4, {0x5E, 0x99, 0xF3}, kU4Bits, kBootLock, 1, 3, 0xB8, kMegaTimes),
    Part("ATmega2560", {0x1E, 0x98, 0x01}, 128, 1024, 4096, 8, {0x62, 0x99, 0xFF}, kBootBits, kBootLock, 1, 3, 0xBA, kMegaTimes),
};

}  // namespace

std::span<const SimAvrPart> SimAvrParts() { return kParts; }

const SimAvrPart* FindSimAvrPart(std::string_view name) {
  for (const SimAvrPart& part : kParts) {
    if (SameName(part.Name, name)) return &part;
  }
  return nullptr;
}

}  // namespace pw::sim
