#include "sim/SimPicParts.h"

#include <array>

#include "ini/IniFile.h"

namespace pw::sim {
namespace {

using enum SimPicFamily;

// Device IDs carry revision 3 in their low five bits.
const std::array kParts{
    SimPicPart{"PIC16F84A", F84A, 1024, 64, 0x0563},    SimPicPart{"PIC16F627A", F62xA, 1024, 128, 0x1043},
    SimPicPart{"PIC16F628A", F62xA, 2048, 128, 0x1063}, SimPicPart{"PIC16F648A", F62xA, 4096, 256, 0x1103},
    SimPicPart{"PIC16F873A", F87xA, 4096, 128, 0x0E43}, SimPicPart{"PIC16F874A", F87xA, 4096, 128, 0x0E63},
    SimPicPart{"PIC16F876A", F87xA, 8192, 256, 0x0E03}, SimPicPart{"PIC16F877A", F87xA, 8192, 256, 0x0E23},
    SimPicPart{"PIC12F508", Baseline, 512, 0, 0},       SimPicPart{"PIC12F509", Baseline, 1024, 0, 0},
};

/// What a family's parts share: their cycle times and the masks of their configuration word.
struct FamilyFacts {
  SimPicTimes Times;
  std::uint16_t ConfigBits;
  std::uint16_t CodeProtect;
  std::uint16_t DataProtect;
};

// In the order of SimPicFamily. The 16F84A's CP bits guard its data memory as well.
constexpr std::array kFamilies{
    FamilyFacts{{4000, 4000, 4000, 10000}, 0x3FFF, 0x3FF0, 0x3FF0},    // F84A
    FamilyFacts{{4000, 4000, 6000, 6000}, 0x21FF, 0x2000, 0x0100},     // F62xA
    FamilyFacts{{10000, 1000, 10000, 10000}, 0x2FCF, 0x2000, 0x0100},  // F87xA
    FamilyFacts{{2000, 2000, 2000, 10000}, 0x001F, 0x0008, 0x0000},    // Baseline
};
static_assert(kFamilies.size() == static_cast<std::size_t>(Baseline) + 1);

const FamilyFacts& FactsOf(SimPicFamily family) { return kFamilies[static_cast<std::size_t>(family)]; }

}  // namespace

const SimPicPart* FindSimPicPart(const std::string& name) {
  for (const auto& part : kParts) {
    if (SameName(part.Name, name)) return &part;
  }
  return nullptr;
}

bool Understands(SimPicFamily family, int cmd) {
  switch (family) {
    case F84A:
      return cmd == 0 || cmd == 1 || (cmd >= 2 && cmd <= 9) || cmd == 11 || cmd == 24;
    case F62xA:
      return cmd == 0 || (cmd >= 2 && cmd <= 6) || cmd == 8 || cmd == 9 || cmd == 11;
    case F87xA:
      return cmd == 0 || (cmd >= 2 && cmd <= 6) || cmd == 8 || cmd == 9 || cmd == 11 || cmd == 23 || cmd == 24 ||
             cmd == 31;
    case Baseline:
      return cmd == 2 || cmd == 4 || cmd == 6 || cmd == 8 || cmd == 9 || cmd == 14;
  }
  return false;
}

SimPicTimes TimesOf(SimPicFamily family) { return FactsOf(family).Times; }
std::uint16_t ConfigBits(SimPicFamily family) { return FactsOf(family).ConfigBits; }
std::uint16_t CodeProtectBits(SimPicFamily family) { return FactsOf(family).CodeProtect; }
std::uint16_t DataProtectBits(SimPicFamily family) { return FactsOf(family).DataProtect; }

}  // namespace pw::sim
