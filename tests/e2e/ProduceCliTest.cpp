// pinwright-cli produce and report on a simulated chip tray: serial numbers stamped and
// recorded chip after chip, two programmers sharing one job, a stop that waits for the chip,
// and a record that cannot be written.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>

#include "support/RunningProgram.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

/// 32 flash bytes; byte 0x10 has bit 0 set, which a faulty chip of the tray holds at 0.
constexpr const char* kFirmware =
    ":10000000000102030405060708090A0B0C0D0E0F78\n:10001000111112131415161718191A1B1C1D1E1F58\n:00000001FF\n";
constexpr const char* kData = ":04000000DEADBEEFC4\n:00000001FF\n";
constexpr std::uint32_t kSerialAt = 0x10;

/// A folder with a job for an ATmega328P (firmware, EEPROM data, a little-endian serial number
/// from 1000 in the EEPROM), and tray benches whose chips keep their memories in chips/.
struct ProduceBench {
  test::TempDir dir;

  ProduceBench() {
    dir.Write("fw.hex", kFirmware);
    dir.Write("data.hex", kData);
    dir.Write("job.ini",
              "[Job]\nName=blink\nPage=avr\nType=ATmega328P\nFlash=fw.hex\nEeprom=data.hex\n"
              "[Serial]\nMemory=eeprom\nAddress=0x10\nEncoding=le\nWidth=4\nFirst=1000\n");
    fs::create_directories(dir / "chips");
  }
  /// A tray of chips chips, those of faulty with a stuck flash bit; extra ends [Timing] or more.
  void Tray(const std::string& name, int chips, const std::string& faulty, const std::string& tag = "",
            const std::string& extra = "") const {
    dir.Write(name, "[Tray]\nSocket=AVR\nChips=" + std::to_string(chips) + "\nPeriodMs=3000\nOutMs=600\nFaulty=" +
                        faulty + "\n[AVR]\nPart=ATmega328P\nFlash=chips/flash" + tag + "-{n}.bin\nEeprom=chips/eeprom" +
                        tag + "-{n}.bin\n[TrayFaulty]\nStuckFlash=0010:0:0\n" + extra);
  }
  test::CliResult Cli(const std::vector<std::string>& args) const { return test::RunCli(args, dir.Path()); }
  /// The serial number chip n of tray tag holds, little-endian at kSerialAt of its EEPROM.
  std::int64_t ChipSerial(int n, const std::string& tag = "") const {
    const auto bytes = test::ReadBytes(dir / ("chips/eeprom" + tag + "-" + std::to_string(n) + ".bin"));
    std::int64_t value = 0;
    for (int k = 3; k >= 0; --k) value = value * 256 + bytes.at(kSerialAt + static_cast<std::uint32_t>(k));
    return value;
  }
  /// serial → result of every finished row, as sqlite3 reads the record.
  std::map<std::int64_t, std::string> Rows() const {
    const auto r = test::RunProgram(
        "sqlite3", {"job.sqlite", "select serial, outcome from chips where outcome is not null"}, dir.Path());
    std::map<std::int64_t, std::string> rows;
    for (const std::string& line : r.Lines()) rows[std::stoll(line)] = line.substr(line.find('|') + 1);
    return rows;
  }
};

TEST(ProduceCli, TwentyChipsWithTwoFaultyOnesAreNumberedStampedAndRecordedAsTheCsvSays) {
  ProduceBench b;
  b.Tray("tray.ini", 20, "5,12");
  const auto run = b.Cli({"--simulator=tray.ini", "produce", "job.ini", "--count", "18"});
  ASSERT_EQ(run.Status, 0) << run.Out << run.Err;
  EXPECT_NE(run.Out.find("микросхема №1004: брак"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("годных 18, брак 2"), std::string::npos) << run.Out;
  const auto rows = b.Rows();
  ASSERT_EQ(rows.size(), 20u);
  for (int n = 1; n <= 20; ++n) {
    SCOPED_TRACE("chip " + std::to_string(n));
    const bool faulty = n == 5 || n == 12;
    EXPECT_EQ(rows.at(999 + n), faulty ? "failed" : "passed");
    // A faulty chip fails the flash verify before its EEPROM is written.
    if (!faulty) {
      EXPECT_EQ(b.ChipSerial(n), 999 + n);
    }
  }
  const auto report = b.Cli({"report", "job.ini", "--csv", "blink.csv"});
  ASSERT_EQ(report.Status, 0) << report.Err;
  const std::string csv = test::ReadText(b.dir / "blink.csv");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 21) << csv;
  EXPECT_NE(csv.find("1011"), std::string::npos) << csv;
}

TEST(ProduceCli, TwoProgrammersSharingOneJobAndRecordNeverGiveANumberTwice) {
  ProduceBench b;
  b.Tray("a.ini", 4, "", "a");
  b.Tray("b.ini", 4, "", "b");
  test::RunningProgram first(PINWRIGHT_CLI, {"--simulator=a.ini", "produce", "job.ini", "--count", "4"}, b.dir.Path());
  test::RunningProgram second(PINWRIGHT_CLI, {"--simulator=b.ini", "produce", "job.ini", "--count", "4"}, b.dir.Path());
  const auto r1 = first.Finish();
  const auto r2 = second.Finish();
  ASSERT_EQ(r1.Status, 0) << r1.Out << r1.Err;
  ASSERT_EQ(r2.Status, 0) << r2.Out << r2.Err;
  std::map<std::int64_t, int> given;
  for (const char* tag : {"a", "b"}) {
    for (int n = 1; n <= 4; ++n) ++given[b.ChipSerial(n, tag)];
  }
  EXPECT_EQ(given.size(), 8u);
  EXPECT_EQ(given.begin()->first, 1000);
  EXPECT_EQ(b.Rows().size(), 8u);
}

TEST(ProduceCli, CtrlCInTheMiddleOfAChipEndsTheRunWhenThatChipIsWholeAndRecorded) {
  ProduceBench b;
  b.Tray("tray.ini", 5, "", "", "[Timing]\nRealTime=yes\nSampleRate=20000\n");
  test::RunningProgram run(PINWRIGHT_CLI, {"--simulator=tray.ini", "produce", "job.ini"}, b.dir.Path());
  ASSERT_TRUE(run.WaitForLine("файл Еепром"));
  run.Signal(SIGINT);
  const auto r = run.Finish();
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_NE(r.Out.find("микросхема №1000: годна"), std::string::npos) << r.Out;
  EXPECT_EQ(b.Rows(), (std::map<std::int64_t, std::string>{{1000, "passed"}}));
  EXPECT_EQ(b.ChipSerial(1), 1000);
  EXPECT_FALSE(fs::exists(b.dir / "chips/eeprom-2.bin"));
}

TEST(ProduceCli, ARecordThatCannotBeOpenedOrWrittenStopsTheRunBeforeAChipIsProgrammed) {
  ProduceBench b;
  b.Tray("tray.ini", 3, "");
  std::string lostJob = test::ReadText(b.dir / "job.ini");
  b.dir.Write("lost.ini", lostJob.insert(std::string("[Job]\n").size(), "Database=no/such/folder.sqlite\n"));
  const auto lost = b.Cli({"--simulator=tray.ini", "produce", "lost.ini"});
  EXPECT_EQ(lost.Status, 1) << lost.Out << lost.Err;
  EXPECT_NE(lost.Err.find("no/such/folder.sqlite"), std::string::npos) << lost.Err;
  EXPECT_FALSE(fs::exists(b.dir / "chips/flash-1.bin"));
  ASSERT_EQ(b.Cli({"--simulator=tray.ini", "produce", "job.ini", "--count", "1"}).Status, 0);
  fs::remove(b.dir / "chips/eeprom-1.bin");
  fs::remove(b.dir / "chips/flash-1.bin");
  // Every new row now fails, as on a full disk.
  const std::string trigger = "create trigger full before insert on chips begin select raise(abort, 'disk full'); end";
  ASSERT_EQ(test::RunProgram("sqlite3", {"job.sqlite", trigger}, b.dir.Path()).Status, 0);
  const auto run = b.Cli({"--simulator=tray.ini", "produce", "job.ini"});
  EXPECT_EQ(run.Status, 1) << run.Out << run.Err;
  EXPECT_NE(run.Err.find("Производство остановлено"), std::string::npos) << run.Err;
  EXPECT_FALSE(fs::exists(b.dir / "chips/eeprom-1.bin"));
  EXPECT_FALSE(fs::exists(b.dir / "chips/flash-1.bin"));
}

}  // namespace
}  // namespace pw
