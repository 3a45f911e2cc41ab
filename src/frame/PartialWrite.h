#pragma once
/// @file
/// The warning that a write stopped half way.

#include "frame/Reporter.h"
#include "frame/Texts.h"

namespace pw {

/// Held for the length of a write. Once the write has begun to change the chip, leaving
/// without Finished() (an error, a chip that stopped answering) appends a line saying the chip
/// may be partly written and which operation to repeat.
class PartialWrite {
 public:
  PartialWrite(Reporter& out, const Action& operation) : out_(out), operation_(operation) {}
  PartialWrite(const PartialWrite&) = delete;
  PartialWrite& operator=(const PartialWrite&) = delete;
  ~PartialWrite() {
    if (!begun_ || finished_) return;
    try {
      out_.Log(texts::PartlyWritten(out_.Name(operation_)));
    } catch (...) {  // a log that fails while an error is on its way must not end the program
    }
  }

  /// The next step changes the chip.
  void Begun() { begun_ = true; }
  /// Every byte asked for has been written.
  void Finished() { finished_ = true; }

 private:
  Reporter& out_;
  Action operation_;
  bool begun_ = false;
  bool finished_ = false;
};

}  // namespace pw
