#include "sim/SimLineFaults.h"

#include "sim/BenchValues.h"

namespace pw::sim {
namespace {

constexpr const char* kSection = "Faults";

/// The bit of "D0".."D7" (any case), or 0 for another name.
std::uint8_t LineBit(const std::string& name) {
  if (name.size() != 2 || (name[0] != 'D' && name[0] != 'd') || name[1] < '0' || name[1] > '7') return 0;
  return static_cast<std::uint8_t>(1u << (name[1] - '0'));
}

std::uint8_t LineList(const IniFile& ini, const std::string& key) {
  std::uint8_t bits = 0;
  for (const auto& name : SplitList(ini.ReadString(kSection, key, ""), ',')) {
    const std::uint8_t bit = LineBit(name);
    if (bit == 0) BadBenchSetting(kSection, key, name, "линии D0..D7 через запятую");
    bits = static_cast<std::uint8_t>(bits | bit);
  }
  return bits;
}

std::uint8_t Stick(std::uint8_t lines, const SimLineFaults& faults) {
  return static_cast<std::uint8_t>((lines | faults.StuckHigh) & ~faults.StuckLow);
}

}  // namespace

std::uint8_t SimLineFaults::Apply(std::uint8_t lines) const {
  lines = Stick(lines, *this);
  // A low line pulls its partner low; chains of shorts settle within as many passes as pairs.
  for (bool moved = !Shorts.empty(); moved;) {
    moved = false;
    for (const auto& [a, b] : Shorts) {
      const bool high = (lines & a) && (lines & b);
      if (!high && (lines & (a | b))) {
        lines = static_cast<std::uint8_t>(lines & ~(a | b));
        moved = true;
      }
    }
  }
  return Stick(lines, *this);
}

SimLineFaults ReadLineFaults(const IniFile& ini) {
  SimLineFaults faults{LineList(ini, "StuckLow"), LineList(ini, "StuckHigh"), {}};
  for (const auto& pair : SplitList(ini.ReadString(kSection, "Short", ""), ',')) {
    const auto names = SplitList(pair, '-');
    const std::uint8_t a = names.size() == 2 ? LineBit(names[0]) : 0;
    const std::uint8_t b = names.size() == 2 ? LineBit(names[1]) : 0;
    if (a == 0 || b == 0 || a == b) BadBenchSetting(kSection, "Short", pair, "пары линий Dm-Dn через запятую");
    faults.Shorts.emplace_back(a, b);
  }
  return faults;
}

}  // namespace pw::sim
