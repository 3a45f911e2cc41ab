#include "sim/Eeprom24Parts.h"

#include "ini/IniFile.h"

namespace pw::sim {
namespace {

/// A block of the parts beyond 64 KiB: their sequential reads stay inside it.
constexpr std::uint32_t kBlock = 65536;
/// The 24C00's device-byte bits 1-3: A0-A2 are not connected inside the chip.
constexpr std::uint8_t kNoSelect = 0x0E;

constexpr Eeprom24Part kParts[] = {
    {"24C00", 16, 1, 1, 0, 1, 0, kNoSelect},
    {"24C01", 128, 8, 1, 0},
    {"24C02", 256, 8, 1, 0},
    {"24C04", 512, 16, 1, 1},
    {"24C08", 1024, 16, 1, 2},
    {"24C16", 2048, 16, 1, 3},
    {"24C32", 4096, 32, 2, 0},
    {"24C64", 8192, 32, 2, 0},
    {"24C128", 16384, 64, 2, 0},
    {"24C256", 32768, 64, 2, 0},
    {"24C512", 65536, 128, 2, 0},
    {"24C1024", 131072, 256, 2, 1, 1, kBlock},
    {"24M01", 131072, 256, 2, 1, 1, kBlock},
    {"24M02", 262144, 256, 2, 2, 1, kBlock},
    // The block bit B0 takes the place of A2 in the device byte; the A2 input must be tied high.
    {"24LC1025", 131072, 128, 2, 1, 3, kBlock},
    {"24AA1025", 131072, 128, 2, 1, 3, kBlock},
    {"24FC1025", 131072, 128, 2, 1, 3, kBlock},
};

}  // namespace

const Eeprom24Part* FindEeprom24Part(const std::string& name) {
  for (const auto& part : kParts) {
    if (SameName(name, part.Name)) return &part;
  }
  return nullptr;
}

}  // namespace pw::sim
