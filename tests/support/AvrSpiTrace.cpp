#include "support/AvrSpiTrace.h"

#include "d2xx/Wiring.h"
#include "support/TestDirs.h"

namespace pw::test {
namespace {

/// One byte the programmer sent, and the sample before its first rising SCK edge.
struct AvrSpiByte {
  std::uint8_t Mosi = 0;
  std::size_t Start = 0;
};

std::vector<AvrSpiByte> DecodeAvrSpi(std::span<const std::uint8_t> samples) {
  std::vector<AvrSpiByte> bytes;
  AvrSpiByte current;
  int bits = 0;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    const bool rising = (samples[i] & wiring::avr::Sck) && !(samples[i - 1] & wiring::avr::Sck);
    if (!rising) continue;
    if (bits == 0) current.Start = i - 1;
    current.Mosi = static_cast<std::uint8_t>(current.Mosi << 1 | ((samples[i] & wiring::avr::Mosi) ? 1 : 0));
    if (++bits == 8) {
      bytes.push_back(current);
      current = {};
      bits = 0;
    }
  }
  return bytes;
}

}  // namespace

std::vector<std::uint8_t> SentBytes(std::span<const std::uint8_t> samples) {
  std::vector<std::uint8_t> bytes;
  for (const AvrSpiByte& b : DecodeAvrSpi(samples)) bytes.push_back(b.Mosi);
  return bytes;
}

std::vector<Instruction> TracedInstructions(const std::filesystem::path& trace) {
  const std::vector<std::uint8_t> bytes = SentBytes(ReadBytes(trace));
  std::vector<Instruction> instructions;
  for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
    instructions.push_back({bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]});
  }
  return instructions;
}

std::vector<Instruction> WithOpcode(const std::vector<Instruction>& all, std::uint8_t op) {
  std::vector<Instruction> some;
  for (const Instruction& i : all) {
    if (i[0] == op) some.push_back(i);
  }
  return some;
}

std::optional<std::size_t> FirstInstruction(std::span<const std::uint8_t> samples, std::uint8_t op) {
  const std::vector<AvrSpiByte> bytes = DecodeAvrSpi(samples);
  for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
    if (bytes[at].Mosi == op) return bytes[at].Start;
  }
  return std::nullopt;
}

}  // namespace pw::test
