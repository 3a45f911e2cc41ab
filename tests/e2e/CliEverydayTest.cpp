// pinwright-cli as used every day: names in any case, options anywhere, --version, files
// checked before the programmer is opened, --erase and the hint of a verify on a written chip.

#include <gtest/gtest.h>

#include <filesystem>

#include "avr/AvrTexts.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::RunCli;

constexpr const char* kBlink = ":08000000259A1D9AFECF0000B5\n:00000001FF\n";
/// The same four words with other bits set: it programs over kBlink only after an erase.
constexpr const char* kOther = ":08000000DA65E2650130FFFF43\n:00000001FF\n";

TEST(CliEveryday, FilesThatCannotServeAreRefusedBeforeTheProgrammerIsOpened) {
  test::TempDir dir;
  dir.Write("garbage.hex", "this is no HEX file\n");
  dir.Write("empty.hex", ":00000001FF\n");
  std::filesystem::create_directory(dir / "folder.hex");
  struct Case {
    std::vector<std::string> Command;
    std::string Message;
  } cases[] = {
      {{"avr", "write-flash", "missing.hex"}, "Ошибка! Файл не найден! missing.hex"},
      {{"avr", "write-eeprom", "folder.hex"}, "Ошибка: folder.hex не обычный файл"},
      {{"avr", "write-flash", "garbage.hex"}, "Ошибка в файле garbage.hex: "},
      {{"pic", "PIC16F628A", "write-dump", "empty.hex"}, "Ошибка в файле empty.hex: "},
      {{"i2c", "24C256", "write", "missing.hex"}, "missing.hex"},
      {{"avr", "read-flash", "no/such/folder/out.hex"},
       "Ошибка: нет папки no/such/folder для файла no/such/folder/out.hex"},
      {{"i2c", "24C256", "read", "folder.hex"}, "Ошибка: folder.hex это папка, а не файл"},
      {{"pic", "PIC16F628A", "read-dump", "nowhere/dump.hex"}, "нет папки nowhere"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"--simulator", "--trace", "trace.bin"};
    args.insert(args.end(), c.Command.begin(), c.Command.end());
    const auto r = RunCli(args, dir.Path());
    const std::string what = testing::PrintToString(c.Command);
    EXPECT_EQ(r.Status, 1) << what;
    EXPECT_NE(r.Err.find(c.Message), std::string::npos) << what << ": " << r.Err;
    // Identification logs and tracing starts as soon as the programmer is opened: neither happened.
    EXPECT_EQ(r.Out, "") << what;
    EXPECT_FALSE(std::filesystem::exists(dir / "trace.bin")) << what;
  }
}

TEST(CliEveryday, NamesMatchInAnyCaseAndOptionsStandAnywhere) {
  test::TempDir dir;
  struct Case {
    std::vector<std::string> Args;
    int Status;
    std::string Said;  // on standard output, or standard error for a mistake
  } cases[] = {
      {{"--version"}, 0, "pinwright-cli 3.4\n"},
      {{"AVR", "Identify", "--simulator"}, 0, "ATmega328P"},
      {{"i2c", "24c256", "READ", "dump.hex", "--simulator"}, 0, "чтение Eeprom завершено"},
      {{"--simulator", "I2C", "scan"}, 0, "на шине отвечают: 0x50\n"},  // the built-in bench's 24C256
      {{"--simulator", "avr", "indentify"}, 64, "может быть, identify?"},
      {{"--simulator", "i2c", "24C265", "read", "x.hex"}, 64, "нет типа 24C265; может быть, 24C256?"},
      {{"--simulator", "pic", "PIC16F62A", "read-config"}, 64, "может быть, PIC16F627A, PIC16F628A?"},
      {{"--simulator", "avr", "identify", "--baud", "3000001"}, 64, "--baud: нужно auto или число от 300 до 3000000"},
      {{"--simulator", "avr", "identify", "--erase"}, 64, "--erase только вместе с avr write-flash"},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(c.Args, dir.Path());
    const std::string what = testing::PrintToString(c.Args);
    EXPECT_EQ(r.Status, c.Status) << what << "\n" << r.Err;
    EXPECT_NE((c.Status == 0 ? r.Out : r.Err).find(c.Said), std::string::npos) << what << "\n" << r.Out << r.Err;
    // Standard error is no terminal here: no progress line is drawn on it.
    if (c.Status == 0) {
      EXPECT_EQ(r.Err, "") << what;
    }
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "dump.hex"));
}

TEST(CliEveryday, WritingOverAWrittenChipNeedsEraseAndTheFailedVerifySaysSo) {
  test::TempDir dir;
  dir.Write("bench.ini", "[AVR]\nPart=ATmega328P\nFlash=flash.bin\n");
  dir.Write("blink.hex", kBlink);
  dir.Write("other.hex", kOther);
  struct Step {
    std::vector<std::string> Args;
    int Status;
    bool Hint;
  } steps[] = {
      {{"avr", "write-flash", "blink.hex"}, 0, false},
      {{"avr", "write-flash", "blink.hex"}, 0, false},
      {{"avr", "write-flash", "other.hex"}, 2, true},
      {{"--erase", "avr", "write-flash", "other.hex"}, 0, false},
      {{"avr", "write-flash", "blink.hex", "--erase"}, 0, false},
  };
  for (const auto& s : steps) {
    std::vector<std::string> args{"--simulator=bench.ini"};
    args.insert(args.end(), s.Args.begin(), s.Args.end());
    const auto r = RunCli(args, dir.Path());
    const std::string what = testing::PrintToString(s.Args);
    EXPECT_EQ(r.Status, s.Status) << what << "\n" << r.Out << r.Err;
    // The command line names its option, not the window's button; with the verify's other lines, on standard error.
    const std::string hint = texts::AvrEraseFirstHint(texts::kAvrEraseFirst.Command);
    EXPECT_EQ(r.Err.find(hint) != std::string::npos, s.Hint) << what << "\n" << r.Err;
    const bool erased = r.Out.find("флеш и еепром стёрты") != std::string::npos;
    EXPECT_EQ(erased, s.Args[0] == "--erase" || s.Args.back() == "--erase") << what;
  }
}

}  // namespace
}  // namespace pw
