#pragma once
/// @file
/// What the PIC operations run on without a window: a part on the PIC header of a fresh virtual
/// programmer (or none), the type's values from the project's PIC.ini, images to write from and
/// a scripted reporter.

#include <memory>
#include <string>
#include <vector>

#include "frame/Frame.h"
#include "frame/MemoryImages.h"
#include "pic/PicOperations.h"
#include "sim/SimFt232r.h"
#include "sim/SimPic.h"
#include "support/RecordingReporter.h"
#include "support/TestDirs.h"

namespace pw::test {

struct PicOpsBench {
  static constexpr std::int32_t kBaud = 19200;

  /// part: the type, and the chip on the header unless withChip is false.
  explicit PicOpsBench(const std::string& part, bool withChip = true)
      : Type(ReadPicType(IniFile::Load(BinDir() / kPicTypesFile), part)) {
    Sim.AddProgrammer({});
    if (withChip) PutChip(part);
  }
  /// Puts a part on the PIC header, which may be another than the type.
  void PutChip(const std::string& part) {
    sim::SimBoard& board = *Sim.Devices()[0]->Board;
    board.Pic = std::make_unique<sim::SimPic>(*sim::FindSimPicPart(part));
    Chip = static_cast<sim::SimPic*>(board.Pic.get());
  }
  /// Runs steps of ops on the frame and returns how the run ended.
  Outcome Run(PicOperations& ops, const std::vector<OperationStep>& steps) {
    OperationRun run(Reporter);
    return RunFrame(Unit, run, ops.Target(), steps);
  }
  /// Words 0 .. n - 1 of the flash image filled with 14-bit values of a pattern, as a file would.
  void FillFlash(std::int32_t n, std::uint16_t mask = 0x3FFF) {
    for (std::int32_t w = 0; w < n; ++w) {
      Images.FlashImage[static_cast<std::size_t>(w)] = static_cast<std::uint16_t>((w * 37 + 5) & mask);
      Images.FlashFilled[static_cast<std::size_t>(w)] = true;
    }
    Images.FlashDataCount = n;
  }
  /// Locations 0 .. n - 1 of the data image filled with location + 1, as a file would.
  void FillData(std::int32_t n) {
    for (std::int32_t k = 0; k < n; ++k) {
      Images.EepromImage[static_cast<std::size_t>(2 * k)] = static_cast<std::uint8_t>(k + 1);
      Images.EepromFilled[static_cast<std::size_t>(2 * k)] = true;
    }
    Images.EepromDataCount = 2 * n;
  }

  sim::SimFt232r Sim;
  D2XXUnit Unit{Sim};
  RecordingReporter Reporter;
  PicTypeValues Type;
  MemoryImages Images;
  sim::SimPic* Chip = nullptr;
};

}  // namespace pw::test
