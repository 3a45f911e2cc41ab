#pragma once
/// @file
/// What a chip that does not answer showed, said to a person: one line of facts and one of
/// advice, logged together after the line that says the chip does not answer.

#include <string>

#include "frame/OperationRun.h"
#include "frame/Texts.h"

namespace pw {

struct Diagnosis {
  /// What came back, and what that means (logged after "Диагностика: ").
  std::string Facts;
  /// What to check or change (logged after "Совет: ").
  std::string Advice;
};

/// Logs both lines of diagnosis through run.
inline void LogDiagnosis(OperationRun& run, const Diagnosis& diagnosis) {
  run.Log(texts::kDiagnosisFacts + diagnosis.Facts);
  run.Log(texts::kDiagnosisAdvice + diagnosis.Advice);
}

}  // namespace pw
