#pragma once
/// @file
/// Why the chip on the AVR header does not answer, from what the identification saw: the
/// bytes its Programming Enable attempts shifted in, the signature, and whether the chip
/// answered at the slowest clock when it did not at the one chosen.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "frame/Diagnosis.h"

namespace pw {

struct AvrEvidence {
  /// The four bytes of every Programming Enable attempt the identification sent, in order.
  std::vector<std::array<std::uint8_t, 4>> EntryReplies;
  /// The last Programming Enable was echoed.
  bool Answers = false;
  std::array<std::uint8_t, 3> Signature{};
  /// The baud value the programmer worked at, and the slower one at which a chip that did not
  /// answer then did (0: not tried, or no answer there either).
  std::int32_t Baud = 0;
  std::int32_t SlowBaud = 0;
};

/// What the evidence means, or nothing for a chip that answered soundly.
std::optional<Diagnosis> DiagnoseAvr(const AvrEvidence& evidence);

}  // namespace pw
