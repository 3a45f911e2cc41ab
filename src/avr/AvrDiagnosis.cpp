#include "avr/AvrDiagnosis.h"

#include <algorithm>

#include "avr/AvrTexts.h"

namespace pw {
namespace {

using Replies = std::vector<std::array<std::uint8_t, 4>>;

bool EveryByteIs(const Replies& replies, std::uint8_t value) {
  return std::all_of(replies.begin(), replies.end(), [value](const auto& reply) {
    return std::all_of(reply.begin(), reply.end(), [value](std::uint8_t b) { return b == value; });
  });
}

}  // namespace

std::optional<Diagnosis> DiagnoseAvr(const AvrEvidence& evidence) {
  if (evidence.Answers) {
    if (evidence.Signature != std::array<std::uint8_t, 3>{0x00, 0x01, 0x02}) return std::nullopt;
    return Diagnosis{texts::kAvrSignatureEchoesAddress, texts::kAvrDamagedAdvice};
  }
  if (evidence.SlowBaud != 0) {
    return Diagnosis{texts::AvrAnswersOnlySlowly(evidence.Baud, evidence.SlowBaud), texts::kAvrSlowerClockAdvice};
  }
  const Replies& replies = evidence.EntryReplies;
  if (EveryByteIs(replies, 0xFF)) return Diagnosis{texts::kAvrMisoHigh, texts::kAvrMisoHighAdvice};
  if (EveryByteIs(replies, 0x00)) return Diagnosis{texts::kAvrMisoLow, texts::kAvrMisoLowAdvice};
  // Neither level all the time: bits get through, but not in step.
  return Diagnosis{texts::kAvrEchoUnsteady, texts::kAvrSlowerClockAdvice};
}

}  // namespace pw
