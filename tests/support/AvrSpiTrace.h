#pragma once
/// @file
/// The AVR header's SPI traffic read back from samples: a trace of the virtual programmer, or the
/// samples a driver was given to write. A bit is MOSI where SCK rises, eight bits make a byte
/// (most significant first), four bytes an instruction.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace pw::test {

using Instruction = std::array<std::uint8_t, 4>;

/// Every whole byte the samples send (the first sample is never taken for an edge).
std::vector<std::uint8_t> SentBytes(std::span<const std::uint8_t> samples);
/// The whole four-byte instructions of a trace file, counted from its first byte.
std::vector<Instruction> TracedInstructions(const std::filesystem::path& trace);
/// The instructions whose first byte is op.
std::vector<Instruction> WithOpcode(const std::vector<Instruction>& all, std::uint8_t op);
/// Where the first instruction with opcode op starts: the sample before its first rising SCK edge.
std::optional<std::size_t> FirstInstruction(std::span<const std::uint8_t> samples, std::uint8_t op);

}  // namespace pw::test
