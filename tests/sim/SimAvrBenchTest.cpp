// The AVR of a bench file: part, fuses, lock and memory files; the catalogue against chips.ini.

#include <gtest/gtest.h>

#include "common/Error.h"
#include "ini/IniFile.h"
#include "sim/Bench.h"
#include "sim/SimAvr.h"
#include "support/TestDirs.h"

namespace pw::sim {
namespace {

SimAvr& AvrOf(Bench& bench) { return dynamic_cast<SimAvr&>(*bench.Board()->Avr); }

TEST(SimAvrBench, PartFusesAndLockComeFromTheSection) {
  auto bench = Bench::FromText("[AVR]\nPart=attiny85 ; any case\nFuses=E1 dd 00\nLock=FC\n", {});
  SimAvr& avr = AvrOf(*bench);
  EXPECT_EQ(avr.Core().Part().Name, "ATtiny85");
  const SimEnvironment env;
  EXPECT_EQ(avr.Core().ReadFuse(0, env), 0xE1);
  EXPECT_EQ(avr.Core().ReadFuse(1, env), 0xDD);
  EXPECT_EQ(avr.Core().ReadFuse(2, env), 0xFE);  // only SELFPRGEN exists
  EXPECT_EQ(avr.Core().ReadLock(env), 0xFC);
}

TEST(SimAvrBench, FactoryStateWithoutSettingsAndTheDefaultBenchCarriesAnAtmega328P) {
  auto bench = Bench::Default();
  SimAvr& avr = AvrOf(*bench);
  EXPECT_EQ(avr.Core().Part().Name, "ATmega328P");
  EXPECT_EQ(avr.Core().ReadFuse(1, {}), 0xD9);
  EXPECT_EQ(avr.Core().Flash.size(), 32768u);
  EXPECT_EQ(avr.Core().Flash[100], 0xFF);
}

TEST(SimAvrBench, BadSettingsAreRefusedWithTheirText) {
  for (const char* text : {"[AVR]\nPart=ATmega9999\n", "[AVR]\nPart=ATmega328P\nFuses=62 D9\n",
                           "[AVR]\nPart=ATmega328P\nFuses=62 D9 FF 00\n", "[AVR]\nPart=ATmega328P\nFuses=62 XY FF\n",
                           "[AVR]\nPart=ATmega328P\nFuses=\n", "[AVR]\nPart=ATmega328P\nLock=100\n",
                           "[AVR]\nPart=ATmega328P\nClock=16MHz\n", "[I2C]\nPart=24C02\nSdaEdge=both\n"}) {
    try {
      Bench::FromText(text, {});
      ADD_FAILURE() << text;
    } catch (const PinwrightError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Ошибка в файле стенда: ", 0), 0u) << e.what();
    }
  }
}

TEST(SimAvrBench, MemoryFilesLoadAndAreWrittenBack) {
  test::TempDir dir;
  dir.Write("flash.bin", std::string("\x0C\x94\x34\x00", 4) + std::string(1020, '\xFF'));
  dir.Write("bench.ini", "[AVR]\nPart=ATtiny13A\nFlash=flash.bin\nEeprom=eeprom.bin\n");
  auto bench = Bench::FromFile(dir / "bench.ini");
  SimAvr& avr = AvrOf(*bench);
  EXPECT_EQ(avr.Core().Flash[0], 0x0C);
  EXPECT_EQ(avr.Core().Flash[3], 0x00);
  EXPECT_EQ(avr.Core().Flash[4], 0xFF);
  avr.Core().Eeprom[63] = 0x12;
  // A memory the run did not change is not written back over what its file holds meanwhile.
  dir.Write("flash.bin", std::string(1024, 'x'));
  bench->Save();
  const auto eeprom = test::ReadBytes(dir / "eeprom.bin");
  ASSERT_EQ(eeprom.size(), 64u);
  EXPECT_EQ(eeprom[63], 0x12);
  EXPECT_EQ(test::ReadText(dir / "flash.bin"), std::string(1024, 'x'));
}

// chips.ini and the simulator's catalogue are written from the same datasheets: every section
// must describe its part as the simulated part is built, or identification tests prove nothing.
TEST(SimAvrCatalogue, AgreesWithChipsIni) {
  const IniFile chips = IniFile::Load(test::SourceDir() / "data" / "chips.ini");
  ASSERT_TRUE(chips.Exists());
  std::size_t listed = 0;
  for (const SimAvrPart& part : SimAvrParts()) {
    char section[16];
    std::snprintf(section, sizeof section, "0x%02X 0x%02X 0x%02X", part.Signature[0], part.Signature[1],
                  part.Signature[2]);
    ASSERT_TRUE(chips.HasSection(section)) << part.Name;
    ++listed;
    // The simulated part is the first of the names that answer with the signature.
    const std::string names = chips.ReadString(section, "Chip", "");
    EXPECT_EQ(names.substr(0, names.find('/')), part.Name);
    EXPECT_EQ(std::stoi(chips.ReadString(section, "LockBits", ""), nullptr, 16), part.LockBits) << part.Name;
    EXPECT_EQ(chips.ReadInteger(section, "FlashPageSize", 0), part.FlashPageWords) << part.Name;
    EXPECT_EQ(chips.ReadInteger(section, "FlashPagesCount", 0), part.FlashPages) << part.Name;
    const auto eepromBytes =
        chips.ReadInteger(section, "EepromPageSize", 0) * chips.ReadInteger(section, "EepromPagesCount", 0);
    EXPECT_EQ(eepromBytes, part.EepromBytes) << part.Name;
    const bool byteWrite = chips.ReadInteger(section, "EepromByteWrite", 0) != 0;
    EXPECT_EQ(byteWrite, !part.HasEepromPages()) << part.Name;
    if (part.HasEepromPages()) {
      EXPECT_EQ(chips.ReadInteger(section, "EepromPageSize", 0), part.EepromPageBytes) << part.Name;
    }
    EXPECT_EQ(std::stoi(chips.ReadString(section, "LockBits", "3F"), nullptr, 16), part.LockBits) << part.Name;
    for (int n = 0; n < 24; ++n) {
      const bool named = chips.ReadString(section, "FusesNames[" + std::to_string(n) + "]", "NONE") != "NONE";
      const bool exists = (part.FuseBits[static_cast<std::size_t>(n / 8)] >> (n % 8)) & 1;
      EXPECT_EQ(named, exists) << part.Name << " fuse bit " << n;
    }
    // The program waits at least as long as the simulated chip is busy.
    const std::pair<const char*, std::uint32_t> times[] = {{"FlashPageDelayMs", part.Times.FlashUs},
                                                           {"EepromDelayMs", part.Times.EepromUs},
                                                           {"EraseDelayMs", part.Times.EraseUs},
                                                           {"FuseDelayMs", part.Times.FuseUs}};
    for (const auto& [key, us] : times)
      EXPECT_GE(chips.ReadInteger(section, key, 0) * 1000, us) << part.Name << " " << key;
    // Every CKSEL code the simulated chip runs on an internal oscillator, chips.ini names with its kHz.
    std::string clocks;
    const int bits = part.Clock->CkselMask == 0x03 ? 2 : 4;
    for (int code = 0; code <= part.Clock->CkselMask; ++code) {
      const std::uint32_t hz = part.Clock->InternalHz[static_cast<std::size_t>(code)];
      if (hz == 0) continue;
      std::string binary;
      for (int b = bits - 1; b >= 0; --b) binary += ((code >> b) & 1) ? '1' : '0';
      clocks += (clocks.empty() ? "" : " ") + binary + ":" + std::to_string(hz / 1000);
    }
    EXPECT_EQ(chips.ReadString(section, "InternalClockKHz", ""), clocks) << part.Name;
  }
  EXPECT_EQ(chips.SectionNames().size(), listed);
}

}  // namespace
}  // namespace pw::sim
