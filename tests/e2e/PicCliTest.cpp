// Every type of PIC.ini on the virtual programmer through pinwright-cli: erase, a dump from a
// gpasm HEX file written and read back, the configuration word written and read back, a
// code-protected chip that refuses a write and takes one again after an erase.

#include <gtest/gtest.h>

#include <algorithm>

#include "frame/MemoryImages.h"
#include "pic/PicFiles.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::RunCli;

struct Type {
  const char* Name;
  const char* Fixture;
  bool Baseline;
  /// Configuration word with code protection on; the HEX fixture's own word has it off.
  const char* Protected;
  const char* ProtectedShown;
};
const Type kTypes[] = {
    {"PIC16F84A", "16f84a", false, "000F", "000F"},   {"PIC16F627A", "16f627a", false, "1F21", "1F21"},
    {"PIC16F628A", "16f628a", false, "1F21", "1F21"}, {"PIC16F648A", "16f648a", false, "1F21", "1F21"},
    {"PIC16F873A", "16f873a", false, "1F71", "1F71"}, {"PIC16F874A", "16f874a", false, "1F71", "1F71"},
    {"PIC16F876A", "16f876a", false, "1F71", "1F71"}, {"PIC16F877A", "16f877a", false, "1F71", "1F71"},
    {"PIC12F508", "12f508", true, "0FE2", "0FE2"},    {"PIC12F509", "12f509", true, "0FE2", "0FE2"},
};

MemoryImages Load(const std::filesystem::path& file) {
  MemoryImages images;
  LoadPicFile(file, images);
  return images;
}

/// Every location the input file holds reads back the same from the dump.
void ExpectDumpHolds(const std::filesystem::path& in, const std::filesystem::path& out, bool baseline) {
  const MemoryImages written = Load(in);
  const MemoryImages read = Load(out);
  const std::uint16_t mask = baseline ? 0xFFF : 0x3FFF;
  for (std::int32_t w = 0; w < written.FlashDataCount; ++w) {
    if (!written.FlashFilled[static_cast<std::size_t>(w)]) continue;
    ASSERT_EQ(read.FlashImage[static_cast<std::size_t>(w)] & mask, written.FlashImage[static_cast<std::size_t>(w)])
        << "word " << w;
  }
  for (std::int32_t b = 0; b < written.EepromDataCount; b += 2) {
    if (!written.EepromFilled[static_cast<std::size_t>(b)]) continue;
    ASSERT_EQ(read.EepromImage[static_cast<std::size_t>(b)], written.EepromImage[static_cast<std::size_t>(b)])
        << "byte " << b;
  }
  if (baseline) return;
  // IDs 0x2000 to 0x2003 and the configuration word 0x2007, 14 bits each.
  for (const std::size_t k : {0u, 1u, 2u, 3u, 7u}) {
    const auto word = [k](const MemoryImages& m) {
      return (m.ConfigImage[2 * k] | (m.ConfigImage[2 * k + 1] << 8)) & 0x3FFF;
    };
    EXPECT_EQ(word(read), word(written)) << "configuration word " << k;
  }
}

/// Whether line was printed, as a log line or as a failed verify's line on standard error.
bool Holds(const test::CliResult& r, const std::string& line) {
  auto lines = r.Lines();
  const auto err = r.ErrLines();
  lines.insert(lines.end(), err.begin(), err.end());
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(PicCli, EveryTypeRoundTripsADumpConfigurationAndProtection) {
  for (const Type& type : kTypes) {
    SCOPED_TRACE(type.Name);
    test::TempDir dir;
    dir.Write("bench.ini", std::string("[PIC]\nPart=") + type.Name + "\nMemory=chip.bin\n");
    const auto in = test::SourceDir() / "tests/e2e/data/pic" / (std::string(type.Fixture) + ".hex");
    const std::string bench = "--simulator=" + (dir / "bench.ini").string();
    const auto run = [&](std::vector<std::string> args) {
      args.insert(args.begin(), {bench, "pic", type.Name});
      return RunCli(args, dir.Path());
    };

    auto r = run({"erase"});
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_EQ(r.Lines().back(), "флеш и еепром стёрты");
    r = run({"write-dump", in.string()});
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_TRUE(Holds(r, "флеш прошита и проверена ошибок нет")) << r.Out;
    EXPECT_EQ(Holds(r, "еепром прошита и проверена ошибок нет"), !type.Baseline) << r.Out;
    r = run({"read-dump", "out.hex"});
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    ExpectDumpHolds(in, dir / "out.hex", type.Baseline);

    r = run({"write-config", type.Protected});
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    r = run({"read-config"});
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_TRUE(Holds(r, std::string("Config: ") + type.ProtectedShown)) << r.Out;

    // Protected program memory takes no writes: the verify fails and says so in the status.
    r = run({"write-flash", in.string()});
    EXPECT_EQ(r.Status, 2) << r.Out << r.Err;
    EXPECT_TRUE(Holds(r, "Ошибка при прошивании")) << r.Out;

    // Protected baseline program memory reads zeros: its calibration word cannot be read before
    // the erase, and the erase says it is gone rather than write a zero in its place.
    r = run({"erase"});
    ASSERT_EQ(r.Status, type.Baseline ? 2 : 0) << r.Out << r.Err;
    r = run({"write-dump", in.string()});
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    r = run({"read-dump", "again.hex"});
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    ExpectDumpHolds(in, dir / "again.hex", type.Baseline);
  }
}

TEST(PicCli, CommandsThatCannotRunSayWhyInTheirStatus) {
  struct Case {
    std::vector<std::string> Args;
    int Status;
  };
  const auto fixture = (test::SourceDir() / "tests/e2e/data/pic/16f628a.hex").string();
  const std::vector<Case> cases = {
      {{"pic", "PIC16F628A", "write-config", "12345"}, 64},  // not a 16-bit hex word
      {{"pic", "PIC99X1", "erase"}, 64},                     // no such type
      {{"pic", "PIC12F508", "write-eeprom", fixture}, 1},    // no data memory: the file's data is refused
      {{"pic", "PIC16F84A", "write-flash", fixture}, 1},     // 2,035 words for a 1,024-word chip
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Args[1] + " " + c.Args[2]);
    test::TempDir dir;
    std::vector<std::string> args = c.Args;
    args.insert(args.begin(), "--simulator");
    const auto r = RunCli(args, dir.Path());
    EXPECT_EQ(r.Status, c.Status) << r.Out << r.Err;
  }
}

TEST(PicCli, SeveralOperationsRunInOneRunInTheirOrder) {
  test::TempDir dir;
  const auto fixture = (test::SourceDir() / "tests/e2e/data/pic/16f628a.hex").string();
  const auto r = RunCli(
      {"--simulator", "pic", "PIC16F628A", "write-flash", fixture, "write-config", "1F21", "read-config"}, dir.Path());
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  auto lines = r.Lines();
  ASSERT_EQ(lines.size(), 9u) << r.Out;
  EXPECT_EQ(lines[8].rfind("ID: ", 0), 0u) << r.Out;
  lines.pop_back();
  EXPECT_EQ(lines, (std::vector<std::string>{"файл : " + fixture, "запись флеш 2035слов",
                                             "флеш прошита и проверена ошибок нет", "чтение конфигурации",
                                             "запись конфигурации ", "конфигурация прошита и проверена ошибок нет",
                                             "чтение конфигурации", "Config: 1F21"}));
}

TEST(PicCli, VerifyComparesEachMemoryOfTheFileWithTheChip) {
  test::TempDir dir;
  dir.Write("bench.ini", "[PIC]\nPart=PIC16F628A\nMemory=chip.bin\n");
  const auto fixture = (test::SourceDir() / "tests/e2e/data/pic/16f628a.hex").string();
  const auto run = [&](const char* operation) {
    return RunCli({"--simulator=bench.ini", "pic", "PIC16F628A", operation, fixture}, dir.Path());
  };
  auto r = run("verify");  // an erased chip
  EXPECT_EQ(r.Status, 2) << r.Out << r.Err;
  EXPECT_TRUE(Holds(r, "Ошибка: флеш отличается от файла")) << r.Out;
  EXPECT_TRUE(Holds(r, "Ошибка: еепром отличается от файла")) << r.Out;
  EXPECT_TRUE(Holds(r, "Ошибка: конфигурация отличается от файла")) << r.Out;
  ASSERT_EQ(run("write-dump").Status, 0);
  r = run("verify");
  EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
  for (const char* line : {"флеш совпадает с файлом", "еепром совпадает с файлом", "конфигурация совпадает с файлом"}) {
    EXPECT_TRUE(Holds(r, line)) << r.Out;
  }
}

}  // namespace
}  // namespace pw
