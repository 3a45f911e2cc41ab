#include <gtest/gtest.h>

#include "ini/IniFile.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

const char* kText = R"(; chip list
[0x1E 0x93 0x07]
Chip=ATmega8A
FlashPageSize = 32
FusesNames[3]=FUSE3 ; a remark
Quoted="  spaced  "
[B]
x=1
[a]
Size=0x200
Bad=abc
Negative=-5
Trailing=12kB
[b]
x=2
)";

TEST(IniFile, SectionsAreListedInFileOrderWithDuplicates) {
  const IniFile ini = IniFile::Parse(kText);
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"0x1E 0x93 0x07", "B", "a", "b"}));
}

TEST(IniFile, NamesMatchWithoutRegardToCaseAndTheFirstWins) {
  const IniFile ini = IniFile::Parse(kText);
  EXPECT_EQ(ini.ReadString("0X1e 0x93 0x07", "chip", "неизвестный"), "ATmega8A");
  EXPECT_EQ(ini.ReadInteger("b", "X", 0), 1);
  EXPECT_EQ(ini.ReadInteger("0x1E 0x93 0x07", "flashpagesize", 0), 32);
}

TEST(IniFile, MissingSectionsAndKeysGiveTheDefault) {
  const IniFile ini = IniFile::Parse(kText);
  EXPECT_EQ(ini.ReadString("nope", "Chip", "неизвестный"), "неизвестный");
  EXPECT_EQ(ini.ReadString("B", "Chip", "NONE"), "NONE");
  EXPECT_EQ(ini.ReadInteger("B", "FlashPagesCount", 7), 7);
}

TEST(IniFile, ValuesAreReadAsTheProfileFunctionsReadThem) {
  const IniFile ini = IniFile::Parse(kText);
  EXPECT_EQ(ini.ReadString("0x1E 0x93 0x07", "Quoted", ""), "  spaced  ");
  EXPECT_EQ(ini.ReadString("0x1E 0x93 0x07", "FusesNames[3]", ""), "FUSE3 ; a remark");
  EXPECT_EQ(ini.ReadInteger("a", "Size", 0), 512);
  EXPECT_EQ(ini.ReadInteger("a", "Bad", 9), 0);
  EXPECT_EQ(ini.ReadInteger("a", "Negative", 0), -5);
  EXPECT_EQ(ini.ReadInteger("a", "Trailing", 0), 12);
}

TEST(IniFile, BenchFilesMayCarryRemarksAfterValues) {
  const IniFile ini = IniFile::Parse(kText, {.StripInlineComments = true});
  EXPECT_EQ(ini.ReadString("0x1E 0x93 0x07", "FusesNames[3]", ""), "FUSE3");
}

TEST(IniFile, AMissingFileReadsAsEmpty) {
  test::TempDir dir;
  const IniFile missing = IniFile::Load(dir / "chips.ini");
  EXPECT_FALSE(missing.Exists());
  EXPECT_TRUE(missing.SectionNames().empty());
  const IniFile present = IniFile::Load(dir.Write("chips.ini", "\xEF\xBB\xBF[A]\nk=v\n"));
  EXPECT_TRUE(present.Exists());
  EXPECT_EQ(present.SectionNames(), (std::vector<std::string>{"A"}));
}

}  // namespace
}  // namespace pw
