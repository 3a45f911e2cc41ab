// The PIC18 types of PIC.ini on the simulated PIC18 chips through pinwright-cli: each identified
// by its device ID, erased, written from a gpasm image (code across a write-buffer boundary, IDs,
// configuration, data EEPROM), compared and dumped, then code-protected so that a write fails,
// and erased and written again. One row runs under the datasheet timing model.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "pic/PicTexts.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::RunCli;

struct Type {
  const char* Name;
  bool Datasheet;
  /// The oscillator setting's name in gpasm: FOSC on the 2455 family, OSC on the 2420 family.
  const char* Oscillator;
};
const Type kTypes[] = {{"PIC18F2455", false, "FOSC"}, {"PIC18F2550", false, "FOSC"}, {"PIC18F4455", false, "FOSC"},
                       {"PIC18F4550", true, "FOSC"},  {"PIC18F2420", false, "OSC"},  {"PIC18F2520", false, "OSC"},
                       {"PIC18F4420", false, "OSC"},  {"PIC18F4520", true, "OSC"}};

/// Words on both sides of the 32-byte write-buffer boundary at 0x20, two ID bytes, three data
/// EEPROM bytes and the configuration, with the boot block's code protection as protection says.
std::string Image(const char* oscillator, const char* protection) {
  return std::string("        config ") + oscillator + " = HS, WDT = OFF, LVP = OFF, CPB = " + protection +
         "\n        __idlocs 0x200000, 0x5\n        __idlocs 0x200003, 0xC\n        org 0\n"
         "        dw 0x1234, 0xABCD\n        org 0x1C\n        dw 0x1111, 0x2222, 0x3333, 0x4444\n"
         "        org 0xF00000\n        de 0x01, 0x55, 0xAA\n        end\n";
}

bool Holds(const test::CliResult& r, const std::string& line) {
  const auto lines = r.Lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct Bench {
  explicit Bench(const Type& type) : name(type.Name) {
    const std::string processor = std::string(type.Name).substr(3);
    dir.Write("plain.asm", Image(type.Oscillator, "OFF"));
    dir.Write("protected.asm", Image(type.Oscillator, "ON"));
    const std::string assemble = "cd '" + dir.Path().string() + "' && gpasm -p" + processor +
                                 " plain.asm >/dev/null && gpasm -p" + processor + " protected.asm >/dev/null";
    assembled = std::system(assemble.c_str()) == 0;
    const std::string timing = type.Datasheet ? "[Timing]\nModel=datasheet\n" : "";
    dir.Write("bench.ini", "[PIC]\nPart=" + name + "\nMemory=chip.bin\n" + timing);
  }
  test::CliResult Run(const std::string& operation, const std::string& file = "", const char* as = nullptr) {
    std::vector<std::string> args = {"--simulator=" + (dir / "bench.ini").string(), "pic", as ? as : name, operation};
    if (!file.empty()) args.push_back(file);
    return RunCli(args, dir.Path());
  }

  test::TempDir dir;
  std::string name;
  bool assembled = false;
};

TEST(Pic18Families, EveryTypeIsIdentifiedErasedWrittenProtectedAndErasedAgain) {
  if (std::system("command -v gpasm >/dev/null 2>&1") != 0) GTEST_SKIP() << "gpasm is not installed";
  for (const Type& type : kTypes) {
    SCOPED_TRACE(type.Name);
    Bench b(type);
    ASSERT_TRUE(b.assembled);
    auto r = b.Run("erase");
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_EQ(r.Lines().back(), "флеш и еепром стёрты");
    r = b.Run("write-dump", "plain.hex");
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    for (const char* line : {texts::kPicFlashWritten, texts::kPicDataWritten, texts::kPicConfigWritten}) {
      EXPECT_TRUE(Holds(r, line)) << line << "\n" << r.Out;
    }
    // The chip holds the image, and the dump holds the chip.
    ASSERT_EQ(b.Run("read-dump", "back.hex").Status, 0);
    for (const char* file : {"plain.hex", "back.hex"}) {
      r = b.Run("verify", file);
      EXPECT_EQ(r.Status, 0) << file << "\n" << r.Out << r.Err;
      EXPECT_TRUE(Holds(r, texts::kPicFlashSame) && Holds(r, texts::kPicDataSame)) << r.Out;
    }
    // Boot-block protection: program memory there reads 0 and takes no write.
    ASSERT_EQ(b.Run("write-dump", "protected.hex").Status, 0);
    r = b.Run("write-flash", "plain.hex");
    EXPECT_EQ(r.Status, 2) << r.Out << r.Err;
    EXPECT_TRUE(Holds(r, texts::kPicWriteFailed)) << r.Out;
    // The chip erase lifts it.
    ASSERT_EQ(b.Run("erase").Status, 0);
    r = b.Run("write-dump", "plain.hex");
    EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
  }
}

TEST(Pic18Families, AnotherPartsDeviceIdIsRefusedBeforeAnythingChanges) {
  Bench b(kTypes[3]);
  const auto r = b.Run("erase", "", "PIC18F2455");
  EXPECT_EQ(r.Status, 2) << r.Out << r.Err;
  EXPECT_TRUE(Holds(r, texts::kPicOtherChipRefused)) << r.Out;
}

}  // namespace
}  // namespace pw
