#include "sim/SimPic18Parts.h"

#include "ini/IniFile.h"

namespace pw::sim {
namespace {

// Bytes 0x300000..0x30000D. CONFIG5L-7L keep bits 3:2 on the parts with fewer than four
// blocks as well: their datasheets show them as cells to keep set, not as missing bits.
// The 2455 family: PLL and USB dividers in CONFIG1L, VREGEN in CONFIG2L; ICPRT (CONFIG4L
// bit 5) only on the 44-pin 4455/4550.
constexpr SimPic18Config kUsb28{{0x3F, 0xCF, 0x3F, 0x1F, 0x00, 0x87, 0xC5, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40},
                                {0x00, 0x05, 0x1F, 0x1F, 0x00, 0x83, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}};
constexpr SimPic18Config kUsb40{{0x3F, 0xCF, 0x3F, 0x1F, 0x00, 0x87, 0xE5, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40},
                                {0x00, 0x05, 0x1F, 0x1F, 0x00, 0x83, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}};
// The 2420 family has no CONFIG1L.
constexpr SimPic18Config kPlain{{0x00, 0xCF, 0x1F, 0x1F, 0x00, 0x87, 0xC5, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40},
                                {0x00, 0x07, 0x1F, 0x1F, 0x00, 0x83, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}};

// Device IDs carry revision 7; bit 4 of DEVID1 stays 0 because the 2420 family's relatives
// (2423, 2523 …) use it to tell themselves apart.
constexpr std::array kParts{
    SimPic18Part{"PIC18F2455", 24576, 256, 0x1267, 32, &kUsb28},
    SimPic18Part{"PIC18F2550", 32768, 256, 0x1247, 32, &kUsb28},
    SimPic18Part{"PIC18F4455", 24576, 256, 0x1227, 32, &kUsb40},
    SimPic18Part{"PIC18F4550", 32768, 256, 0x1207, 32, &kUsb40},
    SimPic18Part{"PIC18F2420", 16384, 256, 0x1147, 32, &kPlain},
    SimPic18Part{"PIC18F2520", 32768, 256, 0x1107, 32, &kPlain},
    SimPic18Part{"PIC18F4420", 16384, 256, 0x10C7, 32, &kPlain},
    SimPic18Part{"PIC18F4520", 32768, 256, 0x1087, 32, &kPlain},
};

}  // namespace

const SimPic18Part* FindSimPic18Part(const std::string& name) {
  for (const auto& part : kParts) {
    if (SameName(part.Name, name)) return &part;
  }
  return nullptr;
}

}  // namespace pw::sim
