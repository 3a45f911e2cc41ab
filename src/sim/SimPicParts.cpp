#include "sim/SimPicParts.h"

#include <array>

#include "ini/IniFile.h"

namespace pw::sim {
namespace {

using enum SimPicFamily;

// Device IDs carry revision 3 in their low five bits.
const std::array kParts{
    SimPicPart{"PIC16F84A", F84A, 1024, 64, 0x0563},
    SimPicPart{"PIC16F627A", F62xA, 1024, 128, 0x1043},
    SimPicPart{"PIC16F628A", F62xA, 2048, 128, 0x1063},
    SimPicPart{"PIC16F648A", F62xA, 4096, 256, 0x1103},
    SimPicPart{"PIC16F873A", F87xA, 4096, 128, 0x0E43},
    SimPicPart{"PIC16F874A", F87xA, 4096, 128, 0x0E63},
    SimPicPart{"PIC16F876A", F87xA, 8192, 256, 0x0E03},
    SimPicPart{"PIC16F877A", F87xA, 8192, 256, 0x0E23},
    SimPicPart{"PIC12F508", Baseline, 512, 0, 0},
    SimPicPart{"PIC12F509", Baseline, 1024, 0, 0},
    SimPicPart{"PIC12F629", F629, 1024, 128, 0x0F83},
    SimPicPart{"PIC12F675", F629, 1024, 128, 0x0FC3},
    SimPicPart{"PIC16F630", F629, 1024, 128, 0x10C3},
    SimPicPart{"PIC16F676", F629, 1024, 128, 0x10E3},
    SimPicPart{"PIC12F683", F683, 2048, 256, 0x0463},
    SimPicPart{"PIC16F684", F683, 2048, 256, 0x1083},
    SimPicPart{"PIC16F688", F683, 4096, 256, 0x1183},
    SimPicPart{"PIC16F631", F683, 1024, 128, 0x1423},
    SimPicPart{"PIC16F677", F683, 2048, 256, 0x1443},
    SimPicPart{"PIC16F685", F683, 4096, 256, 0x04A3},
    SimPicPart{"PIC16F687", F683, 2048, 256, 0x1323},
    SimPicPart{"PIC16F689", F683, 4096, 256, 0x1343},
    SimPicPart{"PIC16F690", F683, 4096, 256, 0x1403},
    SimPicPart{"PIC16F72", F7x, 2048, 0, 0x00A3},
    SimPicPart{"PIC16F73", F7x, 4096, 0, 0x0603},
    SimPicPart{"PIC16F74", F7x, 4096, 0, 0x0623},
    SimPicPart{"PIC16F76", F7x, 8192, 0, 0x0643},
    SimPicPart{"PIC16F77", F7x, 8192, 0, 0x0663},
    // Latches from Microchip's programming documents: four words on 16F87/88, 16F818/819 and
    // 16F882, eight on 16F883-887 (peer programmers that give 8 for the 16F882 are not followed).
    SimPicPart{"PIC16F87", F88, 4096, 256, 0x0723, 4, 0x0003},
    SimPicPart{"PIC16F88", F88, 4096, 256, 0x0763, 4, 0x0003},
    SimPicPart{"PIC16F818", F88, 1024, 128, 0x04C3, 4, 0},
    SimPicPart{"PIC16F819", F88, 2048, 256, 0x04E3, 4, 0},
    SimPicPart{"PIC16F882", F88x, 2048, 128, 0x2003, 4, 0x0700},
    SimPicPart{"PIC16F883", F88x, 4096, 256, 0x2023, 8, 0x0700},
    SimPicPart{"PIC16F884", F88x, 4096, 256, 0x2043, 8, 0x0700},
    SimPicPart{"PIC16F886", F88x, 8192, 256, 0x2063, 8, 0x0700},
    SimPicPart{"PIC16F887", F88x, 8192, 256, 0x2083, 8, 0x0700},
};

/// What a family's parts share: their cycle times, the masks of their configuration word, their
/// write latches and the command that ends an externally timed cycle.
struct FamilyFacts {
  SimPicTimes Times;
  std::uint16_t ConfigBits;
  std::uint16_t CodeProtect;
  std::uint16_t DataProtect;
  std::uint32_t Latches = 1;
  int EndCommand = 23;
  std::uint16_t BandGap = 0;
  std::uint32_t RowWords = 0;
};

// In the order of SimPicFamily. The 16F84A's CP bits guard its data memory as well.
constexpr std::array kFamilies{
    FamilyFacts{{4000, 4000, 4000, 10000}, 0x3FFF, 0x3FF0, 0x3FF0, 0},      // F84A
    FamilyFacts{{4000, 4000, 6000, 6000}, 0x21FF, 0x2000, 0x0100, 0},       // F62xA
    FamilyFacts{{10000, 1000, 10000, 10000}, 0x2FCF, 0x2000, 0x0100, 8},    // F87xA
    FamilyFacts{{2000, 2000, 2000, 10000}, 0x001F, 0x0008, 0x0000, 0, 14},  // Baseline
    // Times from the maker's programming documents: 8 self-timed 3 ms (data 6 ms), 24 ends with 10
    // after 2 ms (F629) or 3 ms (F683), bulk erases 6 ms; the 16F7x hold their cycle open at
    // least 1 ms before 14 and erase in 30 ms. F683 programs through four latches, F7x two.
    FamilyFacts{{3000, 2000, 6000, 6000}, 0x31FF, 0x0080, 0x0100, 1, 10, 0x3000},  // F629
    FamilyFacts{{3000, 3000, 6000, 6000}, 0x0FFF, 0x0040, 0x0080, 4, 10, 0, 16},   // F683
    FamilyFacts{{1000, 1000, 1000, 30000}, 0x005F, 0x0010, 0x0000, 2, 14},         // F7x
    // Begin Programming Only at least 1 ms before End Programming; data write and erases
    // (bulk, chip, row) taken as 8 ms, the longest the part's documents give (U). Latches per part.
    FamilyFacts{{8000, 1000, 8000, 8000}, 0x3FFF, 0x2000, 0x0100, 0, 23, 0, 32},  // F88
    // Externally timed at least 1 ms; internally timed 5 ms (configuration words), data 6 ms,
    // bulk erase 6 ms (U).
    FamilyFacts{{5000, 1000, 6000, 6000}, 0x3FFF, 0x0040, 0x0080, 0, 10, 0, 16},  // F88x
};
static_assert(kFamilies.size() == static_cast<std::size_t>(F88x) + 1);

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
    case F629:
      return cmd == 0 || (cmd >= 2 && cmd <= 6) || cmd == 8 || cmd == 9 || cmd == 10 || cmd == 11 || cmd == 24;
    case F683:
      return Understands(F629, cmd) || cmd == 17;  // 17: Row Erase Program Memory
    case F7x:
      return cmd == 0 || cmd == 2 || cmd == 4 || cmd == 6 || cmd == 8 || cmd == 9 || cmd == 14;
    case F88:
      return cmd == 0 || (cmd >= 2 && cmd <= 6) || cmd == 8 || cmd == 9 || cmd == 11 || cmd == 17 || cmd == 23 ||
             cmd == 24 || cmd == 31;
    case F88x:
      return cmd == 0 || (cmd >= 2 && cmd <= 6) || (cmd >= 8 && cmd <= 11) || cmd == 17 || cmd == 24;
  }
  return false;
}

bool ProgramsOnly(SimPicFamily family) { return family == F629 || family == F683 || family == F7x; }
std::uint32_t LatchWords(SimPicFamily family) { return FactsOf(family).Latches; }
int EndCommand(SimPicFamily family) { return FactsOf(family).EndCommand; }
std::uint16_t BandGapBits(SimPicFamily family) { return FactsOf(family).BandGap; }
bool CalibrationAt2008(SimPicFamily family) { return family == F683; }

SimPicTimes TimesOf(SimPicFamily family) { return FactsOf(family).Times; }
std::uint16_t ConfigBits(SimPicFamily family) { return FactsOf(family).ConfigBits; }
std::uint16_t CodeProtectBits(SimPicFamily family) { return FactsOf(family).CodeProtect; }
std::uint16_t DataProtectBits(SimPicFamily family) { return FactsOf(family).DataProtect; }
std::uint32_t RowWords(SimPicFamily family) { return FactsOf(family).RowWords; }

}  // namespace pw::sim
