#include "link/ProgrammerSession.h"

#include "link/ProgrammerConnection.h"

namespace pw {

ProgrammerSession::ProgrammerSession(D2XXUnit& unit, const ProtocolMode& mode, std::int32_t baud) : unit_(unit) {
  OpenProgrammer(unit_, mode, baud);
  open_ = true;
}

ProgrammerSession::~ProgrammerSession() {
  if (open_) AbandonProgrammer(unit_);
}

void ProgrammerSession::Close() {
  if (!open_) return;
  open_ = false;
  try {
    CloseProgrammer(unit_);
  } catch (...) {
    AbandonProgrammer(unit_);
    throw;
  }
}

}  // namespace pw
