#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "frame/Frame.h"
#include "sim/Bench.h"
#include "sim/SimSpiFlash.h"
#include "spi/SpiFlashOperations.h"
#include "spi/SpiFlashTexts.h"
#include "support/RecordingReporter.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using Bytes = std::vector<std::uint8_t>;

enum class Op { Identify, Read, Write, Verify, Erase };
enum class Fault {
  None,
  NoFile,
  TooLarge,
  NoChip,
  UnknownId,
  ByteType,
  Protected,
  Stop,
  UsbFault,
  Unplugged,
  Busy,
  Differs
};
/// What the chip holds after the run: as before, the file's bytes, erased, or some of each.
enum class Left { Same, Image, Erased, Partly };

struct Row {
  const char* Name;
  Op Operation;
  Fault Problem;
  std::deque<bool> Answers;
  Outcome Result;
  Left Chip;
  /// A line the log must hold (a part of it); empty: none in particular.
  std::string Line;
  std::string Part = "W25X10";
  /// With Fault::Stop: the look at the stop request that asks for it.
  int StopLook = 1;
};

Bytes Pattern(std::size_t size, unsigned factor) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * factor + (i >> 9));
  return bytes;
}

/// One operation of a row, run through the frame on a fresh virtual programmer.
struct FlashRun {
  explicit FlashRun(const Row& row) {
    const bool chip = row.Problem != Fault::NoChip;
    const std::string status = row.Problem == Fault::Protected ? "Status=1C\n" : "";
    bench = sim::Bench::FromText(chip ? "[SPI]\nPart=" + row.Part + "\n" + status : "", dir.Path());
    if (chip) Memory() = Pattern(Memory().size(), 7);
    before = chip ? Memory() : Bytes{};
    const std::size_t size = chip ? Memory().size() : 0;
    const Bytes bytes = row.Operation == Op::Verify && row.Problem != Fault::Differs ? before : Pattern(size, 13);
    if (row.Problem != Fault::NoFile) Load(row.Problem == Fault::TooLarge ? Pattern(size + 1, 13) : bytes);
    reporter.Answers = row.Answers;
    reporter.StopAtLook = row.Problem == Fault::Stop ? row.StopLook : 0;
    auto& faults = bench->Programmer().Faults();
    if (row.Problem == Fault::UsbFault) faults.FailCall(sim::SimCall::Write, 30, FT_IO_ERROR);
    if (row.Problem == Fault::Unplugged) faults.UnplugAfter(400'000);
    if (row.Problem == Fault::Busy) Chip().HangOnNextWrite();
    if (row.Problem == Fault::UnknownId) dir.Write("SpiFlash.ini", "[Other]\nJedec=123456\nSize=4096\n");
    if (row.Problem == Fault::ByteType) {
      dir.Write("SpiFlash.ini",
                "[Bytes]\nJedec=EF3011\nSize=131072\nPageProgramUs=10,20\nSectorEraseMs=1,2\nBlockEraseMs=1,2\n"
                "ChipEraseMs=1,2\nProgram=byte\n");
    }
  }
  sim::SimSpiFlash& Chip() { return static_cast<sim::SimSpiFlash&>(*bench->Board()->Spi); }
  Bytes& Memory() { return Chip().Memory(); }
  void Load(const Bytes& bytes) {
    image.Bytes = bytes;
    image.Filled.assign(bytes.size(), true);
    image.End = static_cast<std::uint32_t>(bytes.size());
  }
  Outcome Run(const Row& row) {
    const bool own = row.Problem == Fault::UnknownId || row.Problem == Fault::ByteType;
    const auto types = own ? dir / "SpiFlash.ini" : test::SourceDir() / "data/SpiFlash.ini";
    D2XXUnit unit(bench->Programmer());
    SpiFlashOperations flash(unit, 19200, types);
    const OperationStep steps[] = {Step(flash, row.Operation)};
    OperationRun run(reporter);
    return RunFrame(unit, run, flash.Target(), steps);
  }
  OperationStep Step(SpiFlashOperations& flash, Op op) {
    switch (op) {
      case Op::Identify:
        return flash.Identify();
      case Op::Read:
        return flash.Read(dir / "out.hex");
      case Op::Write:
        return flash.Write(image, texts::kSpiWrite);
      case Op::Verify:
        return flash.Verify(image);
      case Op::Erase:
        break;
    }
    return flash.Erase(texts::kSpiErase);
  }
  Left Seen() {
    if (before.empty() || Memory() == before) return Left::Same;
    if (Memory() == image.Bytes) return Left::Image;
    return std::all_of(Memory().begin(), Memory().end(), [](std::uint8_t b) { return b == 0xFF; }) ? Left::Erased
                                                                                                   : Left::Partly;
  }

  test::TempDir dir;
  std::unique_ptr<sim::Bench> bench;
  test::RecordingReporter reporter;
  SpiFlashImage image;
  Bytes before;
};

TEST(SpiFlashOperations, NothingChangesBeforeEveryCheckHasPassedAndEachFaultEndsAsItShould) {
  const std::string partly = "Внимание! Запись прервана: микросхема могла остаться записанной частично. Повторите";
  const Row rows[] = {
      {"identify", Op::Identify, Fault::None, {}, Outcome::Success, Left::Same, "Микросхема: W25X10, ID EF 30 11"},
      {"identify: protected", Op::Identify, Fault::Protected, {}, Outcome::Success, Left::Same, "биты защиты 0x1C"},
      {"identify: no chip", Op::Identify, Fault::NoChip, {}, Outcome::TargetProblem, Left::Same, "(ID FF FF FF)"},
      {"identify: unknown", Op::Identify, Fault::UnknownId, {}, Outcome::TargetProblem, Left::Same, "ID EF 30 11 нет"},
      {"identify: unknown, no SFDP",
       Op::Identify,
       Fault::UnknownId,
       {},
       Outcome::TargetProblem,
       Left::Same,
       "SFDP микросхемы не годится: нет подписи"},
      {"write: unlisted, by SFDP",
       Op::Write,
       Fault::UnknownId,
       {},
       Outcome::Success,
       Left::Image,
       "ID 9D 60 14, нет в файле SpiFlash.ini; тип взят из SFDP: 1 Мбайт, страница 256 байт",
       "IS25LP080D"},
      {"read", Op::Read, Fault::None, {}, Outcome::Success, Left::Same, "чтение SPI Flash завершено"},
      {"read: no chip", Op::Read, Fault::NoChip, {}, Outcome::TargetProblem, Left::Same, "не отвечает"},
      {"read: stop", Op::Read, Fault::Stop, {}, Outcome::Stopped, Left::Same, "126981 из 131072 байт SPI Flash; файл"},
      {"read: unplugged", Op::Read, Fault::Unplugged, {}, Outcome::ErrorReport, Left::Same, "чтение SPI Flash"},
      {"write", Op::Write, Fault::None, {}, Outcome::Success, Left::Image, "прошивание SPI Flash завершено"},
      {"write: no file",
       Op::Write,
       Fault::NoFile,
       {},
       Outcome::ErrorReport,
       Left::Same,
       "не загружен; запись отменена"},
      {"write: too large",
       Op::Write,
       Fault::TooLarge,
       {},
       Outcome::ErrorReport,
       Left::Same,
       "Ошибка: данных в файле 131073 байт, а объём микросхемы 131072 байт; запись отменена"},
      {"write: read-only type",
       Op::Write,
       Fault::ByteType,
       {},
       Outcome::ErrorReport,
       Left::Same,
       "Ошибка: Bytes программируется не страницами (Program в SpiFlash.ini)"},
      {"write: protected, no",
       Op::Write,
       Fault::Protected,
       {},
       Outcome::Success,
       Left::Same,
       "0x1C в регистре состояния"},
      {"write: protected, yes", Op::Write, Fault::Protected, {true}, Outcome::Success, Left::Image, "Защита снята"},
      // The first block's 17 reads and its erase have been looked between: the stop comes between its pages.
      {"write: stop",
       Op::Write,
       Fault::Stop,
       {},
       Outcome::Stopped,
       Left::Partly,
       "2 из 2 блоков SPI Flash; микросхема",
       "W25X10",
       20},
      {"write: USB fault", Op::Write, Fault::UsbFault, {}, Outcome::ErrorReport, Left::Partly, partly},
      {"write: busy",
       Op::Write,
       Fault::Busy,
       {},
       Outcome::TargetProblem,
       Left::Partly,
       "(адрес 0x000000), запись прервана"},
      {"verify",
       Op::Verify,
       Fault::None,
       {},
       Outcome::Success,
       Left::Same,
       "верификация SPI Flash завершена: совпадает"},
      {"verify: differs", Op::Verify, Fault::Differs, {}, Outcome::TargetProblem, Left::Same, "Всего различий: "},
      {"verify: no file",
       Op::Verify,
       Fault::NoFile,
       {},
       Outcome::ErrorReport,
       Left::Same,
       "загружен; сравнение отменено"},
      {"verify: stop", Op::Verify, Fault::Stop, {}, Outcome::Stopped, Left::Same, "2 из 2 блоков проверки SPI Flash"},
      {"erase: no", Op::Erase, Fault::None, {}, Outcome::Success, Left::Same, ""},
      {"erase", Op::Erase, Fault::None, {true}, Outcome::Success, Left::Erased, "стирание SPI Flash завершено"},
      {"erase: protected, no",
       Op::Erase,
       Fault::Protected,
       {true, false},
       Outcome::Success,
       Left::Same,
       "не снята; стир"},
      {"erase: no chip", Op::Erase, Fault::NoChip, {true}, Outcome::TargetProblem, Left::Same, "не отвечает"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    FlashRun t(row);
    EXPECT_EQ(t.Run(row), row.Result);
    EXPECT_EQ(t.Seen(), row.Chip);
    const auto& lines = t.reporter.Lines;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const auto& l) { return l.find(row.Line) != l.npos; }))
        << testing::PrintToString(lines);
    // A read leaves its file only when it finished; input refusals never open the programmer.
    const bool saved = row.Operation == Op::Read && row.Result == Outcome::Success;
    EXPECT_EQ(std::filesystem::exists(t.dir / "out.hex"), saved);
    std::string notice;
    if (saved) {
      EXPECT_EQ(LoadSpiFlashImage(t.dir / "out.hex", notice).Bytes, t.before);
    }
    const auto opens = t.bench->Programmer().Faults().Calls(sim::SimCall::Open);
    EXPECT_EQ(opens == 0, row.Problem == Fault::NoFile);
    EXPECT_FALSE(t.bench->Programmer().Devices()[0]->Open);
  }
}

}  // namespace
}  // namespace pw
