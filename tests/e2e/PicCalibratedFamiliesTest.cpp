// The 12F629, 12F683 and 16F7x families through pinwright-cli on the simulated chips: erase, a
// gpasm-built dump across a write-latch boundary written and read back, protection that refuses
// a write until the next erase, the factory calibration (OSCCAL RETLW at 0x3FF and band-gap bits,
// or the read-only word 0x2008) unchanged throughout, a file's GOTO at 0x3FF kept out and its
// RETLW taken; every type identified by its device ID and another type's refused.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "common/HexDigits.h"
#include "frame/MemoryImages.h"
#include "pic/PicFiles.h"
#include "pic/PicTexts.h"
#include "sim/SimPic.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using sim::SimPic;

enum class Family { F629, F683, F7x };

struct Type {
  const char* Name;
  Family Kind;
  bool Datasheet;  // one row per family runs under the datasheet timing model
};
const Type kTypes[] = {
    {"PIC12F629", Family::F629, false}, {"PIC12F675", Family::F629, true},  {"PIC16F630", Family::F629, false},
    {"PIC16F676", Family::F629, false}, {"PIC12F683", Family::F683, false}, {"PIC16F684", Family::F683, false},
    {"PIC16F688", Family::F683, false}, {"PIC16F631", Family::F683, false}, {"PIC16F677", Family::F683, false},
    {"PIC16F685", Family::F683, false}, {"PIC16F687", Family::F683, false}, {"PIC16F689", Family::F683, false},
    {"PIC16F690", Family::F683, true},  {"PIC16F72", Family::F7x, false},   {"PIC16F73", Family::F7x, false},
    {"PIC16F74", Family::F7x, false},   {"PIC16F76", Family::F7x, false},   {"PIC16F77", Family::F7x, true},
};

/// Configuration word of the file (protection off) and with code and data protection on.
struct Words {
  std::uint16_t Open;
  const char* Protected;
};
Words ConfigOf(Family f) {
  if (f == Family::F7x) return {0x3FF1, "3FE1"};
  // The 12F629 family's words ask for band-gap bits 00, which the chip's own replace.
  if (f == Family::F629) return {0x0FE4, "0E64"};
  return {0x3FE4, "3F24"};
}

constexpr std::uint16_t kBandGap = 0x3000;
constexpr std::size_t kOsccal = 0x3FF;

/// Six words across the first latch boundary (two or four words), IDs, the configuration word and,
/// where there is data memory, three EEPROM bytes; extra goes at the end.
std::string Source(const Type& type, const std::string& extra) {
  std::string text = "        errorlevel -1302\n        __config 0x" + HexDigits(ConfigOf(type.Kind).Open, 4) +
                     "\n        __idlocs 0x1A2B\n        org 0\n"
                     "        dw 0x2804, 0x1234, 0x0ABC, 0x3001, 0x0155, 0x2AAA\n";
  if (type.Kind != Family::F7x) text += "        org 0x2100\n        de 0x01, 0x55, 0xAA\n";
  return text + extra + "        end\n";
}

std::uint16_t Word(const std::vector<std::uint8_t>& bytes, std::size_t k) {
  return static_cast<std::uint16_t>((bytes[2 * k] | bytes[2 * k + 1] << 8) & 0x3FFF);
}

MemoryImages Load(const std::filesystem::path& file) {
  MemoryImages images;
  LoadPicFile(file, images);
  return images;
}

class Chip {
 public:
  Chip(const Type& type, const std::string& gpasm) : type_(type) {
    dir_.Write("bench.ini", std::string("[PIC]\nPart=") + type.Name + "\nMemory=chip.bin\n" +
                                (type.Datasheet ? "[Timing]\nModel=datasheet\nLatencyUs=1000\n" : ""));
    for (const auto& [file, extra] : {std::pair{"x", ""},
                                      {"goto", "        org 0x3FF\n        dw 0x2800\n"},
                                      {"retlw", "        org 0x3FF\n        dw 0x3455\n"}}) {
      dir_.Write(std::string(file) + ".asm", Source(type, extra));
      const std::string cmd = "cd '" + dir_.Path().string() + "' && " + gpasm + " " + file + ".asm >/dev/null";
      EXPECT_EQ(std::system(cmd.c_str()), 0) << file;
    }
  }
  test::CliResult Run(std::vector<std::string> args, const char* as = nullptr) {
    args.insert(args.begin(), {"--simulator=" + (dir_ / "bench.ini").string(), "pic", as ? as : type_.Name});
    return test::RunCli(args, dir_.Path());
  }
  /// The chip read whole into a dump.
  MemoryImages Dump() {
    const auto r = Run({"read-dump", "back.hex"});
    EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
    return Load(dir_ / "back.hex");
  }
  /// The factory calibration is where the family keeps it: band-gap bits and, unless it is known
  /// lost, program word 0x3FF holding osccal (12F629 family), or the read-only word 0x2008 (12F683
  /// family).
  void ExpectCalibration(std::optional<std::uint16_t> osccal = SimPic::kFactoryRetlwOsccal) {
    const MemoryImages m = Dump();
    if (type_.Kind == Family::F629) {
      if (osccal) {
        EXPECT_EQ(m.FlashImage[kOsccal] & 0x3FFF, *osccal);
      }
      EXPECT_EQ(Word(m.ConfigImage, 7) & kBandGap, SimPic::kFactoryConfigWithBandGap & kBandGap);
    }
    if (type_.Kind == Family::F683) {
      // No dump holds it: the bench's memory file keeps it after word 0x2007 (sim/SimPic.h).
      const auto bytes = test::ReadBytes(dir_ / "chip.bin");
      EXPECT_EQ(Word(bytes, sim::FindSimPicPart(type_.Name)->ProgramWords + 8), SimPic::kFactoryCalibrationWord);
    }
  }
  std::filesystem::path operator/(const char* file) const { return dir_ / file; }

 private:
  Type type_;
  test::TempDir dir_;
};

bool Holds(const test::CliResult& r, const std::string& line) {
  const auto lines = r.Lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

/// What the file holds reads back; the band-gap bits are the chip's, not the file's.
void ExpectRoundTrip(Chip& chip) {
  const MemoryImages in = Load(chip / "x.hex");
  const MemoryImages back = chip.Dump();
  for (std::size_t w = 0; w < 6; ++w) EXPECT_EQ(back.FlashImage[w] & 0x3FFF, in.FlashImage[w]) << "word " << w;
  for (std::size_t b = 0; b < static_cast<std::size_t>(in.EepromDataCount); b += 2) {
    EXPECT_EQ(back.EepromImage[b], in.EepromImage[b]) << "byte " << b;
  }
  for (const std::size_t k : {0u, 1u, 2u, 3u, 7u}) {
    EXPECT_EQ(Word(back.ConfigImage, k) | kBandGap, Word(in.ConfigImage, k) | kBandGap) << "word " << k;
  }
}

TEST(PicCalibratedFamilies, EveryTypeRoundTripsProtectsAndKeepsItsFactoryCalibration) {
  if (std::system("command -v gpasm >/dev/null 2>&1") != 0) GTEST_SKIP() << "gpasm (gputils) is not installed";
  for (const Type& type : kTypes) {
    SCOPED_TRACE(type.Name);
    Chip chip(type, "gpasm -p" + std::string(type.Name).substr(3));
    auto r = chip.Run({"erase"});
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_EQ(r.Lines().back(), "флеш и еепром стёрты");
    ASSERT_EQ(chip.Run({"write-dump", (chip / "x.hex").string()}).Status, 0);
    ExpectRoundTrip(chip);
    chip.ExpectCalibration();

    r = chip.Run({"read-config"}, type.Kind == Family::F7x ? "PIC16F690" : "PIC16F77");
    EXPECT_NE(r.Status, 0) << r.Out;
    EXPECT_TRUE(Holds(r, texts::kPicOtherChipRefused)) << r.Out;

    // A whole 1024-word write takes seconds under the datasheet model: the lenient rows do it.
    const bool osccalFiles = type.Kind == Family::F629 && !type.Datasheet;
    if (osccalFiles) {
      r = chip.Run({"write-flash", (chip / "goto.hex").string()});
      EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
      EXPECT_TRUE(Holds(r, texts::kPicOsccalKept)) << r.Out;
      chip.ExpectCalibration();
      ASSERT_EQ(chip.Run({"erase"}).Status, 0);
      chip.ExpectCalibration();
    }

    ASSERT_EQ(chip.Run({"write-config", ConfigOf(type.Kind).Protected}).Status, 0);
    r = chip.Run({"write-flash", (chip / "x.hex").string()});
    EXPECT_EQ(r.Status, 2) << r.Out << r.Err;
    EXPECT_TRUE(Holds(r, texts::kPicWriteFailed)) << r.Out;
    // Protected program memory reads zeros: the OSCCAL word cannot be kept, and the erase says so.
    r = chip.Run({"erase"});
    const bool unread = type.Kind == Family::F629;
    EXPECT_EQ(r.Status, unread ? 2 : 0) << r.Out << r.Err;
    EXPECT_EQ(Holds(r, texts::kPicCalibrationUnread), unread) << r.Out;
    chip.ExpectCalibration(unread ? std::optional<std::uint16_t>(0x3FFF) : std::nullopt);
    if (!osccalFiles) continue;
    r = chip.Run({"write-flash", (chip / "retlw.hex").string()});
    EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_FALSE(Holds(r, texts::kPicOsccalKept)) << r.Out;
    chip.ExpectCalibration(0x3455);
  }
}

}  // namespace
}  // namespace pw
