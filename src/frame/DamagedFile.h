#pragma once
/// @file
/// Writing from a file whose records had wrong checksums: the load only warned, the write asks.
/// Every family's write step passes through AskIfDamaged; the command line answers from --yes.

#include "frame/Frame.h"

namespace pw {

/// step, unchanged when damaged is false; otherwise its Confirm first asks whether to write
/// from a file with checksum errors, and a No logs that nothing was written and ends the run.
OperationStep AskIfDamaged(OperationStep step, bool damaged);

}  // namespace pw
