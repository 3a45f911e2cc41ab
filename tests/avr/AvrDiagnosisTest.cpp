// The reading of what a chip on the AVR header sent back when it was identified.

#include <gtest/gtest.h>

#include "avr/AvrDiagnosis.h"
#include "avr/AvrTexts.h"

namespace pw {
namespace {

using Reply = std::array<std::uint8_t, 4>;

TEST(AvrDiagnosis, EachKindOfAnswerHasItsMeaning) {
  const Reply high{0xFF, 0xFF, 0xFF, 0xFF}, low{0, 0, 0, 0};
  const struct {
    const char* Name;
    AvrEvidence Evidence;
    const char* Facts;  // nullptr: nothing to explain
  } cases[] = {
      {"sound chip", {{{0xFF, 0xAC, 0x53, 0x00}}, true, {0x1E, 0x95, 0x0F}}, nullptr},
      {"address echoed as signature",
       {{{0xFF, 0xAC, 0x53, 0x00}}, true, {0x00, 0x01, 0x02}},
       texts::kAvrSignatureEchoesAddress},
      {"every byte high", {{high, high, high}, false, {0xFF, 0xFF, 0xFF}}, texts::kAvrMisoHigh},
      {"every byte low", {{low, low}, false, {0, 0, 0}}, texts::kAvrMisoLow},
      // Half the attempts echo, one of them a byte late: bits get lost on the way.
      {"echo now and then",
       {{high, {0xFF, 0xAC, 0x53, 0x00}, {0x7F, 0xFF, 0xAC, 0x53}}, false, {}},
       texts::kAvrEchoUnsteady},
      {"low and high mixed", {{low, high}, false, {}}, texts::kAvrEchoUnsteady},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto diagnosis = DiagnoseAvr(c.Evidence);
    ASSERT_EQ(diagnosis.has_value(), c.Facts != nullptr);
    if (diagnosis) {
      EXPECT_EQ(diagnosis->Facts, c.Facts);
    }
  }
  // A chip that answered at the slowest clock only: the two values are named, whatever the bytes.
  const auto slow = DiagnoseAvr({{high}, false, {0xFF, 0xFF, 0xFF}, 115200, 1200});
  ASSERT_TRUE(slow);
  EXPECT_EQ(slow->Facts, texts::AvrAnswersOnlySlowly(115200, 1200));
  EXPECT_EQ(slow->Advice, texts::kAvrSlowerClockAdvice);
}

}  // namespace
}  // namespace pw
