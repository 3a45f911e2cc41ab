// The PIC operations in the frame's order, without a window: what the person gave refused before
// the programmer is opened, a missing chip, a stop between blocks and a USB fault mid-way, each
// leaving the chip, the file and the outcome as they must be.

#include <gtest/gtest.h>

#include <algorithm>

#include "frame/Texts.h"
#include "pic/PicOpsBench.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

using test::PicOpsBench;

enum class Op { WriteFlash, WriteEeprom, WriteDump, ReadDump };
enum class Fault { NoData, TooLarge, TypeTooLarge, TypeDataTooLarge, NoChip, Stop, UsbFault };

struct Row {
  Op Operation;
  Fault Cause;
  Outcome Result;
  /// Program words and data locations of the image that reached the chip, from the first on.
  std::int32_t Words;
  std::int32_t Locations;
  /// A line the log must hold; empty: none in particular.
  std::string Line;
};

OperationStep StepOf(Op op, PicOperations& ops, const MemoryImages& images, const std::filesystem::path& file) {
  switch (op) {
    case Op::WriteFlash:
      return ops.WriteProgramMemory(images.Flash());
    case Op::WriteEeprom:
      return ops.WriteDataMemory(images.Eeprom());
    case Op::WriteDump:
      return ops.WriteDump(images.Flash(), images.Eeprom(), PicErasedArea());
    case Op::ReadDump:
      break;
  }
  return ops.ReadDump(file);
}

/// Sets the fault up on a PIC16F628A bench whose images hold 64 words (four blocks) and 32
/// locations (four blocks), or what the fault needs instead.
void Prepare(PicOpsBench& b, Fault fault) {
  if (fault != Fault::NoData) b.FillFlash(fault == Fault::TooLarge ? 2049 : 64);
  if (fault != Fault::NoData) b.FillData(fault == Fault::TooLarge ? 129 : 32);
  if (fault == Fault::TypeTooLarge) b.Type.FlashSize = 8193;
  if (fault == Fault::TypeDataTooLarge) b.Type.EepromSize = 32000;
  if (fault == Fault::Stop) b.Reporter.StopAtLook = 2;  // the stop checks before blocks 1 and 2
  // The device ID read (entry, one run), entry, blocks 0 and 1 go through.
  if (fault == Fault::UsbFault) b.Sim.Faults().FailCall(sim::SimCall::Write, 8, FT_IO_ERROR);
}

TEST(PicFrameOrder, EachFaultLeavesTheChipTheFileAndTheOutcomeAsItMust) {
  const std::string tooLarge = "Ошибка: данных в файле для ";
  const std::string stopped = "Остановлено по запросу: не выполнено — ";
  const Row rows[] = {
      {Op::WriteFlash, Fault::NoData, Outcome::ErrorReport, 0, 0, texts::kNothingToWrite},
      {Op::WriteEeprom, Fault::NoData, Outcome::ErrorReport, 0, 0, texts::kNothingToWrite},
      {Op::WriteDump, Fault::NoData, Outcome::ErrorReport, 0, 0, texts::kNothingToWrite},
      {Op::WriteFlash, Fault::TooLarge, Outcome::ErrorReport, 0, 0,
       tooLarge + "флеши 2049 слов, а у типа 2048 слов; ничего не записано"},
      {Op::WriteEeprom, Fault::TooLarge, Outcome::ErrorReport, 0, 0,
       tooLarge + "Eeprom 129 байт, а у типа 128 байт; ничего не записано"},
      {Op::WriteDump, Fault::TooLarge, Outcome::ErrorReport, 0, 0,
       tooLarge + "флеши 2049 слов, а у типа 2048 слов; ничего не записано"},
      {Op::ReadDump, Fault::TypeTooLarge, Outcome::ErrorReport, 0, 0, texts::kPicTypeTooLarge},
      {Op::ReadDump, Fault::TypeDataTooLarge, Outcome::ErrorReport, 0, 0, texts::kPicTypeTooLarge},
      {Op::WriteFlash, Fault::NoChip, Outcome::TargetProblem, 0, 0, texts::PicNoChip(0x3FFF)},
      {Op::WriteEeprom, Fault::NoChip, Outcome::TargetProblem, 0, 0, texts::PicNoChip(0x3FFF)},
      {Op::WriteFlash, Fault::Stop, Outcome::Stopped, 32, 0, stopped + "2 из 4 блоков флеши" + texts::kStoppedWrite},
      {Op::WriteEeprom, Fault::Stop, Outcome::Stopped, 0, 16, stopped + "16 из 32 байт Eeprom" + texts::kStoppedWrite},
      {Op::WriteDump, Fault::Stop, Outcome::Stopped, 32, 0, stopped + "2 из 4 блоков флеши" + texts::kStoppedWrite},
      {Op::ReadDump, Fault::Stop, Outcome::Stopped, 0, 0, stopped + "2144 из 2176 слов и байт" + texts::kStoppedRead},
      {Op::WriteFlash, Fault::UsbFault, Outcome::ErrorReport, 32, 0,
       texts::PartlyWritten(texts::kPicWriteFlashCaption)},
      {Op::WriteEeprom, Fault::UsbFault, Outcome::ErrorReport, 0, 16,
       texts::PartlyWritten(texts::kPicWriteDataCaption)},
      {Op::WriteDump, Fault::UsbFault, Outcome::ErrorReport, 32, 0, texts::PartlyWritten(texts::kPicWriteDumpCaption)},
      {Op::ReadDump, Fault::UsbFault, Outcome::ErrorReport, 0, 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "operation " << static_cast<int>(row.Operation) << ", fault "
                                    << static_cast<int>(row.Cause));
    PicOpsBench b("PIC16F628A", row.Cause != Fault::NoChip);
    Prepare(b, row.Cause);
    test::TempDir dir;
    const std::uint16_t blank = b.Chip != nullptr ? b.Chip->ProgramWord(0) : 0;  // as the fresh chip holds it
    PicOperations ops(b.Unit, b.kBaud, b.Type);
    EXPECT_EQ(b.Run(ops, {StepOf(row.Operation, ops, b.Images, dir / "dump.hex")}), row.Result);
    if (!row.Line.empty()) {
      const auto& lines = b.Reporter.Lines;
      EXPECT_NE(std::find(lines.begin(), lines.end(), row.Line), lines.end()) << row.Line;
    }
    EXPECT_EQ(b.Reporter.Errors.size(), row.Cause == Fault::UsbFault ? 1u : 0u);
    // Input refused: the programmer was never opened. Otherwise it is closed, pins released.
    const bool refused = row.Cause == Fault::NoData || row.Cause == Fault::TooLarge ||
                         row.Cause == Fault::TypeTooLarge || row.Cause == Fault::TypeDataTooLarge;
    EXPECT_EQ(b.Sim.Faults().Calls(sim::SimCall::Open), refused ? 0u : 1u);
    EXPECT_FALSE(b.Sim.Devices()[0]->Open);
    EXPECT_EQ(b.Sim.Devices()[0]->Mask, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "dump.hex")) << "a read that did not end well leaves no file";
    if (b.Chip == nullptr) continue;
    for (std::int32_t w = 0; w < 64; ++w) {
      const std::uint16_t expected = w < row.Words ? b.Images.FlashImage[static_cast<std::size_t>(w)] : blank;
      ASSERT_EQ(b.Chip->ProgramWord(static_cast<std::uint32_t>(w)), expected) << "word " << w;
    }
    for (std::int32_t k = 0; k < 32; ++k) {
      ASSERT_EQ(b.Chip->DataByte(static_cast<std::uint32_t>(k)), k < row.Locations ? k + 1 : 0xFF) << "location " << k;
    }
  }
}

}  // namespace
}  // namespace pw
