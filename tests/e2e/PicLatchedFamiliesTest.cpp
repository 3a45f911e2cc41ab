// The PIC types that program through a write latch (16F87/88, 16F818/819, 16F882-887) through
// pinwright-cli on the virtual programmer: a gpasm image with code across a latch boundary, both
// configuration words, IDs and data memory written, read back and verified; code protection that
// refuses a write until an erase; the 16F88x's calibration word kept; another part's ID refused.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "common/HexDigits.h"
#include "frame/MemoryImages.h"
#include "pic/PicFiles.h"
#include "pic/PicTexts.h"
#include "pic/PicTypes.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

struct Type {
  const char* Name;
  /// The configuration words as written (code protection off), with it on, and the second word
  /// (0: the type has one); the bits each type has, for the compare.
  std::uint16_t Config, Protected, Config2, Bits2;
  /// Whether the bench runs under the datasheet timing model.
  bool Datasheet;
};
const Type kTypes[] = {
    {"PIC16F87", 0x3F2A, 0x1F2A, 0x3FFC, 0x0003, false},  {"PIC16F88", 0x3F2A, 0x1F2A, 0x3FFC, 0x0003, true},
    {"PIC16F818", 0x3F2A, 0x1F2A, 0, 0, false},           {"PIC16F819", 0x3F2A, 0x1F2A, 0, 0, false},
    {"PIC16F882", 0x2CD4, 0x2C94, 0x3EFF, 0x0700, true},  {"PIC16F883", 0x2CD4, 0x2C94, 0x3EFF, 0x0700, false},
    {"PIC16F884", 0x2CD4, 0x2C94, 0x3EFF, 0x0700, false}, {"PIC16F886", 0x2CD4, 0x2C94, 0x3EFF, 0x0700, true},
    {"PIC16F887", 0x2CD4, 0x2C94, 0x3EFF, 0x0700, false},
};

/// Words 0-9 cross the four- and eight-word latch boundaries; word 13 stands alone in its latch.
std::string Source(const Type& t, std::uint16_t config) {
  std::string text = "        errorlevel -1302\n        __config 0x2007, 0x" + HexDigits(config, 4) + "\n";
  if (t.Config2 != 0) text += "        __config 0x2008, 0x" + HexDigits(t.Config2, 4) + "\n";
  return text +
         "        __idlocs 0x1A2B\n        org 0\n        dw 0x2804, 0x1234, 0x0ABC, 0x3001, 0x0102, 0x2222, 0x0333,"
         " 0x1444, 0x3555, 0x0666\n        org 0x0D\n        dw 0x1DDD\n        org 0x2100\n        de 0x01, 0x55,"
         " 0xAA\n        end\n";
}

std::uint16_t Word(const std::vector<std::uint8_t>& bytes, std::size_t k) {
  return static_cast<std::uint16_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
}

/// The dump holds every program word, data byte, ID and configuration bit the image holds.
void ExpectDumpHolds(const std::filesystem::path& in, const std::filesystem::path& out, const Type& t) {
  MemoryImages written, read;
  LoadPicFile(in, written);
  LoadPicFile(out, read);
  for (std::size_t w = 0; w < static_cast<std::size_t>(written.FlashDataCount); ++w) {
    if (!written.FlashFilled[w]) continue;
    EXPECT_EQ(read.FlashImage[w] & 0x3FFF, written.FlashImage[w]) << w;
  }
  for (std::int32_t b = 0; b < written.EepromDataCount; b += 2) EXPECT_EQ(read.EepromImage[b], written.EepromImage[b]);
  for (const std::size_t k : {0u, 1u, 2u, 3u, 7u})
    EXPECT_EQ(Word(read.ConfigImage, k) & 0x3FFF, Word(written.ConfigImage, k));
  EXPECT_EQ(Word(read.ConfigImage, 8) & t.Bits2, t.Config2 & t.Bits2);
}

/// The chip's calibration word 0x2009 in the bench memory file (program words, then 0x2000 on).
std::uint16_t Calibration(const std::filesystem::path& memory, std::int32_t flashWords) {
  std::ifstream file(memory, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return Word(bytes, static_cast<std::size_t>(flashWords) + 9);
}

bool Holds(const test::CliResult& r, const std::string& line) {
  const auto lines = r.Lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(PicLatchedFamilies, EachTypeRoundTripsItsImageProtectionAndCalibration) {
  if (std::system("command -v gpasm >/dev/null 2>&1") != 0) GTEST_SKIP() << "gpasm (gputils) is not installed";
  const IniFile types = IniFile::Load(test::BinDir() / kPicTypesFile);
  for (std::size_t i = 0; i < std::size(kTypes); ++i) {
    const Type& t = kTypes[i];
    SCOPED_TRACE(t.Name);
    test::TempDir dir;
    dir.Write("x.asm", Source(t, t.Config));
    dir.Write("p.asm", Source(t, t.Protected));
    const std::string gpasm = "cd '" + dir.Path().string() + "' && gpasm -p" + std::string(t.Name).substr(3);
    ASSERT_EQ(std::system((gpasm + " x.asm >/dev/null && " + gpasm + " p.asm >/dev/null").c_str()), 0);
    const std::string timing = t.Datasheet ? "[Timing]\nModel=datasheet\n" : "";
    dir.Write("bench.ini", std::string("[PIC]\nPart=") + t.Name + "\nMemory=chip.bin\n" + timing);
    const auto run = [&](const std::string& type, std::vector<std::string> args) {
      args.insert(args.begin(), {"--simulator=" + (dir / "bench.ini").string(), "pic", type});
      return test::RunCli(args, dir.Path());
    };

    ASSERT_EQ(run(t.Name, {"erase"}).Status, 0);
    const std::int32_t flashWords = ReadPicType(types, t.Name).FlashSize;
    const std::uint16_t calibration = Calibration(dir / "chip.bin", flashWords);
    // 16F882-887 carry a factory calibration word; the others nothing there.
    EXPECT_EQ(calibration != 0xFFFF, std::string(t.Name).starts_with("PIC16F88") && std::string(t.Name).size() == 9);
    auto r = run(t.Name, {"write-dump", "x.hex"});
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_TRUE(Holds(r, texts::kPicFlashWritten)) << r.Out;
    ASSERT_EQ(run(t.Name, {"read-dump", "out.hex"}).Status, 0);
    ExpectDumpHolds(dir / "x.hex", dir / "out.hex", t);
    EXPECT_EQ(run(t.Name, {"verify", "x.hex"}).Status, 0);

    ASSERT_EQ(run(t.Name, {"write-dump", "p.hex"}).Status, 0);
    r = run(t.Name, {"write-flash", "x.hex"});
    EXPECT_EQ(r.Status, 2) << r.Out;
    EXPECT_TRUE(Holds(r, texts::kPicMismatchAt + std::string("0"))) << r.Out;
    // Another part of the same families answers with its own device ID.
    const Type& other = kTypes[(i + 1) % std::size(kTypes)];
    r = run(other.Name, {"read-config"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_TRUE(Holds(r, texts::kPicOtherChipRefused)) << r.Out;

    ASSERT_EQ(run(t.Name, {"erase"}).Status, 0);
    ASSERT_EQ(run(t.Name, {"write-dump", "x.hex"}).Status, 0);
    ASSERT_EQ(run(t.Name, {"read-dump", "again.hex"}).Status, 0);
    ExpectDumpHolds(dir / "x.hex", dir / "again.hex", t);
    EXPECT_EQ(Calibration(dir / "chip.bin", flashWords), calibration);
  }
}

}  // namespace
}  // namespace pw
