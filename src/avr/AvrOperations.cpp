// The AVR operations' target: the identification once per run, what a run needs of the chip,
// the automatic clock, and the looks at whether the chip still answers.

#include "avr/AvrOperations.h"

#include "avr/AvrBaudProbe.h"
#include "avr/AvrTexts.h"

namespace pw {

FrameTarget AvrOperations::Target() {
  return {kModeAvr, settings_.Baud, [this](OperationRun& run) { return IdentifyChip(run); }, settings_.OpenFailure};
}

void AvrOperations::Require(AvrNeed need) {
  if (need > need_) need_ = need;
}

OperationStep AvrOperations::Identify() {
  Require(AvrNeed::KnownChip);
  return {};
}

bool AvrOperations::IdentifyChip(OperationRun& run) {
  // A restart needs no chip: unless the run reports the chip, it sends nothing before it.
  if (need_ == AvrNeed::Programmer && !settings_.Report) return true;
  if (settings_.AutoBaud) ChooseBaud(run);
  chip_ = IdentifyAvrChip(avr_, settings_.ChipsIni, run, settings_.Report);
  if (Serves(run)) return true;
  Explain(run);
  return false;
}

void AvrOperations::Explain(OperationRun& run) {
  AvrEvidence& evidence = chip_->Evidence;
  if (!evidence.Answers) {
    // Silent at this clock: a chip that answers at the slowest one only needs a slower clock.
    evidence.Baud = unit_.LinkBaud;
    if (AnswersSlowly(unit_, avr_)) evidence.SlowBaud = kAvrSlowLookBaud;
  }
  if (const auto diagnosis = DiagnoseAvr(evidence)) LogDiagnosis(run, *diagnosis);
}

bool AvrOperations::Serves(OperationRun& run) const {
  if (need_ == AvrNeed::Programmer) return true;
  if (need_ == AvrNeed::Answer) {
    if (!chip_->Answers) run.Log(texts::kAvrNoAnswer);
    return chip_->Answers;
  }
  if (!chip_->Usable) {
    // A reported identification has said which chip answered.
    if (need_ == AvrNeed::ServedChip && !settings_.Report) run.Log(texts::AvrNotIdentified(chip_->Signature));
    return false;
  }
  // Without EEPROM there is nothing to read or write, and a bar's range would end below its start.
  if (needsEeprom_ && chip_->EepromBytes() <= 0) {
    run.Log(texts::AvrNoMemory("EEPROM"));
    return false;
  }
  return true;
}

void AvrOperations::ChooseBaud(OperationRun& run) {
  const auto choice = ProbeAvrBaud(unit_, avr_);
  probed_ = true;
  autoBaud_ = choice ? std::optional<std::int32_t>(choice->Working) : std::nullopt;
  if (choice) {
    run.Log("Скорость авто: чип отвечает до " + std::to_string(choice->Fastest) + " бод, работаем на " +
            std::to_string(choice->Working) + " бод");
  } else {
    run.Log("Скорость авто: чип не ответил ни на одной скорости, работаем на " + std::to_string(unit_.LinkBaud) +
            " бод");
  }
}

bool AvrOperations::ChipAnswers(OperationRun& run) {
  if (avr_.AvrProgEnable()) return true;
  run.TargetFailed(texts::kAvrNoAnswer);
  return false;
}

Refusal AvrOperations::TooLarge(std::int64_t count, std::int64_t size, const char* unit, const char* cancelled) {
  // Addresses wrap at the memory's end: the excess would land on its first pages.
  if (count <= size) return std::nullopt;
  return texts::AvrFileTooLarge(count, size, unit, cancelled);
}

}  // namespace pw
