// The production record on a temporary database: rows, summary and CSV; serial numbers spent by
// failed and unfinished chips, across reopening and across processes taking them at once; and
// files that cannot be opened or written.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <numeric>
#include <regex>
#include <sstream>

#include "common/Error.h"
#include "production/ProductionRecord.h"
#include "support/FileSizeLimit.h"
#include "support/TestDirs.h"

namespace pw::production {
namespace {

namespace fs = std::filesystem;

const SerialPlan kPlan{1000, 2};

ChipStart Chip(const std::string& job) {
  return {job, "bench-1", "PW0042", "avr", "ATmega8 1E9307", {{"main.hex", "ab01"}, {"ee, \"cal\".bin", "cd02"}}};
}

/// The message of the PinwrightError action raises; empty when it raises none.
template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const PinwrightError& e) {
    return e.what();
  }
  return {};
}

TEST(ProductionRecord, RowsSummaryAndCsvOfAJob) {
  test::TempDir dir;
  ProductionRecord record(dir / "job.db");
  const auto passed = record.Begin(Chip("J"), kPlan);
  const auto failed = record.Begin(Chip("J"), kPlan);
  const auto other = record.Begin(Chip("K"), std::nullopt);
  const auto unfinished = record.Begin(Chip("J"), kPlan);
  EXPECT_EQ(passed.Serial, 1000);
  EXPECT_EQ(failed.Serial, 1002);
  EXPECT_EQ(unfinished.Serial, 1004);
  EXPECT_EQ(other.Serial, std::nullopt);
  record.Finish(passed, ChipResult::Passed, 1.25, "");
  record.Finish(failed, ChipResult::Failed, 0.5, "Ошибка: чип не отвечает,\n\"MISO\"");
  record.Finish(other, ChipResult::Passed, 2, "");

  const auto summary = record.Summarize("J");
  EXPECT_EQ(summary.Passed, 1);
  EXPECT_EQ(summary.Failed, 1);
  EXPECT_EQ(summary.Unfinished, 1);
  EXPECT_EQ(summary.FirstSerial, 1000);
  EXPECT_EQ(summary.LastSerial, 1004);
  EXPECT_LE(summary.FirstTime, summary.LastTime);

  record.WriteCsv("J", dir / "job.csv");
  const std::regex time(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)");
  EXPECT_EQ(std::regex_replace(test::ReadText(dir / "job.csv"), time, "T"),
            "id,job,time,host,programmer,page,chip,files,serial,outcome,seconds,error\r\n"
            "1,J,T,bench-1,PW0042,avr,ATmega8 1E9307,\"main.hex=ab01;ee, \"\"cal\"\".bin=cd02\",1000,passed,1.250,\r\n"
            "2,J,T,bench-1,PW0042,avr,ATmega8 1E9307,\"main.hex=ab01;ee, \"\"cal\"\".bin=cd02\",1002,failed,0.500,"
            "\"Ошибка: чип не отвечает,\n\"\"MISO\"\"\"\r\n"
            "4,J,T,bench-1,PW0042,avr,ATmega8 1E9307,\"main.hex=ab01;ee, \"\"cal\"\".bin=cd02\",1004,,,\r\n");
}

TEST(ProductionRecord, NumbersOfFailedAndUnfinishedChipsStaySpentAfterReopening) {
  test::TempDir dir;
  {
    ProductionRecord record(dir / "job.db");
    record.Finish(record.Begin(Chip("J"), kPlan), ChipResult::Failed, 1, "Ошибка проверки");
    record.Begin(Chip("J"), kPlan);  // the process dies before it finishes this chip
  }
  ProductionRecord reopened(dir / "job.db");
  EXPECT_EQ(reopened.Begin(Chip("J"), kPlan).Serial, 1004);
  EXPECT_EQ(reopened.Begin(Chip("J"), SerialPlan{1, 1}).Serial, 1005);  // the highest given counts, not First
  EXPECT_EQ(reopened.Begin(Chip("New"), kPlan).Serial, 1000);

  // A chip whose row cannot be written gets no number: the next one gets it.
  {
    const test::FileSizeLimit full(1);
    EXPECT_EQ(ErrorOf([&] {
                reopened.Begin(Chip("J"), kPlan);
              }).rfind("Ошибка! Не удалось записать журнал производства " + (dir / "job.db").string() + ": ", 0),
              0u);
  }
  EXPECT_EQ(reopened.Begin(Chip("J"), kPlan).Serial, 1007);
}

/// Runs in a child process: takes count numbers from the record, writes them to out one a line.
[[noreturn]] void TakeNumbers(const fs::path& file, int count, const fs::path& out) {
  try {
    ProductionRecord record(file);
    std::ofstream numbers(out);
    for (int i = 0; i < count; ++i) numbers << *record.Begin(Chip("J"), SerialPlan{1, 1}).Serial << '\n';
    numbers.close();
    _exit(numbers ? 0 : 2);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    _exit(1);
  }
}

TEST(ProductionRecord, ProcessesTakingNumbersAtOnceNeverShareOrLoseOne) {
  test::TempDir dir;
  constexpr int kProcesses = 4;
  constexpr int kEach = 100;
  int start[2];
  ASSERT_EQ(::pipe(start), 0);
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      // Every child waits for the others, so that they create the file and take numbers at once.
      char go = 0;
      ::close(start[1]);
      (void)!::read(start[0], &go, 1);
      TakeNumbers(dir / "job.db", kEach, dir / ("numbers-" + std::to_string(p)));
    }
    children.push_back(pid);
  }
  ::close(start[0]);
  ::close(start[1]);
  std::vector<std::int64_t> given;
  for (int p = 0; p < kProcesses; ++p) {
    int status = 0;
    ::waitpid(children[p], &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "process " << p;
    std::istringstream numbers(test::ReadText(dir / ("numbers-" + std::to_string(p))));
    for (std::int64_t n = 0; numbers >> n;) given.push_back(n);
  }
  std::sort(given.begin(), given.end());
  std::vector<std::int64_t> all(kProcesses * kEach);
  std::iota(all.begin(), all.end(), 1);
  EXPECT_EQ(given, all);
}

TEST(ProductionRecord, AFileThatCannotBeOpenedOrWrittenIsNamedWithSqlitesReason) {
  test::TempDir dir;
  dir.Write("text.db", std::string(4096, 'x'));
  dir.Write("readonly.db", "");
  fs::permissions(dir / "readonly.db", fs::perms::owner_read);
  struct Case {
    fs::path file;
    const char* message;
    bool rootWrites;  // root writes a read-only file: the case says nothing then
  };
  const Case cases[] = {
      {dir / "missing" / "job.db", "Ошибка! Не удалось открыть журнал производства %: unable to open database file",
       false},
      {dir / "text.db", "Ошибка! Не удалось открыть журнал производства %: file is not a database", false},
      {dir / "readonly.db", "Ошибка! Не удалось записать журнал производства %: attempt to write a readonly database",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    if (c.rootWrites && ::geteuid() == 0) continue;
    std::string expected = c.message;
    expected.replace(expected.find('%'), 1, c.file.string());
    EXPECT_EQ(ErrorOf([&] { ProductionRecord record(c.file); }), expected);
  }
}

TEST(ProductionRecord, TheSummaryAsReportPrintsIt) {
  JobSummary busy{10, 2, 1, 1000, 1024, "2026-12-09T10:00:00Z", "2026-12-09T11:30:00Z"};
  JobSummary single{1, 0, 0, std::nullopt, std::nullopt, "2026-12-09T10:00:00Z", "2026-12-09T10:00:00Z"};
  const std::pair<JobSummary, const char*> cases[] = {
      {busy,
       "Задание J\n  годных: 10\n  брак: 2\n  не завершено: 1\n  серийные номера: 1000 – 1024\n"
       "  время (UTC): 2026-12-09T10:00:00Z – 2026-12-09T11:30:00Z\n  микросхем в час: 8.0\n"},
      {single,
       "Задание J\n  годных: 1\n  брак: 0\n  не завершено: 0\n  серийные номера: нет\n"
       "  время (UTC): 2026-12-09T10:00:00Z\n  микросхем в час: нет\n"},
      {JobSummary{},
       "Задание J\n  годных: 0\n  брак: 0\n  не завершено: 0\n  серийные номера: нет\n"
       "  время (UTC): нет\n  микросхем в час: нет\n"},
  };
  for (const auto& [summary, expected] : cases) {
    std::ostringstream out;
    PrintJobSummary("J", summary, out);
    EXPECT_EQ(out.str(), expected);
  }
}

}  // namespace
}  // namespace pw::production
