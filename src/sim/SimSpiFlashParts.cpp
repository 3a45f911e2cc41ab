#include "sim/SimSpiFlashParts.h"

#include "ini/IniFile.h"

namespace pw::sim {
namespace {

constexpr std::uint32_t KiB = 1024;
constexpr std::uint32_t MiB = 1024 * KiB;

// One or more parts of each family, with their makers' typical times.
constexpr SimSpiFlashPart kParts[] = {
    {"W25X10", {0xEF, 0x30, 0x11}, 128 * KiB, 4 * KiB, 0x3C, 1500, 150, 250, 1500},
    {"W25X40", {0xEF, 0x30, 0x13}, 512 * KiB, 4 * KiB, 0x3C, 1500, 150, 250, 5000},
    {"W25Q16", {0xEF, 0x40, 0x15}, 2 * MiB, 4 * KiB, 0x7C, 700, 45, 150, 5000},
    {"W25Q32", {0xEF, 0x40, 0x16}, 4 * MiB, 4 * KiB, 0x7C, 700, 45, 150, 10000, false, true},
    {"W25Q128", {0xEF, 0x40, 0x18}, 16 * MiB, 4 * KiB, 0x7C, 700, 45, 150, 40000},
    {"MX25L512", {0xC2, 0x20, 0x10}, 64 * KiB, 4 * KiB, 0x0C, 1400, 90, 1000, 1000},
    {"MX25L3206E", {0xC2, 0x20, 0x16}, 4 * MiB, 4 * KiB, 0x3C, 1400, 60, 700, 25000},
    {"GD25Q64", {0xC8, 0x40, 0x17}, 8 * MiB, 4 * KiB, 0x7C, 600, 50, 250, 40000},
    {"EN25Q32", {0x1C, 0x30, 0x16}, 4 * MiB, 4 * KiB, 0x3C, 1300, 90, 500, 30000},
    {"S25FL032P", {0x01, 0x02, 0x15}, 4 * MiB, 0, 0x1C, 1500, 500, 500, 32000},
    {"S25FL116K", {0x01, 0x40, 0x15}, 2 * MiB, 4 * KiB, 0x7C, 700, 50, 500, 7000},
    {"AT25DF321A", {0x1F, 0x47, 0x01}, 4 * MiB, 4 * KiB, 0x0C, 1500, 50, 350, 36000},
    {"AT25SF041", {0x1F, 0x84, 0x01}, 512 * KiB, 4 * KiB, 0x7C, 400, 60, 450, 4000},
    {"SST25VF016B", {0xBF, 0x25, 0x41}, 2 * MiB, 4 * KiB, 0x3C, 10, 18, 18, 35, true},
    // Not in SpiFlash.ini: the program knows it by its SFDP table alone.
    {"IS25LP080D", {0x9D, 0x60, 0x14}, 1 * MiB, 4 * KiB, 0x3C, 200, 70, 150, 3000, false, true},
};

}  // namespace

std::span<const SimSpiFlashPart> SimSpiFlashParts() { return kParts; }

const SimSpiFlashPart* FindSimSpiFlashPart(const std::string& name) {
  for (const SimSpiFlashPart& part : kParts) {
    if (SameName(part.Name, name)) return &part;
  }
  return nullptr;
}

}  // namespace pw::sim
