#include <gtest/gtest.h>

#include <cstdio>

#include "hexfile/HexReader.h"
#include "support/Sigrok.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::RunCli;

struct Type {
  const char* Name;
  std::uint32_t Size;
};
const Type kTypes[] = {{"24C01", 128},  {"24C02", 256},  {"24C04", 512},    {"24C08", 1024},   {"24C16", 2048},
                       {"24C32", 4096}, {"24C64", 8192}, {"24C128", 16384}, {"24C256", 32768}, {"24C512", 65536}};

/// One data record: count bytes from address, each byte derived from its address.
std::string Record(std::uint32_t address, int count) {
  char text[16];
  std::snprintf(text, sizeof text, ":%02X%04X00", count, address & 0xFFFF);
  std::string line = text;
  unsigned sum = static_cast<unsigned>(count) + ((address >> 8) & 0xFF) + (address & 0xFF);
  for (int i = 0; i < count; ++i) {
    const unsigned value = (address + static_cast<unsigned>(i)) * 7 % 251;
    std::snprintf(text, sizeof text, "%02X", value);
    line += text;
    sum += value;
  }
  std::snprintf(text, sizeof text, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
  return line + text;
}

/// A file with holes that reaches the last byte of the chip, crossing 64 KiB only on the largest part.
std::string GappyFile(std::uint32_t size) {
  std::string hex = Record(0, 16) + Record(size / 2 + 3, 5);
  if (size > 65535)
    hex += Record(size - 16, 16);  // still below 0x10000: size - 16 = 0xFFF0
  else
    hex += Record(size - 4, 4);
  return hex + ":00000001FF\r\n";
}

std::vector<std::uint8_t> Image(const std::string& hexFile) {
  std::vector<std::uint8_t> bytes(65536), scratchBytes(65536);
  std::vector<std::uint16_t> scratchWords(65536);
  std::int32_t count = 0, ignored = 0;
  LoadHexFile(hexFile, scratchWords, ignored, bytes, count, 0, scratchBytes, ignored, 0x0FFFFFFF);
  bytes.resize(static_cast<std::size_t>(count));
  return bytes;
}

/// The timing model, and the order in which the socket sees SCL and SDA change in one sample.
struct Board {
  const char* Model;
  const char* SdaEdge;
};

class I2cRoundTrip : public ::testing::TestWithParam<Board> {};

TEST_P(I2cRoundTrip, EveryTypeWritesReadsAndErasesAFileWithHoles) {
  for (const Type& type : kTypes) {
    SCOPED_TRACE(std::string(type.Name) + " " + GetParam().Model + " SDA " + GetParam().SdaEdge);
    test::TempDir dir;
    // Datasheet timing without a LatencyUs runs at zero USB latency: every wait shows.
    dir.Write("bench.ini", std::string("[I2C]\nPart=") + type.Name + "\nMemory=chip.bin\nSdaEdge=" +
                               GetParam().SdaEdge + "\n[Timing]\nModel=" + GetParam().Model + "\n");
    dir.Write("in.hex", GappyFile(type.Size));
    const std::string bench = "--simulator=" + (dir / "bench.ini").string();
    auto r = RunCli({bench, "i2c", type.Name, "write", "in.hex"}, dir.Path());
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_EQ(r.Lines().back(), "Ошибок нет");
    r = RunCli({bench, "i2c", type.Name, "read", "out.hex"}, dir.Path());
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    const auto written = Image((dir / "in.hex").string());
    auto readBack = Image((dir / "out.hex").string());
    ASSERT_EQ(readBack.size(), type.Size);
    readBack.resize(written.size());
    EXPECT_EQ(readBack, written);
    EXPECT_EQ(test::ReadBytes(dir / "chip.bin").size(), type.Size);
    r = RunCli({bench, "i2c", type.Name, "erase"}, dir.Path());
    ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
    EXPECT_EQ(r.Lines().back(), "EEPROM чистая");
    r = RunCli({bench, "i2c", type.Name, "read", "erased.hex"}, dir.Path());
    EXPECT_EQ(Image((dir / "erased.hex").string()), std::vector<std::uint8_t>(type.Size, 0xFF));
  }
}

INSTANTIATE_TEST_SUITE_P(Boards, I2cRoundTrip,
                         ::testing::Values(Board{"lenient", "after"}, Board{"datasheet", "after"},
                                           Board{"datasheet", "before"}),
                         [](const ::testing::TestParamInfo<Board>& info) {
                           return std::string(info.param.Model) + "_Sda_" + info.param.SdaEdge;
                         });

TEST(I2cCli, WithNoChipInTheSocketEveryOperationIsATargetFailure) {
  test::TempDir dir;
  dir.Write("bench.ini", "[Programmer]\n");
  dir.Write("in.hex", Record(0, 8) + ":00000001FF\r\n");
  const std::string bench = "--simulator=" + (dir / "bench.ini").string();
  for (const auto& args : std::vector<std::vector<std::string>>{{bench, "i2c", "24C02", "read", "out.hex"},
                                                                {bench, "i2c", "24C02", "write", "in.hex"},
                                                                {bench, "i2c", "24C02", "erase"}}) {
    const auto r = RunCli(args, dir.Path());
    EXPECT_EQ(r.Status, 2) << args[3];
    EXPECT_NE(r.Out.find("Ошибка: EEPROM не отвечает (адрес 0x0000)"), std::string::npos) << r.Out;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "out.hex"));
}

TEST(I2cCli, SeveralOperationsRunInOneInvocationInTheOrderGiven) {
  test::TempDir dir;
  dir.Write("bench.ini", "[I2C]\nPart=24C02\nMemory=chip.bin\n");
  dir.Write("in.hex", Record(0x10, 8) + ":00000001FF\r\n");
  const std::string bench = "--simulator=" + (dir / "bench.ini").string();
  const auto r = RunCli({bench, "i2c", "24C02", "write", "in.hex", "verify", "in.hex", "read", "out.bin"}, dir.Path());
  ASSERT_EQ(r.Status, 0) << r.Out << r.Err;
  const auto lines = r.Lines();
  const auto at = [&lines](const std::string& line) { return std::find(lines.begin(), lines.end(), line); };
  EXPECT_LT(at("Ошибок нет"), at("EEPROM совпадает с файлом"));
  EXPECT_LT(at("EEPROM совпадает с файлом"), at("чтение Eeprom завершено"));
  EXPECT_NE(at("чтение Eeprom завершено"), lines.end());
  EXPECT_EQ(test::ReadBytes(dir / "out.bin"), test::ReadBytes(dir / "chip.bin"));
}

TEST(I2cCli, UnknownTypesAndUnloadableFilesAreRefused) {
  test::TempDir dir;
  auto r = RunCli({"--simulator", "i2c", "24C99", "erase"}, dir.Path());
  EXPECT_EQ(r.Status, 64);
  EXPECT_NE(r.Err.find("нет типа 24C99; может быть, 24C01, 24C02, 24C04?"), std::string::npos) << r.Err;
  r = RunCli({"--simulator", "i2c", "XYZ", "erase"}, dir.Path());
  EXPECT_NE(r.Err.find("нет типа XYZ; известны: 24C01, 24C02, "), std::string::npos) << r.Err;
  dir.Write("empty.hex", ":00000001FF\r\n");
  r = RunCli({"--simulator", "i2c", "24C256", "write", "empty.hex"}, dir.Path());
  EXPECT_EQ(r.Status, 1) << "nothing to write: the write button stays disabled";
  r = RunCli({"--simulator", "i2c", "24C256", "write", "missing.hex"}, dir.Path());
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Ошибка! Файл не найден!"), std::string::npos);
}

TEST(I2cCli, TheTraceOfAReadDecodesToTheAddressesAndDataWritten) {
  if (!test::HaveSigrok()) GTEST_SKIP() << "sigrok-cli is not installed";
  test::TempDir dir;
  dir.Write("bench.ini", "[I2C]\nPart=24C01\nMemory=chip.bin\n");
  dir.Write("in.hex", Record(0x40, 3) + ":00000001FF\r\n");
  const std::string bench = "--simulator=" + (dir / "bench.ini").string();
  ASSERT_EQ(RunCli({bench, "i2c", "24C01", "write", "in.hex"}, dir.Path()).Status, 0);
  ASSERT_EQ(
      RunCli({bench, "--trace", (dir / "read.bin").string(), "i2c", "24C01", "read", "out.hex"}, dir.Path()).Status, 0);
  const std::string decoded = test::RunSigrok(dir / "read.bin", "-P i2c:scl=7:sda=1,eeprom24xx -A eeprom24xx");
  // One random read of the whole chip: a single word address, the counter runs on by itself.
  EXPECT_NE(decoded.find("Word address byte: 00\n"), std::string::npos);
  EXPECT_EQ(decoded.find("Word address byte: 08\n"), std::string::npos);
  const auto expected = Image((dir / "in.hex").string());
  for (int address = 0x40; address < 0x43; ++address) {
    char line[64];
    std::snprintf(line, sizeof line, "Data byte %02X: %02X\n", address, expected[static_cast<std::size_t>(address)]);
    EXPECT_NE(decoded.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace pw
