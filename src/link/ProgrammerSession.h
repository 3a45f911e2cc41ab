#pragma once
/// @file
/// A programmer opened for the length of one operation.

#include <cstdint>
#include <string>

#include "d2xx/Wiring.h"
#include "link/D2xxUnit.h"

namespace pw {

/// Opens the programmer on construction. Close() ends the operation normally and lets a
/// failing close raise; an operation that leaves by an error closes it on the way out, so the
/// next operation opens the device with its own pin directions.
class ProgrammerSession {
 public:
  ProgrammerSession(D2XXUnit& unit, const ProtocolMode& mode, std::int32_t baud);
  ~ProgrammerSession();
  ProgrammerSession(const ProgrammerSession&) = delete;
  ProgrammerSession& operator=(const ProgrammerSession&) = delete;

  void Close();

 private:
  D2XXUnit& unit_;
  bool open_ = false;
};

}  // namespace pw
