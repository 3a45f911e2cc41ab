// The AVR operations without a window, in the frame's order: what a fault of the input, of the
// chip or of the USB link, an answer No and a stop leave on the simulated chip, in the files and
// in the outcome.

#include <gtest/gtest.h>

#include <algorithm>

#include "avr/AvrOperations.h"
#include "avr/AvrTexts.h"
#include "frame/MemoryImages.h"
#include "frame/Texts.h"
#include "sim/Bench.h"
#include "sim/SimAvr.h"
#include "support/RecordingReporter.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

enum class Op { ReadFlash, WriteFlash, VerifyFlash, WriteEeprom, WriteFuses, Erase };

struct Case {
  const char* What;
  Op Operation;
  /// The part on the header (nullptr: none) and more lines of its bench section.
  const char* Part;
  std::string Extra;
  /// Words or bytes the image holds (a pattern that differs from an erased chip).
  std::int32_t Size;
  Outcome Result;
  /// The last lines of the log; none: the log stays empty.
  std::vector<std::string> Tail;
  bool ChipChanged;
  int StopAtLook = 0;
  /// The n-th USB write fails (0: none): open and identification take 40.
  std::uint32_t FailWrite = 0;
  bool Yes = true;
  /// A chips.ini of the case's own; empty: the project's.
  std::string ChipsIni = {};
};

/// One run of one operation on a fresh bench; what the chip held before it.
struct OperationsRun {
  explicit OperationsRun(const Case& c)
      : bench(sim::Bench::FromText(c.Part ? std::string("[AVR]\nPart=") + c.Part + "\n" + c.Extra : "[Programmer]\n",
                                   dir.Path())) {
    for (std::int32_t k = 0; k < c.Size; ++k) {
      images.FlashImage[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(0x1200 + k);
      images.EepromImage[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(0x40 + k);
      images.FlashFilled[static_cast<std::size_t>(k)] = images.EepromFilled[static_cast<std::size_t>(k)] = true;
    }
    images.FlashDataCount = images.EepromDataCount = c.Size;
    if (c.FailWrite != 0) bench->Programmer().Faults().FailCall(sim::SimCall::Write, c.FailWrite, FT_IO_ERROR);
    reporter.StopAtLook = c.StopAtLook;
    reporter.Answers.push_back(c.Yes);
  }
  OperationStep Make(Op op, AvrOperations& ops) {
    switch (op) {
      case Op::ReadFlash:
        return ops.ReadFlash(dir / "out.hex");
      case Op::WriteFlash:
        return ops.WriteFlash(images.Flash());
      case Op::VerifyFlash:
        return ops.VerifyFlash(images.Flash());
      case Op::WriteEeprom:
        return ops.WriteEeprom(images.Eeprom());
      case Op::WriteFuses:
        return ops.WriteFuses([](const AvrChip&) { return AvrFuseSetting{{0xE2, 0xD9, 0xFF}, 0xFF}; });
      case Op::Erase:
        return ops.Erase();
    }
    return {};
  }
  /// Flash, EEPROM and fuses of the chip, as one list to compare.
  std::vector<std::uint8_t> Chip() {
    if (!bench->Board()->Avr) return {};
    const sim::SimAvrCore& core = dynamic_cast<sim::SimAvr&>(*bench->Board()->Avr).Core();
    std::vector<std::uint8_t> all(core.Flash);
    all.insert(all.end(), core.Eeprom.begin(), core.Eeprom.end());
    all.insert(all.end(), core.FusesAndLock.begin(), core.FusesAndLock.end());
    return all;
  }

  test::TempDir dir;
  std::unique_ptr<sim::Bench> bench;
  D2XXUnit unit{bench->Programmer()};
  MemoryImages images;
  test::RecordingReporter reporter;
};

TEST(AvrOperations, NothingOnTheChipChangesBeforeEveryCheckHasPassedAndFailuresEndAsTheySay) {
  const std::string partly = texts::PartlyWritten("Прошить Flash");
  const std::string notServed = "Ошибка: чип не опознан, сигнатура: ";
  // A silent chip's failure is followed by what its answers mean.
  const std::string misoHigh = std::string(texts::kDiagnosisFacts) + texts::kAvrMisoHigh;
  const std::string power = std::string(texts::kDiagnosisAdvice) + texts::kAvrMisoHighAdvice;
  const std::string stopped = texts::Stopped(texts::Undone(14, 256, "страниц флеши") + texts::kStoppedRead);
  const char* m328 = "ATmega328P";
  const auto E = Outcome::ErrorReport;
  const auto T = Outcome::TargetProblem;
  // clang-format off
  const Case cases[] = {
      {"nothing loaded", Op::WriteFlash, m328, "", 0, E, {texts::kNothingToWrite}, false},
      {"nothing loaded", Op::WriteEeprom, m328, "", 0, E, {texts::kNothingToWrite}, false},
      {"nothing loaded", Op::VerifyFlash, m328, "", 0, E, {texts::kNothingToVerify}, false},
      {"too large", Op::WriteFlash, m328, "", 16385, E,
       {"Ошибка: в файле 16385 слов, а в чипе 16384 слов, запись отменена"}, false},
      {"too large", Op::WriteEeprom, m328, "", 1025, E,
       {"Ошибка: в файле 1025 байт, а в чипе 1024 байт, запись отменена"}, false},
      {"no chip", Op::ReadFlash, nullptr, "", 0, T, {notServed + "0xFF 0xFF 0xFF", misoHigh, power}, false},
      {"no chip", Op::WriteFuses, nullptr, "", 0, T, {notServed + "0xFF 0xFF 0xFF", misoHigh, power}, false},
      {"no chip", Op::Erase, nullptr, "", 0, T, {"Ошибка: чип не отвечает", misoHigh, power}, false},
      {"a chip chips.ini lacks", Op::ReadFlash, "ATmega2560", "", 0, T, {notServed + "0x1E 0x98 0x01"}, false, 0, 0,
       true, test::ChipsIniWithout("0x1E 0x98 0x01")},
      {"silent mid-way", Op::ReadFlash, m328, "SilentAfter=20000\n", 0, T,
       {"Ошибка: чип не отвечает", "Ошибка: файл не сохранён"}, false},
      {"silent mid-way", Op::WriteFlash, m328, "SilentAfter=2000\n", 2000, T, {partly}, true},
      {"answer No", Op::WriteFuses, m328, "", 0, Outcome::Success, {}, false, 0, 0, false},
      {"stop", Op::ReadFlash, m328, "", 0, Outcome::Stopped, {stopped}, false, 2},
      {"stop", Op::WriteFlash, m328, "", 2000, Outcome::Stopped, {partly}, true, 2},
      {"USB fault", Op::ReadFlash, m328, "", 0, E, {"чтение флеш"}, false, 0, 45},
      {"USB fault", Op::WriteFlash, m328, "", 2000, E, {partly}, true, 0, 60},
      {"works", Op::ReadFlash, m328, "", 0, Outcome::Success, {"файл сохранён"}, false},
      {"works", Op::WriteEeprom, m328, "", 100, Outcome::Success, {"Ошибок нет"}, true},
      {"works", Op::WriteFuses, m328, "", 0, Outcome::Success, {"конфигурация и защита прошиты"}, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.What) + ", operation " + std::to_string(static_cast<int>(c.Operation)));
    OperationsRun r(c);
    const auto before = r.Chip();
    const auto chipsIni =
        c.ChipsIni.empty() ? test::SourceDir() / "data" / "chips.ini" : r.dir.Write("chips.ini", c.ChipsIni);
    AvrOperations ops(r.unit, {.Baud = 19200, .ChipsIni = chipsIni});
    const OperationStep steps[] = {r.Make(c.Operation, ops)};
    OperationRun run(r.reporter);
    EXPECT_EQ(RunFrame(r.unit, run, ops.Target(), steps), c.Result);
    const auto& lines = r.reporter.Lines;
    const std::size_t n = c.Tail.empty() ? lines.size() : std::min(c.Tail.size(), lines.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<std::ptrdiff_t>(n), lines.end()), c.Tail);
    EXPECT_EQ(r.Chip() != before, c.ChipChanged);
    EXPECT_EQ(std::filesystem::exists(r.dir / "out.hex"), c.Operation == Op::ReadFlash && c.Result == Outcome::Success);
    EXPECT_EQ(r.reporter.Errors, c.FailWrite != 0 ? std::vector<std::string>{"FT_Write - General IO error..."}
                                                  : std::vector<std::string>{});
    EXPECT_FALSE(r.bench->Programmer().Devices().front()->Open);
    EXPECT_EQ(r.bench->Programmer().Devices().front()->Mask, 0) << "pins released";
  }
}

}  // namespace
}  // namespace pw
