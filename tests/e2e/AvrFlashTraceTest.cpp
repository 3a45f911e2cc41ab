// Traces of pinwright-cli avr as sigrok-cli's SPI and AVR ISP decoders read them: Programming
// Enable answered as silicon answers it; page loads and page writes at the right addresses, then
// the verify's reads.

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <optional>
#include <sstream>

#include "hexfile/HexWriter.h"
#include "support/AvrSpiTrace.h"
#include "support/Sigrok.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using Command = std::array<int, 4>;

/// The instructions the AVR ISP decoder does not know by name: "Unknown command: 40 00 05 0a (...)".
std::vector<Command> UnknownCommands(const std::string& decoded) {
  std::vector<Command> commands;
  std::istringstream in(decoded);
  const std::string mark = "Unknown command: ";
  for (std::string line; std::getline(in, line);) {
    const auto at = line.find(mark);
    if (at == std::string::npos) continue;
    std::istringstream bytes(line.substr(at + mark.size()));
    Command c{};
    for (int& b : c) bytes >> std::hex >> b;
    commands.push_back(c);
  }
  return commands;
}

std::vector<Command> WithOpcodes(const std::vector<Command>& all, std::initializer_list<int> ops) {
  std::vector<Command> some;
  for (const Command& c : all) {
    if (std::find(ops.begin(), ops.end(), c[0]) != ops.end()) some.push_back(c);
  }
  return some;
}

/// The samples of a trace file before the first instruction with opcode op.
std::filesystem::path CutBefore(const test::TempDir& dir, const char* trace, std::uint8_t op) {
  const auto samples = test::ReadBytes(dir / trace);
  const auto first = test::FirstInstruction(samples, op);
  const auto cut = dir / "cut.bin";
  std::ofstream(cut, std::ios::binary)
      .write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(first.value_or(0)));
  return cut;
}

TEST(AvrFlashTrace, ProgrammingEnableDecodesWithTheRepliesOfSilicon) {
  if (!test::HaveSigrok()) GTEST_SKIP() << "sigrok-cli is not installed";
  test::TempDir dir;
  dir.Write("bench.ini", "[AVR]\nPart=ATmega328P\n");
  const auto run = test::RunCli({"--simulator=bench.ini", "--trace", "trace.bin", "avr", "identify"}, dir.Path());
  ASSERT_EQ(run.Status, 0) << run.Out << run.Err;
  // The decoder knows few signatures: up to the first signature read.
  const auto decoded =
      test::RunSigrok(CutBefore(dir, "trace.bin", 0x30), "-P spi:clk=5:mosi=3:miso=7,avr_isp -A avr_isp");
  EXPECT_NE(decoded.find("Programming enable"), std::string::npos) << decoded;
  EXPECT_EQ(decoded.find("Warning"), std::string::npos) << decoded;
}

TEST(AvrFlashTrace, AWriteDecodesToPageLoadsAndPageWritesAtTheirAddresses) {
  if (!test::HaveSigrok()) GTEST_SKIP() << "sigrok-cli is not installed";
  test::TempDir dir;
  dir.Write("bench.ini", "[AVR]\nPart=ATmega328P\n");
  // 70 words: a whole 64-word page and six words of the next.
  std::vector<std::uint16_t> words(70);
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint16_t>(0x1000 + i * 0x0101);
  std::string text;
  std::int32_t address = 0;
  AppendHexWords(static_cast<std::int32_t>(words.size()), words, text, address);
  SaveHexText(dir / "small.hex", text);
  const auto run =
      test::RunCli({"--simulator=bench.ini", "--trace", "trace.bin", "avr", "write-flash", "small.hex"}, dir.Path());
  ASSERT_EQ(run.Status, 0) << run.Out << run.Err;

  // The decoder knows few signatures and stops at any other: start after the identification.
  const auto samples = test::ReadBytes(dir / "trace.bin");
  const auto first = test::FirstInstruction(samples, 0x40);
  ASSERT_TRUE(first);
  std::ofstream(dir / "pages.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(samples.data() + *first),
             static_cast<std::streamsize>(samples.size() - *first));
  const auto commands =
      UnknownCommands(test::RunSigrok(dir / "pages.bin", "-P spi:clk=5:mosi=3:miso=7,avr_isp -A avr_isp"));

  std::vector<Command> expected;
  for (int page = 0; page < 2; ++page) {
    for (int i = page * 64; i < std::min(page * 64 + 64, 70); ++i) {
      const int word = words[static_cast<std::size_t>(i)];
      expected.push_back({0x40, 0x00, i, word & 0xFF});
      expected.push_back({0x48, 0x00, i, word >> 8});
    }
    expected.push_back({0x4C, 0x00, page * 64, 0x00});
  }
  EXPECT_EQ(WithOpcodes(commands, {0x40, 0x48, 0x4C}), expected);
  // The verify reads both pages whole, low and high byte of every word.
  const auto reads = WithOpcodes(commands, {0x20});
  ASSERT_EQ(reads.size(), 128u);
  EXPECT_EQ(reads[127], (Command{0x20, 0x00, 127, 0x00}));
  EXPECT_EQ(WithOpcodes(commands, {0x28}).size(), 128u);
}

}  // namespace
}  // namespace pw
