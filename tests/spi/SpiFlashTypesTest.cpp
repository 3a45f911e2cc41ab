#include <gtest/gtest.h>

#include <set>

#include "sim/SimSfdp.h"
#include "sim/SimSpiFlashParts.h"
#include "spi/SpiFlashSfdp.h"
#include "spi/SpiFlashTypes.h"

namespace pw {
namespace {

IniFile Shipped() { return IniFile::Load(std::filesystem::path(PINWRIGHT_SOURCE_DIR) / "data" / "SpiFlash.ini"); }

TEST(SpiFlashTypes, EveryShippedTypeIsValidAndTheFamiliesAreThere) {
  const IniFile ini = Shipped();
  ASSERT_TRUE(ini.Exists());
  std::set<std::string> families;
  std::set<JedecId> ids;
  for (const auto& section : ini.SectionNames()) {
    const auto result = ReadSpiFlashType(ini, section);
    ASSERT_TRUE(result.Type) << result.Problem;
    const FlashType& t = *result.Type;
    EXPECT_TRUE(ids.insert(t.Id).second) << section << ": an ID listed twice would hide the second type";
    EXPECT_EQ(FindSpiFlashSection(ini, t.Id), section);
    EXPECT_EQ(t.Size % t.Sector.Bytes, 0u) << section;
    families.insert(section.substr(0, 4));
  }
  for (const char* family : {"W25X", "W25Q", "MX25", "GD25", "EN25", "S25F", "AT25", "SST2"}) {
    EXPECT_TRUE(families.count(family)) << family;
  }
  // Auto-address-increment parts are listed, and only for reading.
  const auto sst = ReadSpiFlashType(ini, "SST25VF016B");
  ASSERT_TRUE(sst.Type);
  EXPECT_FALSE(sst.Type->Writable);
}

TEST(SpiFlashTypes, TheSimulatedPartsAgreeWithTheirTypesFromTheFileAndFromSfdp) {
  const IniFile ini = Shipped();
  for (const auto& part : sim::SimSpiFlashParts()) {
    SCOPED_TRACE(part.Name);
    std::vector<FlashType> types;
    const auto listed = ReadSpiFlashType(ini, part.Name);
    if (listed.Type) {
      EXPECT_EQ(listed.Type->StatusProtect, part.ProtectBits);
      types.push_back(*listed.Type);
    }
    // Every part's table is built and read back, though only parts flagged Sfdp answer with it.
    const auto sfdp = FlashTypeFromSfdp(sim::SimSfdpArea(part), part.Id);
    ASSERT_TRUE(sfdp.Type) << sfdp.Problem;
    types.push_back(*sfdp.Type);
    EXPECT_TRUE(listed.Type || part.Sfdp) << listed.Problem;
    for (const FlashType& type : types) {
      EXPECT_EQ(type.Id, part.Id);
      EXPECT_EQ(type.Size, part.Size);
      EXPECT_EQ(type.Sector.Bytes, part.SectorBytes == 0 ? 65536u : part.SectorBytes);
      EXPECT_EQ(type.Writable, !part.ByteProgram);
      // The simulated chip is busy for the typical time, which the type's maximum must cover.
      EXPECT_LE(part.PageProgramUs, type.PageProgramUs.Maximum);
      EXPECT_LE(part.ChipEraseMs, type.ChipEraseMs.Maximum);
    }
  }
}

TEST(SpiFlashTypes, BadEntriesAreNamedWithTheirKey) {
  const std::string good =
      "Jedec=EF4016\nSize=4194304\nPageProgramUs=700,3000\nSectorEraseMs=45,400\n"
      "BlockEraseMs=150,2000\nChipEraseMs=10000,50000\n";
  const struct {
    std::string extra;
    std::string key;
  } cases[] = {
      {"Jedec=EF40\n", "Jedec=EF40 "},
      {"Jedec=EF40G6\n", "Jedec=EF40G6 "},
      {"Size=3000000\n", "Size=3000000 "},
      {"Size=33554432\n", "Size=33554432 "},
      {"PageSize=300\n", "PageSize=300 "},
      {"SectorErase=20\n", "SectorErase=20 "},
      {"SectorErase=20:128\n", "SectorErase=20:128 "},
      {"BlockErase=D8:2048\n", "BlockErase=D8:2048 "},
      {"ChipErase=C7C7\n", "ChipErase=C7C7 "},
      {"StatusBusy=03\n", "StatusBusy=03 "},
      {"StatusProtect=1E\n", "StatusProtect=1E "},
      {"PageProgramUs=3000,700\n", "PageProgramUs=3000,700 "},
      {"ChipEraseMs=50\n", "ChipEraseMs=50 "},
      {"Program=word\n", "Program=word "},
  };
  for (const auto& c : cases) {
    // The case's key comes first: the first of two equal keys wins.
    const IniFile ini = IniFile::Parse("[X]\n" + c.extra + good);
    const auto result = ReadSpiFlashType(ini, "X");
    EXPECT_FALSE(result.Type) << c.extra;
    EXPECT_NE(result.Problem.find("SpiFlash.ini: [X] " + c.key), std::string::npos) << result.Problem;
  }
  const auto fine = ReadSpiFlashType(IniFile::Parse("[X]\n" + good), "X");
  ASSERT_TRUE(fine.Type) << fine.Problem;
  EXPECT_EQ(JedecText(fine.Type->Id), "EF 40 16");
  EXPECT_FALSE(ReadSpiFlashType(IniFile::Parse("[X]\nSize=4194304\n"), "X").Type);
}

}  // namespace
}  // namespace pw
