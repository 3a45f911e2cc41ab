#include "frame/DamagedFile.h"

#include <utility>

#include "frame/Texts.h"

namespace pw {

OperationStep AskIfDamaged(OperationStep step, bool damaged) {
  if (!damaged) return step;
  step.Confirm = [then = std::move(step.Confirm)](OperationRun& run) {
    if (!run.Ask(texts::kDamagedFileTitle, texts::kDamagedFileQuestion)) {
      run.Log(texts::kDamagedFileNotWritten);
      return false;
    }
    return !then || then(run);
  };
  return step;
}

}  // namespace pw
