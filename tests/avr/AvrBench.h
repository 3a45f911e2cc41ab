#pragma once
/// @file
/// The window model on a bench whose AVR header carries one part (or nothing), with chips.ini
/// beside the program; helpers to make HEX files.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "hexfile/HexWriter.h"
#include "sim/SimAvr.h"
#include "support/FormFixture.h"

namespace pw::test {

/// The chips.ini a test puts beside the program: its text, or nothing for no file at all.
struct ChipsIni {
  std::optional<std::string> Text;
};
inline const ChipsIni kNoChipsIni{};

class AvrBench : public FormFixture {
 public:
  /// part: a part of the simulator's catalogue, or nothing for an empty header; extra: more lines
  /// for the [AVR] section, and further sections ("Lock=FC\n[Timing]\n..."). The project's
  /// chips.ini lies beside the program.
  explicit AvrBench(const std::optional<std::string>& part, const std::string& extra = "")
      : AvrBench(part, ChipsIni{ReadText(SourceDir() / "data" / "chips.ini")}, extra) {}
  /// The same with a chips.ini of the test's own.
  AvrBench(const std::optional<std::string>& part, const ChipsIni& chipsIni, const std::string& extra = "")
      : FormFixture(part ? "[AVR]\nPart=" + *part + "\n" + extra : "[Programmer]\n" + extra) {
    if (chipsIni.Text) Dir.Write("program/chips.ini", *chipsIni.Text);
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
  std::uint16_t FlashWord(std::size_t w) {
    return static_cast<std::uint16_t>(Core().Flash[2 * w] | Core().Flash[2 * w + 1] << 8);
  }
};

/// The lines of a file the program wrote, each expected to end in CR LF, without their ends.
inline std::vector<std::string> FileLines(const std::filesystem::path& file) {
  std::istringstream in(ReadText(file));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    EXPECT_TRUE(!line.empty() && line.back() == '\r') << line;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

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

}  // namespace pw::test
