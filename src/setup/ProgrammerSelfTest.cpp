#include "setup/ProgrammerSelfTest.h"

#include "common/HexDigits.h"
#include "frame/Texts.h"
#include "link/ProgrammerConnection.h"
#include "setup/FtSettingsOperations.h"
#include "setup/LineCheck.h"
#include "setup/SelfTestTexts.h"

namespace pw {
namespace {

/// Logs the EEPROM's rows; false when its checksum does not match.
bool CheckEeprom(D2XXUnit& unit, OperationRun& run) {
  const bool intact = ReadFtSettingsRecord(unit);
  run.Log(intact ? texts::kSelfTestEepromIntact : texts::kSelfTestEepromDamaged);
  run.Log(texts::kSelfTestIds + HexDigits(unit.FtEeData.VendorId, 4) + ":" + HexDigits(unit.FtEeData.ProductId, 4));
  const std::string description = FtBufferText(unit.DescriptionBuffer);
  std::string warning;
  if (description != kProgrammerDescription) {
    warning = texts::kSelfTestOtherDescription + std::string("\"") + kProgrammerDescription + "\")";
  }
  run.Log(texts::kSelfTestDescription + description + warning);
  run.Log(texts::kSelfTestSerial + FtBufferText(unit.SerialNumberBuffer));
  return intact;
}

std::string Verdict(const LineVerdicts& verdicts, int line) {
  const std::uint8_t bit = wiring::Bit(line);
  if (verdicts.StuckLow & bit) return texts::kLineStuckLow;
  if (verdicts.StuckHigh & bit) return texts::kLineStuckHigh;
  const std::uint8_t partners = verdicts.ShortedTo[static_cast<std::size_t>(line)];
  if (partners == 0) return texts::kLineWell;
  std::string text = texts::kLineShorted;
  for (int other = 0; other < 8; ++other) {
    if (partners & wiring::Bit(other)) text += (text.back() == ' ' ? "D" : ", D") + std::to_string(other);
  }
  return text;
}

void SelfTest(D2XXUnit& unit, OperationRun& run) {
  const bool intact = CheckEeprom(unit, run);
  const LineVerdicts lines = CheckLines(unit);
  for (int line = 0; line < 8; ++line) {
    run.Log(std::string(texts::kSelfTestLines[static_cast<std::size_t>(line)]) + ": " + Verdict(lines, line));
  }
  if (intact && lines.AllWell()) return run.Log(texts::kSelfTestPassed);
  run.TargetFailed(texts::kSelfTestFailed);
}

}  // namespace

Outcome RunProgrammerSelfTest(D2XXUnit& unit, OperationRun& run, std::int32_t baud) {
  run.Log(texts::kSelfTestStart);
  const OperationStep step{.Act = [&unit](OperationRun& r) { SelfTest(unit, r); }};
  return RunFrame(unit, run, FtSettingsOperations::Target(baud, texts::kNoProgrammer), {&step, 1});
}

}  // namespace pw
