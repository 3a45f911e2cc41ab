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
  for (const char* family : {"W25X", "W25Q", "MX25", "GD25", "EN25", "S25F", "AT25", "SST2", "XM25", "ZB25", "BY25",
                             "P25Q", "FM25", "IS25", "M25P", "N25Q", "MT25", "A25L"}) {
    EXPECT_TRUE(families.count(family)) << family;
  }
  EXPECT_GE(ini.SectionNames().size(), 150u);
}

TEST(SpiFlashTypes, TheSimulatedPartsAgreeWithTheirTypesFromTheFileAndFromSfdp) {
  const IniFile ini = Shipped();
  for (const auto& part : sim::SimSpiFlashParts()) {
    SCOPED_TRACE(part.Name);
    const auto result = ReadSpiFlashType(ini, part.Name);
    ASSERT_TRUE(result.Type) << result.Problem;
    EXPECT_EQ(result.Type->StatusProtect, part.ProtectBits);
    EXPECT_EQ(result.Type->Sector.Bytes, part.SectorBytes == 0 ? part.BlockBytes : part.SectorBytes);
    EXPECT_EQ(result.Type->Block.Bytes, part.BlockBytes);
    EXPECT_EQ(result.Type->PageSize, part.PageBytes);
    EXPECT_EQ(result.Type->Aai, part.ByteProgram);
    // Every part's SFDP table is built and read back, though only parts flagged Sfdp answer with it;
    // both descriptions agree with the part, the 4-byte way included.
    const auto sfdp = FlashTypeFromSfdp(sim::SimSfdpArea(part), part.Id);
    ASSERT_TRUE(sfdp.Type) << sfdp.Problem;
    EXPECT_EQ(sfdp.Type->Writable, !part.ByteProgram);
    for (const FlashType& type : {*result.Type, *sfdp.Type}) {
      EXPECT_EQ(type.Id, part.Id);
      EXPECT_EQ(type.Size, part.Size);
      // The way into 4-byte addresses is one the part has; none only where three bytes reach.
      switch (type.FourByte) {
        case SpiFourByte::None:
          EXPECT_LE(part.Size, kSpiFlashThreeByteBytes);
          break;
        case SpiFourByte::Opcodes:
          EXPECT_TRUE(part.Opcodes4);
          break;
        case SpiFourByte::EnterExit:
          EXPECT_EQ(part.Enter4, sim::SimEnter4::B7);
          break;
        case SpiFourByte::EnterExitAfterWriteEnable:
          EXPECT_EQ(part.Enter4, sim::SimEnter4::B7AfterWel);
          break;
      }
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
      {"Size=268435456\nFourByte=enter\n", "Size=268435456 "},
      {"Size=33554432\nFourByte=bank\n", "FourByte=bank "},
      {"Size=33554432\nFourByte=opcodes\nSectorErase=52:32768\n", "FourByte=opcodes "},
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
      {"ReadMHz=0\n", "ReadMHz=0 "},
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
  EXPECT_EQ(fine.Type->FourByte, SpiFourByte::None);
  const auto big = ReadSpiFlashType(IniFile::Parse("[X]\nSize=33554432\nFourByte=opcodes\n" + good), "X");
  ASSERT_TRUE(big.Type) << big.Problem;
  EXPECT_EQ(big.Type->FourByte, SpiFourByte::Opcodes);
  EXPECT_FALSE(ReadSpiFlashType(IniFile::Parse("[X]\nSize=4194304\n"), "X").Type);
}

}  // namespace
}  // namespace pw
