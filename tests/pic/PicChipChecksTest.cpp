// What the PIC operations check on the chip itself: nothing on the header, another part than the
// type, a configuration that does not read back, an erase that leaves data, and code protection
// kept off a chip whose memory failed its verify.

#include <gtest/gtest.h>

#include <algorithm>

#include "pic/PicOpsBench.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

using test::PicOpsBench;

enum class Op { Erase, WriteConfig, WriteFlash, ReadConfig, WriteDump };
enum class Setup { None, NoChip, OtherChip, ProtectedChip, BitTheChipLacks, NoEraseMethod };

struct Row {
  const char* Type;
  const char* Chip;
  Setup How;
  Op Operation;
  /// The answer to the question about another chip (AskRisky: --yes --force).
  bool Accept;
  Outcome Result;
  std::string Line;
  /// The chip's configuration word afterwards; program word 0 afterwards (0x3FFF: erased).
  std::uint16_t Config = 0;
  std::uint16_t Word0 = 0;
};

/// The area a write sends: IDs 0x0102, 0x0304, ... and configuration word config.
PicConfigArea AreaWith(std::uint16_t config) {
  PicConfigArea area = PicErasedArea();
  for (std::size_t k = 0; k < 4; ++k) area[2 * k] = static_cast<std::uint8_t>(2 * k + 1), area[2 * k + 1] = 0;
  area[kPicConfigWordByte] = static_cast<std::uint8_t>(config);
  area[kPicConfigWordByte + 1] = static_cast<std::uint8_t>(config >> 8);
  return area;
}

OperationStep StepOf(Op op, PicOperations& ops, const MemoryImages& images) {
  const PicConfigArea area = AreaWith(0x3B7F);  // bit 10 (absent on 16F62xA) and LVP at 0
  switch (op) {
    case Op::Erase:
      return ops.Erase(PicErasedArea());
    case Op::WriteConfig:
      return ops.WriteConfig(area);
    case Op::WriteFlash:
      return ops.WriteProgramMemory(images.Flash());
    case Op::ReadConfig:
      return ops.ReadConfig();
    case Op::WriteDump:
      break;
  }
  return ops.WriteDump(images.Flash(), images.Eeprom(), area);
}

void Prepare(PicOpsBench& b, Setup how) {
  b.FillFlash(16);
  b.FillData(8);
  if (how == Setup::ProtectedChip) b.Chip->SetConfigWord(7, 0x1FFF);  // CP on: program memory takes nothing
  if (how == Setup::BitTheChipLacks) b.Type.FusesNames[10] = "X";
  if (how == Setup::NoEraseMethod) b.Type.EraseType = PicErase::Nothing;
  if (b.Chip != nullptr) b.Chip->SetProgramWord(0, 0x1234);
}

TEST(PicChipChecks, TheChipOnTheHeaderIsCheckedBeforeAndAfterEveryChange) {
  const std::string otherChip = texts::PicOtherChip(0x1043, 0x1060);
  const Row rows[] = {
      {"PIC16F628A", nullptr, Setup::NoChip, Op::Erase, false, Outcome::TargetProblem, texts::PicNoChip(0x3FFF)},
      {"PIC16F628A", nullptr, Setup::NoChip, Op::WriteConfig, false, Outcome::TargetProblem, texts::PicNoChip(0x3FFF)},
      {"PIC16F628A", nullptr, Setup::NoChip, Op::WriteFlash, false, Outcome::TargetProblem, texts::PicNoChip(0x3FFF)},
      {"PIC16F628A", nullptr, Setup::NoChip, Op::ReadConfig, false, Outcome::TargetProblem, texts::PicNoChip(0x3FFF)},
      {"PIC16F84A", nullptr, Setup::NoChip, Op::Erase, false, Outcome::TargetProblem, texts::PicNoChip(0x3FFF)},
      // Without an ID nothing tells an empty header: the log says so.
      {"PIC12F508", nullptr, Setup::NoChip, Op::ReadConfig, false, Outcome::Success, texts::kPicPresenceUnknown},
      {"PIC16F628A", "PIC16F627A", Setup::OtherChip, Op::WriteFlash, false, Outcome::TargetProblem,
       texts::kPicOtherChipRefused, 0x3FFF, 0x1234},
      {"PIC16F628A", "PIC16F627A", Setup::OtherChip, Op::WriteFlash, true, Outcome::Success, otherChip, 0x3FFF, 5},
      {"PIC16F628A", "PIC16F628A", Setup::ProtectedChip, Op::WriteDump, false, Outcome::TargetProblem,
       texts::kPicConfigSkipped, 0x1FFF, 0x1234},
      {"PIC16F628A", "PIC16F628A", Setup::BitTheChipLacks, Op::WriteConfig, false, Outcome::TargetProblem,
       texts::PicConfigNotTaken(7, 0x3B7F, 0x3F7F), 0x3B7F, 0x1234},  // bit 10 reads 1
      {"PIC16F628A", "PIC16F628A", Setup::NoEraseMethod, Op::Erase, false, Outcome::TargetProblem,
       texts::PicNotBlank("флеш", 0, 0x1234), 0x3FFF, 0x1234},
      {"PIC16F628A", "PIC16F628A", Setup::None, Op::Erase, false, Outcome::Success, "флеш и еепром стёрты", 0x3FFF,
       0x3FFF},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.Type << " setup " << static_cast<int>(row.How) << ", operation "
                                    << static_cast<int>(row.Operation));
    PicOpsBench b(row.Type, false);
    if (row.Chip != nullptr) b.PutChip(row.Chip);
    Prepare(b, row.How);
    b.Reporter.Answers.push_back(row.Accept);
    PicOperations ops(b.Unit, b.kBaud, b.Type);
    EXPECT_EQ(b.Run(ops, {StepOf(row.Operation, ops, b.Images)}), row.Result);
    const auto& lines = b.Reporter.Lines;
    EXPECT_NE(std::find(lines.begin(), lines.end(), row.Line), lines.end()) << row.Line;
    EXPECT_EQ(b.Reporter.Questions.size(), row.How == Setup::OtherChip ? 1u : 0u);
    if (b.Chip == nullptr) continue;
    EXPECT_EQ(b.Chip->ConfigWord(7) & 0x3FFF, row.Config);
    EXPECT_EQ(b.Chip->ProgramWord(0), row.Word0);
  }
}

}  // namespace
}  // namespace pw
