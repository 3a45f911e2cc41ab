// pinwright-cli avr identify / read-fuses against benches carrying each part of chips.ini, and
// the trace of an identification as sigrok-cli's SPI decoder reads it.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "ini/IniFile.h"
#include "sim/SimAvrParts.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::RunCli;
using test::TempDir;

std::string Hex(int b) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", b);
  return text;
}

std::string SignatureOf(const sim::SimAvrPart& part) {
  return "0x" + Hex(part.Signature[0]) + " 0x" + Hex(part.Signature[1]) + " 0x" + Hex(part.Signature[2]);
}

const sim::SimAvrPart* PartWithSignature(const std::string& section) {
  for (const auto& part : sim::SimAvrParts()) {
    if (SignatureOf(part) == section) return &part;
  }
  return nullptr;
}

/// The four report lines for a chips.ini section, from its geometry.
std::vector<std::string> ReportFor(const IniFile& chips, const std::string& section) {
  const auto flash = chips.ReadInteger(section, "FlashPageSize", 0) * chips.ReadInteger(section, "FlashPagesCount", 0);
  const auto eeprom =
      chips.ReadInteger(section, "EepromPageSize", 0) * chips.ReadInteger(section, "EepromPagesCount", 0);
  const std::string eepromText =
      eeprom >= 1024 ? std::to_string(eeprom / 1024) + " Кбайт" : std::to_string(eeprom) + " байт";
  return {"Объём флеши: " + std::to_string(flash / 512) + " Кбайт", "Объём Еепром: " + eepromText,
          "сигнатура: " + section, "чип: " + chips.ReadString(section, "Chip", "")};
}

TEST(AvrIdentifyCli, EveryPartOfChipsIniIsIdentifiedWithItsFactoryFuses) {
  const IniFile chips = IniFile::Load(test::BinDir() / "chips.ini");
  ASSERT_TRUE(chips.Exists());
  ASSERT_FALSE(chips.SectionNames().empty());
  for (const std::string& section : chips.SectionNames()) {
    const sim::SimAvrPart* part = PartWithSignature(section);
    ASSERT_NE(part, nullptr) << section;
    TempDir dir;
    dir.Write("bench.ini", "[AVR]\nPart=" + std::string(part->Name) + "\n");
    const auto expected = ReportFor(chips, section);

    const auto identify = RunCli({"--simulator=bench.ini", "avr", "identify"}, dir.Path());
    EXPECT_EQ(identify.Status, 0) << part->Name << identify.Err;
    EXPECT_EQ(identify.Lines(), expected) << part->Name;

    const auto fuses = RunCli({"--simulator=bench.ini", "avr", "read-fuses"}, dir.Path());
    EXPECT_EQ(fuses.Status, 0) << part->Name << fuses.Err;
    const auto lines = fuses.Lines();
    ASSERT_EQ(lines.size(), 8u) << part->Name << fuses.Out;
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), expected);
    const char* labels[3] = {"low  ", "high ", "ext  "};
    for (int i = 0; i < 3; ++i) {
      const int shown =
          part->FactoryFuses[static_cast<std::size_t>(i)] | (~part->FuseBits[static_cast<std::size_t>(i)] & 0xFF);
      EXPECT_EQ(lines[4 + static_cast<std::size_t>(i)].rfind(labels[i] + Hex(shown), 0), 0u)
          << part->Name << ": " << lines[4 + static_cast<std::size_t>(i)];
    }
    // A part without boot-lock bits shows the lock mode alone.
    EXPECT_EQ(lines[7], part->LockBits == 0x3F ? "lock FF  BLB0=1, BLB1=1, нет защиты" : "lock FF  нет защиты")
        << part->Name;
  }
}

TEST(AvrIdentifyCli, NoKnownChipExitsWithTargetFailure) {
  TempDir dir;
  dir.Write("empty.ini", "[Programmer]\nDescription=FT232R USB UART\n");
  const auto none = RunCli({"--simulator=empty.ini", "avr", "identify"}, dir.Path());
  EXPECT_EQ(none.Status, 2);
  EXPECT_EQ(none.Lines().at(2), "сигнатура: 0xFF 0xFF 0xFF");
  // A program whose chips.ini beside it does not list the chip on the header.
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::copy_file(PINWRIGHT_CLI, dir / "bin/pinwright-cli");
  std::filesystem::copy_file(test::BinDir() / "speed.txt", dir / "bin/speed.txt");
  dir.Write("bin/chips.ini", test::ChipsIniWithout("0x1E 0x98 0x01"));
  dir.Write("mega.ini", "[AVR]\nPart=ATmega2560\n");
  const auto run = [&dir](const char* bench, const char* command) {
    return test::RunProgram((dir / "bin/pinwright-cli").string(), {bench, "avr", command}, dir.Path());
  };
  const auto unlisted = run("--simulator=mega.ini", "read-fuses");
  EXPECT_EQ(unlisted.Status, 2);
  // The panel is not printed; the log says why the chip is unknown and where the known ones are.
  const auto said = unlisted.Lines();
  ASSERT_GE(said.size(), 2u);
  EXPECT_EQ(said.end()[-2], "Ошибка: сигнатуры 0x1E 0x98 0x01 нет в chips.ini, этот чип не поддерживается");
  EXPECT_EQ(said.back(), "известные чипы показывает pinwright-cli list avr");
  // It cannot be served, but a person can still restart it.
  EXPECT_EQ(run("--simulator=mega.ini", "reset").Lines().back(), "чип перезапущен");
  EXPECT_EQ(run("--simulator=mega.ini", "erase").Status, 2);
  // A chips.ini beside the program with a value out of range: refused, naming section and key.
  dir.Write("bin/chips.ini", "[0x1E 0x95 0x0F]\nChip=ATmega328P\nFlashPageSize=64\nFlashPagesCount=0\n");
  dir.Write("m328p.ini", "[AVR]\nPart=ATmega328P\n");
  const auto refused = run("--simulator=m328p.ini", "identify");
  EXPECT_EQ(refused.Status, 2) << refused.Err;
  ASSERT_FALSE(refused.Lines().empty());
  EXPECT_EQ(refused.Lines().front(),
            "Ошибка в chips.ini, раздел [0x1E 0x95 0x0F]: FlashPagesCount=0, допустимо от 1 до 65536");
  // No programmer at all: the identification's own error box, status 1.
  dir.Write("absent.ini", "[Programmer]\nOpenStatus=2\n");
  const auto absent = RunCli({"--simulator=absent.ini", "avr", "identify"}, dir.Path());
  EXPECT_EQ(absent.Status, 1);
  EXPECT_NE(absent.Err.find("Ошибка выполнения. Возможно не подключен программатор"), std::string::npos) << absent.Err;
}

/// The bytes sigrok-cli's SPI decoder finds on one line of a trace.
std::vector<std::string> Decode(const std::filesystem::path& trace, const char* annotation) {
  const std::string command = "sigrok-cli -I binary:numchannels=8:samplerate=1m -i '" + trace.string() +
                              "' -P spi:clk=5:mosi=3:miso=7 -A spi=" + annotation + " 2>/dev/null";
  std::vector<std::string> bytes;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return bytes;
  char line[256];
  while (std::fgets(line, sizeof line, pipe)) {
    std::istringstream in(line);
    std::string label, value;
    if (in >> label >> value) bytes.push_back(value);
  }
  pclose(pipe);
  return bytes;
}

TEST(AvrIdentifyCli, TraceDecodesToTheInstructionBytes) {
  if (std::system("command -v sigrok-cli >/dev/null 2>&1") != 0) GTEST_SKIP() << "sigrok-cli is not installed";
  TempDir dir;
  dir.Write("bench.ini", "[AVR]\nPart=ATmega328P\n");
  ASSERT_EQ(RunCli({"--simulator=bench.ini", "--trace", "trace.bin", "avr", "identify"}, dir.Path()).Status, 0);
  const std::vector<std::string> mosi = Decode(dir / "trace.bin", "mosi-data");
  const std::vector<std::string> expected{"AC", "53", "00", "00", "AC", "53", "00", "00", "30", "00", "00", "00",
                                          "30", "00", "01", "00", "30", "00", "02", "00", "50", "00", "00", "00",
                                          "58", "08", "00", "00", "50", "08", "00", "00", "58", "00", "00", "00"};
  EXPECT_EQ(mosi, expected);
  const std::vector<std::string> miso = Decode(dir / "trace.bin", "miso-data");
  ASSERT_EQ(miso.size(), expected.size());
  // The echo of 0x53, then signature, fuses and lock in the fourth byte of each read.
  EXPECT_EQ(miso[2], "53");
  EXPECT_EQ(miso[6], "53");
  const std::vector<std::string> answers{miso[11], miso[15], miso[19], miso[23], miso[27], miso[31], miso[35]};
  EXPECT_EQ(answers, (std::vector<std::string>{"1E", "95", "0F", "62", "D9", "FF", "FF"}));
  EXPECT_EQ(miso[9], "30");  // byte n echoes byte n-1
}

}  // namespace
}  // namespace pw
