#include "sim/SimTray.h"

namespace pw::sim {

std::optional<std::size_t> SimTraySchedule::ChipAt(SimTime now) const {
  if (Period == 0) return std::nullopt;
  const SimTime index = now / Period;
  if (index >= Chips || now % Period >= Period - Out) return std::nullopt;
  return static_cast<std::size_t>(index);
}

}  // namespace pw::sim
