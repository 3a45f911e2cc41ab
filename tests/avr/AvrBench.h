#pragma once
/// @file
/// The window model on a bench whose AVR header carries one part, with the project's chips.ini
/// beside the program; helpers to make HEX files and to read back what a trace sent the chip.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "hexfile/HexWriter.h"
#include "sim/SimAvr.h"
#include "support/FormFixture.h"

namespace pw::test {

class AvrBench : public FormFixture {
 public:
  /// extra: more lines for the [AVR] section, and further sections ("Lock=FC\n[Timing]\n...").
  explicit AvrBench(const std::string& part, const std::string& extra = "")
      : FormFixture("[AVR]\nPart=" + part + "\n" + extra) {
    InstallDataFile("chips.ini");
    Start();
  }

  AvrPage& Page() { return Form->Avr; }
  sim::SimAvrCore& Core() { return dynamic_cast<sim::SimAvr&>(*Bench->Board()->Avr).Core(); }
  const std::vector<std::string>& Log() const { return Form->Log.Lines; }
  bool DeviceOpen() { return Sim().Devices().front()->Open; }

  /// Clicks a button as the window does; returns how it ended.
  Outcome Click(Button& button) {
    Form->Fire(button.OnClick);
    return Form->LastOutcome();
  }
  /// Clicks a button whose dialog will answer with file (nothing: cancel).
  Outcome ClickWithFile(Button& button, const std::optional<std::filesystem::path>& file) {
    Host.Files.push_back(file ? std::optional<std::string>(file->string()) : std::nullopt);
    return Click(button);
  }
  /// Identifies the chip, then opens file with the open button.
  Outcome Open(Button& openButton, const std::filesystem::path& file) {
    Click(Page().AvrRdSign);
    return ClickWithFile(openButton, file);
  }
  /// The word at word address w of the chip's flash.
  std::uint16_t FlashWord(std::size_t w) { return static_cast<std::uint16_t>(Core().Flash[2 * w] | Core().Flash[2 * w + 1] << 8); }
};

/// Writes words as a HEX file of program words (16-byte records, block records where needed).
inline std::filesystem::path WriteWordsHex(const std::filesystem::path& file, const std::vector<std::uint16_t>& words) {
  std::string text;
  std::int32_t address = 0;
  std::optional<std::uint32_t> block;
  for (std::size_t at = 0; at < words.size(); at += 8) {
    const std::size_t n = std::min<std::size_t>(8, words.size() - at);
    AppendSegmentRecord(text, address, block);
    AppendHexWords(static_cast<std::int32_t>(n), std::span(words).subspan(at, n), text, address);
  }
  SaveHexText(file, text);
  return file;
}

/// Writes bytes as a HEX file, each byte at its own address.
inline std::filesystem::path WriteBytesHex(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  std::string text;
  std::int32_t address = 0;
  AppendHexBytes(static_cast<std::int32_t>(bytes.size()), bytes, text, address, 0, 0);
  SaveHexText(file, text);
  return file;
}

using Instruction = std::array<std::uint8_t, 4>;

/// The four-byte instructions a trace of the AVR header shows: MOSI taken at each rising SCK edge.
inline std::vector<Instruction> TracedInstructions(const std::filesystem::path& trace) {
  const std::vector<unsigned char> samples = ReadBytes(trace);
  std::vector<Instruction> instructions;
  Instruction current{};
  int bits = 0;
  bool sckWasHigh = true;
  for (const unsigned char s : samples) {
    const bool sck = (s & 0x20) != 0;
    if (sck && !sckWasHigh) {
      std::uint8_t& byte = current[static_cast<std::size_t>(bits / 8)];
      byte = static_cast<std::uint8_t>(byte << 1 | ((s >> 3) & 1));
      if (++bits == 32) {
        instructions.push_back(current);
        current = {};
        bits = 0;
      }
    }
    sckWasHigh = sck;
  }
  return instructions;
}

/// The instructions whose first byte is op.
inline std::vector<Instruction> WithOpcode(const std::vector<Instruction>& all, std::uint8_t op) {
  std::vector<Instruction> some;
  for (const Instruction& i : all) {
    if (i[0] == op) some.push_back(i);
  }
  return some;
}

}  // namespace pw::test
