// The PIC page's device types and configuration panel: PIC.ini reading, the panel's two views,
// and HEX files loaded into the program, configuration and data-memory images.

#include <gtest/gtest.h>

#include "common/HexDigits.h"
#include "pic/PicTypes.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

using test::FormFixture;
using Lines = std::vector<std::string>;

const char* kTypes =
    "[Full]\nFlashSize=0x800\nEeprom=$80\nProgrammType=3\nEnterType=2\nEraseType=4\n"
    "FusesNames[0]=FOSC0\nFusesNames[1]=none\nFusesNames[2]=NONE\nFusesNames[3]=\nFusesNames[13]=CP\n"
    "[Bare]\n"
    "[Odd]\nFlashSize=12abc\nEeprom=64\nProgrammType=2h\nEraseType=0X2\n";

TEST(PicTypesTest, NumbersAreDecimalOrHexAfterTheirPrefixAndAnythingElseIsMissing) {
  const std::vector<std::pair<const char*, std::optional<std::int32_t>>> cases = {
      {"1024", 1024}, {"0x400", 1024}, {"0X400", 1024}, {"$400", 1024},     {"$ffffffff", -1},
      {"-3", -3},     {"400h", {}},    {"12abc", {}},   {"", {}},           {"0x", {}},
      {"$", {}},      {"x10", {}},     {"1.5", {}},     {"99999999999", {}}};
  for (const auto& [text, value] : cases) EXPECT_EQ(PicIniInteger(text), value) << text;

  const IniFile ini = IniFile::Parse(kTypes);
  const PicTypeValues full = ReadPicType(ini, "full");
  EXPECT_EQ(full.FlashSize, 2048);
  EXPECT_EQ(full.EepromSize, 128);
  EXPECT_EQ(full.ProgrammType, 3);
  EXPECT_EQ(full.EnterType, 2);
  EXPECT_EQ(full.EraseType, 4);
  EXPECT_EQ(full.FusesNames[3], "");
  EXPECT_EQ(full.FusesNames[4], "NONE");
  for (const char* missing : {"Bare", "Odd", "NoSuchType"}) {
    const PicTypeValues v = ReadPicType(ini, missing);
    EXPECT_EQ(v.FlashSize, 0) << missing;
    EXPECT_EQ(v.ProgrammType, 1) << missing;
    EXPECT_EQ(v.EnterType, 0) << missing;
  }
  EXPECT_EQ(ReadPicType(ini, "Odd").EepromSize, 64);
  EXPECT_EQ(ReadPicType(ini, "Odd").EraseType, 2);
  EXPECT_EQ(ReadPicType(ini, "Bare").EraseType, 1);
}

struct PicPageTest : ::testing::Test {
  PicPageTest() {
    f.Dir.Write("program/PIC.ini", kTypes);
    f.Start();
    page = &f.Form->Pic;
    f.Form->ShowPage(1);
  }
  void Choose(const std::string& type) {
    page->PicType.Text = type;
    f.Form->Fire(page->PicType.OnChange);
  }
  void Load(const std::optional<std::string>& file) {
    f.Host.Files.push_back(file);
    f.Form->Fire(page->PicFile.OnClick);
  }
  std::vector<std::uint8_t>& Config() { return f.Form->Images.ConfigImage; }

  FormFixture f;
  PicPage* page = nullptr;
};

TEST(PicPageStartUp, ListsTheTypesInFileOrderAndEmptiesTheConfigurationArea) {
  FormFixture f;
  f.Dir.Write("program/PIC.ini", kTypes);
  f.Start();
  EXPECT_EQ(f.Form->Pic.PicType.Items, (Lines{"Full", "Bare", "Odd"}));
  EXPECT_EQ(f.Form->Pic.PicType.Text, "Full");
  EXPECT_EQ(f.Form->Pic.ProgrammType, 0);  // only showing the page reads the type
  for (int i = 0; i < 33; ++i) EXPECT_EQ(f.Form->Images.ConfigImage[static_cast<std::size_t>(i)], 0xFF) << i;

  FormFixture none;
  none.Start();
  EXPECT_TRUE(none.Form->Pic.PicType.Items.empty());
  none.Form->ShowPage(1);
  EXPECT_EQ(none.Form->Pic.ProgrammType, 1);
  EXPECT_FALSE(none.Form->Pic.PicFuse[0].Enabled);
}

TEST_F(PicPageTest, ShowingTheTypeAndTheConfiguration) {
  struct View {
    const char* Step;
    std::function<void()> Do;
    std::string PicID;
  };
  const std::string six = "FFFF FFFF FFFF FFFF FFFF FFFF ";
  const std::string seven = "$FFFF $FFFF $FFFF $FFFF $FFFF $FFFF $FFFF ";
  const std::vector<View> views = {
      {"first showing", [] {}, six},
      {"another type chosen", [&] { Choose("Bare"); }, seven},
      {"the page shown again", [&] { f.Form->ShowPage(0), f.Form->ShowPage(1); }, six},
      {"the same type chosen", [&] { Choose("Full"); }, seven},
  };
  for (const auto& v : views) {
    v.Do();
    EXPECT_EQ(page->PicID.Text, v.PicID) << v.Step;
  }
  EXPECT_EQ(page->FlashSize, 2048);
  EXPECT_EQ(page->EepromSize, 128);
  EXPECT_EQ(page->EraseType, 4);
  for (const auto& fuse : page->PicFuse) EXPECT_TRUE(fuse.Checked) << fuse.Name;
  // Named bits: 0, 1 ("none" is a name), 3 (empty) and 13; exactly "NONE" and missing keys are not.
  const std::vector<std::pair<int, std::string>> named = {{0, "FOSC0"}, {1, "none"}, {3, ""}, {13, "CP"}};
  for (int n = 0; n < 32; ++n) {
    const auto it = std::find_if(named.begin(), named.end(), [n](const auto& p) { return p.first == n; });
    EXPECT_EQ(page->PicFuse[static_cast<std::size_t>(n)].Enabled, it != named.end()) << n;
    EXPECT_EQ(page->PicFuse[static_cast<std::size_t>(n)].Caption, it != named.end() ? it->second : "") << n;
  }
  EXPECT_TRUE(page->PicReadEep.Enabled);
  Choose("Bare");
  EXPECT_FALSE(page->PicReadEep.Enabled);
  EXPECT_FALSE(page->PicWriteEep.Enabled);  // "Bare" has no data memory
  for (Button* b : {&page->PicReadDump, &page->PicWriteDump, &page->PicEraseAll, &page->PicWriteFls, &page->PicReadFuse,
                    &page->PicWriteFuse}) {
    EXPECT_TRUE(b->Enabled) << b->Name;
  }

  // The panel and ConfigImage bytes 14 to 17, both ways.
  page->PicFuse[0].Checked = false;
  page->PicFuse[9].Checked = false;
  page->PicFuse[31].Checked = false;
  page->TakePicConfig();
  EXPECT_EQ(Config()[14], 0xFE);
  EXPECT_EQ(Config()[15], 0xFD);
  EXPECT_EQ(Config()[16], 0xFF);
  EXPECT_EQ(Config()[17], 0x7F);
  Config()[16] = 0x5A;
  Config()[2] = 0x34;
  Config()[3] = 0x12;
  page->ShowPicConfig();
  EXPECT_TRUE(page->PicFuse[17].Checked);
  EXPECT_FALSE(page->PicFuse[16].Checked);
  EXPECT_EQ(page->PicID.Text, "FFFF 1234 FFFF FFFF FFFF FFFF ");
}

/// An Intel HEX data record.
std::string Record(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
  unsigned sum = static_cast<unsigned>(bytes.size()) + (address >> 8) + (address & 0xFF);
  std::string line = ":" + HexDigits(static_cast<std::uint32_t>(bytes.size()), 2) + HexDigits(address, 4) + "00";
  for (auto b : bytes) {
    line += HexDigits(b, 2);
    sum += b;
  }
  return line + HexDigits((0x100 - (sum & 0xFF)) & 0xFF, 2) + "\r\n";
}

TEST_F(PicPageTest, AFileFillsTheThreeImagesAndThePanel) {
  std::string hex = Record(0x0000, {0x83, 0x16}) + Record(0x07F0, std::vector<std::uint8_t>(16, 0x3F));
  hex += Record(0x4000, {0x01, 0x00, 0x02, 0x00}) + Record(0x400E, {0xF2, 0x3F});
  for (std::uint32_t a = 0x4200; a < 0x4280; a += 16) hex += Record(a, std::vector<std::uint8_t>(16, 0x5A));
  const std::string file = f.Dir.Write("pic.hex", hex + ":00000001FF\r\n").string();
  f.Form->Avr.ChipKnown = true;
  Load(file);
  const MemoryImages& images = f.Form->Images;
  EXPECT_EQ(images.FlashImage[0], 0x1683);
  EXPECT_EQ(images.FlashDataCount, 1024);
  EXPECT_EQ(images.EepromDataCount, 128);
  EXPECT_EQ(images.EepromImage[0x7E], 0x5A);
  EXPECT_EQ(page->PicPathFls.Caption, file);
  EXPECT_EQ(f.Form->Log.Lines.back(), "файл : " + file);
  EXPECT_TRUE(f.Form->Avr.AvrWriteFls.Enabled);
  EXPECT_EQ(page->PicParamFls.Caption, "Объём флеши 2048байт\r\nДанных в буфере 2048 байт\r\n");
  EXPECT_EQ(page->PicParamEep.Caption, "Объём флеши 128 байт\r\nДанных в буфере 64 байт\r\n");
  EXPECT_EQ(page->PicID.Text, "0001 0002 FFFF FFFF FFFF FFFF ");
  EXPECT_FALSE(page->PicFuse[0].Checked);  // 0x3FF2: bits 0, 2, 3 clear
  EXPECT_TRUE(page->PicFuse[1].Checked);
  EXPECT_FALSE(page->PicFuse[14].Checked);

  // Cancelled: the type is read again and the panel redrawn from the images as they are.
  page->PicFuse[1].Checked = false;
  page->PicID.Text = "edited";
  Load(std::nullopt);
  EXPECT_TRUE(page->PicFuse[1].Checked);
  EXPECT_EQ(page->PicID.Text, "0001 0002 FFFF FFFF FFFF FFFF ");
  EXPECT_EQ(page->PicPathFls.Caption, file);

  // A missing file: the error box, and nothing that names it or shows other data.
  Load((f.Dir / "missing.hex").string());
  ASSERT_EQ(f.Host.Errors.size(), 1u);
  EXPECT_EQ(f.Host.Errors[0], "Ошибка! Файл не найден!");
  EXPECT_EQ(page->PicPathFls.Caption, file);
  EXPECT_EQ(images.FlashDataCount, 1024);
  EXPECT_EQ(page->PicParamEep.Caption, "Объём флеши 128 байт\r\nДанных в буфере 64 байт\r\n");
}

}  // namespace
}  // namespace pw
