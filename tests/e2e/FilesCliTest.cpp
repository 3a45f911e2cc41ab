// Files on the command line: "-" for standard input and output (the log then on standard
// error, nothing on standard output when the read fails), --format over the name, .rom as
// binary, an AVR ELF file for flash and EEPROM, and the refusals that leave the chip blank.

#include <gtest/gtest.h>

#include "support/TestDirs.h"

namespace pw {
namespace {

std::string Fixture(const std::string& name) { return (test::SourceDir() / "tests/e2e/data" / name).string(); }

/// pinwright-cli on a bench of an ATmega328P and a 24C04, through the shell for redirections.
test::CliResult Shell(const test::TempDir& dir, const std::string& line) {
  return test::RunProgram("sh", {"-c", std::string(PINWRIGHT_CLI) + " --simulator=bench.ini " + line}, dir.Path());
}

TEST(FilesCli, StandardStreamsFormatsAndElfFiles) {
  test::TempDir dir;
  dir.Write("bench.ini", "[AVR]\nPart=ATmega328P\nFlash=flash.bin\nEeprom=eeprom.bin\n[I2C]\nPart=24C04\n");
  dir.Write("i2c.ini", "[I2C]\nPart=24C04\n");
  dir.Write("x86.elf", test::ReadText(PINWRIGHT_CLI));
  const std::string flashHex = Fixture("m328p-flash.hex");
  const std::string elf = Fixture("m328p.elf");
  struct Step {
    std::string Line;
    int Status;
    /// What standard output must be: a file of dir to compare with, else its first line.
    std::string OutFile, OutStart;
  };
  const Step steps[] = {
      // Refused before the programmer is opened: the chip stays blank.
      {"avr write-flash - verify-flash - < " + flashHex, 1, "", ""},
      {"avr write-flash x86.elf", 1, "", ""},
      {"--format elf i2c 24C04 write " + elf, 1, "", ""},
      {"avr read-flash fw.elf", 1, "", ""},
      {"avr blank-check", 0, "", ""},
      {"avr write-flash - < " + flashHex, 0, "", ""},
      {"avr read-flash fw.hex", 0, "", ""},
      {"avr read-flash -", 0, "fw.hex", ""},
      {"avr read-fuses read-flash -", 0, "fw.hex", ""},
      {"avr read-flash fw.rom", 0, "", ""},
      {"--format bin avr read-flash -", 0, "fw.rom", ""},
      {"--format bin avr read-flash raw.hex", 0, "", ""},
      {"--format bin avr verify-flash raw.hex", 0, "", ""},
      {"avr write-eeprom " + elf + " verify-flash " + elf + " verify-eeprom " + Fixture("m328p-eeprom.hex"), 0, "", ""},
      {"--format elf avr verify-eeprom - < " + elf, 0, "", ""},
      {"--format bin i2c 24C04 read - | " + std::string(PINWRIGHT_CLI) +
           " --simulator=bench.ini --format bin i2c 24C04 verify -",
       0, "", "файл: -"},
      {"--simulator=i2c.ini avr read-flash -", 2, "", ""},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.Line);
    const auto r = Shell(dir, s.Line);
    EXPECT_EQ(r.Status, s.Status) << r.Out << r.Err;
    if (!s.OutFile.empty()) {
      EXPECT_EQ(r.Out, test::ReadText(dir / s.OutFile));
    }
    if (!s.OutStart.empty()) {
      EXPECT_TRUE(r.Out.starts_with(s.OutStart)) << r.Out;
    }
    if (s.OutFile.empty() && s.OutStart.empty() && s.Status != 0) {
      EXPECT_EQ(r.Out, "");
    }
  }
}

}  // namespace
}  // namespace pw
