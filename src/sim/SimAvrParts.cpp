#include "sim/SimAvrParts.h"

#include "ini/IniFile.h"

namespace pw::sim {

const SimAvrPart* FindSimAvrPart(std::string_view name) {
  for (const SimAvrPart& part : SimAvrParts()) {
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
