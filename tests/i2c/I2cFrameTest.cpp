// The I2C operations through the frame, without a window: what a fault before, during or after
// the work leaves on the chip, in the file and in the outcome.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "i2c/I2cOperations.h"
#include "sim/Eeprom24Parts.h"
#include "sim/SimEeprom24.h"
#include "sim/SimFt232r.h"
#include "support/RecordingReporter.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

enum class Fault { None, TooLarge, NoChip, StopMidWay, UsbFailsMidWay };
enum class Op { Read, Write, Verify, Erase };

struct Case {
  Op Operation;
  Fault Injected;
  Outcome Result;
  /// Bytes of the file's 32 the chip holds afterwards (the rest reads 0x5A), or erased bytes for Erase.
  int Changed;
  bool FileSaved;
};

struct I2cFrame : ::testing::Test {
  /// A 24C02 holding 0x5A everywhere, and a file of 32 bytes (byte i = i) to write.
  void SetUp(Op op, Fault fault) {
    sim = std::make_unique<sim::SimFt232r>();
    sim::SimBoard& board = sim->AddProgrammer({});
    if (fault != Fault::NoChip) {
      board.I2c = std::make_unique<sim::SimEeprom24>(*sim::FindEeprom24Part("24C02"));
      chip = static_cast<sim::SimEeprom24*>(board.I2c.get());
      std::fill(chip->Memory().begin(), chip->Memory().end(), 0x5A);
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
      values[i] = static_cast<std::uint8_t>(i);
      filled[i] = i < 32;
    }
    if (fault == Fault::StopMidWay) reporter.StopAtLook = 2;
    // A read of the whole chip is one exchange: its reply fails; a write fails at its fourth exchange.
    if (fault == Fault::UsbFailsMidWay && op == Op::Read) sim->Faults().FailCall(sim::SimCall::Read, 1, FT_IO_ERROR);
    if (fault == Fault::UsbFailsMidWay && op != Op::Read) sim->Faults().FailCall(sim::SimCall::Write, 4, FT_IO_ERROR);
  }
  OperationStep Step(I2cOperations& ops, Op op, Fault fault) {
    const ImageData<std::uint8_t> image{values, &filled, fault == Fault::TooLarge ? 300 : 32};
    switch (op) {
      case Op::Read:
        return ops.Read(file);
      case Op::Write:
        return ops.Write(image);
      case Op::Verify:
        return ops.Verify(image);
      case Op::Erase:
        return ops.Erase();
    }
    return {};
  }

  test::TempDir dir;
  std::filesystem::path file = dir / "out.bin";
  std::unique_ptr<sim::SimFt232r> sim;
  sim::SimEeprom24* chip = nullptr;
  std::vector<std::uint8_t> values = std::vector<std::uint8_t>(512);
  std::vector<bool> filled = std::vector<bool>(512);
  test::RecordingReporter reporter;
};

TEST_F(I2cFrame, WhatAFaultLeavesOnTheChipInTheFileAndInTheOutcome) {
  const Case cases[] = {
      {Op::Write, Fault::None, Outcome::Success, 32, false},
      {Op::Write, Fault::TooLarge, Outcome::ErrorReport, 0, false},
      {Op::Write, Fault::NoChip, Outcome::TargetProblem, 0, false},
      {Op::Write, Fault::StopMidWay, Outcome::Stopped, 8, false},  // one 8-byte page, then the stop
      {Op::Write, Fault::UsbFailsMidWay, Outcome::ErrorReport, 16, false},
      {Op::Verify, Fault::None, Outcome::TargetProblem, 0, false},  // the chip holds 0x5A, not the file
      {Op::Verify, Fault::TooLarge, Outcome::ErrorReport, 0, false},
      {Op::Read, Fault::None, Outcome::Success, 0, true},
      {Op::Read, Fault::NoChip, Outcome::TargetProblem, 0, false},
      {Op::Read, Fault::UsbFailsMidWay, Outcome::ErrorReport, 0, false},
      {Op::Erase, Fault::None, Outcome::Success, 256, false},
      {Op::Erase, Fault::StopMidWay, Outcome::Stopped, 8, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "operation " << static_cast<int>(c.Operation) << ", fault "
                                    << static_cast<int>(c.Injected));
    reporter = {};
    std::filesystem::remove(file);
    SetUp(c.Operation, c.Injected);
    D2XXUnit unit(*sim);
    I2cOperations ops(unit, 19200, {"24C02", 256, 1, 8, "8", "1", ""});
    const OperationStep steps[] = {Step(ops, c.Operation, c.Injected)};
    OperationRun run(reporter);
    EXPECT_EQ(ops.Run(run, steps), c.Result) << testing::PrintToString(reporter.Lines);
    EXPECT_EQ(std::filesystem::exists(file), c.FileSaved);
    EXPECT_FALSE(sim->Devices()[0]->Open);
    if (c.Injected == Fault::TooLarge) {
      EXPECT_EQ(sim->Faults().Calls(sim::SimCall::Open), 0u);
    }
    if (chip == nullptr) continue;
    for (int a = 0; a < 256; ++a) {
      const bool erase = c.Operation == Op::Erase;
      const int expected = a < c.Changed ? (erase ? 0xFF : a) : 0x5A;
      ASSERT_EQ(chip->Memory()[static_cast<std::size_t>(a)], expected) << "byte " << a;
    }
    chip = nullptr;
  }
}

}  // namespace
}  // namespace pw
