// The PIC page's device types and configuration panel: PIC.ini reading, the panel's two views,
// and HEX files loaded into the program, configuration and data-memory images.

#include <gtest/gtest.h>

#include <tuple>

#include "common/HexDigits.h"
#include "frame/Texts.h"
#include "pic/PicTexts.h"
#include "pic/PicTypes.h"
#include "sim/SimPic.h"
#include "support/FormFixture.h"

namespace pw {
namespace {

using test::FormFixture;
using Lines = std::vector<std::string>;

const char* kTypes =
    "[Full]\nFlashSize=0x800\nEeprom=$80\nProgrammType=3\nEnterType=2\nEraseType=4\nProgramMs=6\nProgramOnlyMs=1\n"
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
  EXPECT_EQ(full.ProgrammType, PicProgramming::ProgramOnly);
  EXPECT_EQ(full.EnterType, PicEntry::Nothing);
  EXPECT_EQ(full.EraseType, PicErase::Chip);
  // The cycles it does not time wait ProgramMs; the erase runs keep their 100 ms.
  EXPECT_EQ(std::vector({full.WordCycleMs(), full.OneWordCycleMs(), full.DataMs, full.EraseMs}),
            std::vector({1, 6, 6, 100}));
  EXPECT_EQ(full.FusesNames[3], "");
  EXPECT_EQ(full.FusesNames[4], "NONE");
  for (const char* missing : {"Bare", "NoSuchType"}) {
    const PicTypeValues v = ReadPicType(ini, missing);
    EXPECT_EQ(v.FlashSize, 0) << missing;
    EXPECT_EQ(v.ProgrammType, PicProgramming::EraseProgram) << missing;
    EXPECT_EQ(v.EnterType, PicEntry::MclrPulse) << missing;
    EXPECT_EQ(v.Problem, "") << missing;
  }
  // A value that is no number keeps the key's default and makes the type unusable.
  EXPECT_EQ(ReadPicType(ini, "Odd").FlashSize, 0);
  EXPECT_EQ(ReadPicType(ini, "Odd").Problem,
            "Ошибка в файле PIC.ini: [Odd] FlashSize=12abc (нужно число от 1 до 8192)");
  EXPECT_EQ(ReadPicType(ini, "Odd").EepromSize, 64);
  EXPECT_EQ(ReadPicType(ini, "Odd").EraseType, PicErase::Bulk);
  EXPECT_EQ(ReadPicType(ini, "Bare").EraseType, PicErase::BulkAfterProgramCycle);
}

TEST(PicTypesTest, EachMethodNumberHasItsMeaningAndUnknownNumbersMakeTheTypeUnusable) {
  using E = PicEntry;
  using P = PicProgramming;
  using R = PicErase;
  const std::vector<std::tuple<int, E, P, R>> cases = {{-1, E::Nothing, P::Unknown, R::Nothing},
                                                       {0, E::MclrPulse, P::Unknown, R::Nothing},
                                                       {1, E::MclrPulse, P::EraseProgram, R::BulkAfterProgramCycle},
                                                       {2, E::Nothing, P::Baseline, R::Bulk},
                                                       {3, E::Nothing, P::ProgramOnly, R::Bulk},
                                                       {4, E::Nothing, P::ExternallyTimed, R::Chip},
                                                       {5, E::Nothing, P::LatchedProgramOnly, R::BulkFromConfig},
                                                       {6, E::Nothing, P::LatchedExternal, R::Pic18Key},
                                                       {7, E::Nothing, P::Pic18, R::Nothing},
                                                       {8, E::Nothing, P::Unknown, R::Nothing}};
  for (const auto& [number, entry, programming, erase] : cases) {
    const std::string n = std::to_string(number);
    const PicTypeValues v =
        ReadPicType(IniFile::Parse("[T]\nEnterType=" + n + "\nProgrammType=" + n + "\nEraseType=" + n + "\n"), "T");
    EXPECT_EQ(v.EnterType, entry) << number;
    EXPECT_EQ(v.ProgrammType, programming) << number;
    EXPECT_EQ(v.EraseType, erase) << number;
    EXPECT_EQ(v.Problem.empty(), number == 1) << number;
  }
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
  EXPECT_EQ(f.Form->Pic.ProgrammType(), PicProgramming::Unknown);  // only showing the page reads the type
  for (int i = 0; i < 33; ++i) EXPECT_EQ(f.Form->Images.ConfigImage[static_cast<std::size_t>(i)], 0xFF) << i;

  FormFixture none;
  none.Start();
  EXPECT_TRUE(none.Form->Pic.PicType.Items.empty());
  none.Form->ShowPage(1);
  EXPECT_EQ(none.Form->Pic.ProgrammType(), PicProgramming::EraseProgram);
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
  EXPECT_EQ(page->FlashSize(), 2048);
  EXPECT_EQ(page->EepromSize(), 128);
  EXPECT_EQ(page->EraseType(), PicErase::Chip);
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
  EXPECT_EQ(page->PicParamFls.Caption, "Объём 2048 слов\r\nДанных в буфере 2048 байт\r\n");
  EXPECT_EQ(page->PicParamEep.Caption, "Объём EEPROM 128 байт\r\nДанных в буфере 64 байт\r\n");
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
  EXPECT_EQ(page->PicParamEep.Caption, "Объём EEPROM 128 байт\r\nДанных в буфере 64 байт\r\n");
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

// The operation buttons on a PIC16F628A: each takes its inputs from the panel, the ID words and
// the shared images, and shows what it read in them.
TEST(PicPageOperations, EachButtonTakesItsInputsFromThePageAndShowsWhatItRead) {
  FormFixture f("[PIC]\nPart=PIC16F628A\n");
  f.InstallDataFile("PIC.ini");
  f.Start();
  f.Form->ShowPage(1);
  PicPage& page = f.Form->Pic;
  page.PicType.Text = "PIC16F628A";
  f.Form->Fire(page.PicType.OnChange);
  MemoryImages& images = f.Form->Images;
  auto& chip = dynamic_cast<sim::SimPic&>(*f.Bench->Board()->Pic);
  chip.SetProgramWord(5, 0x1234);
  chip.SetDataByte(3, 0x77);
  chip.SetConfigWord(0, 0x0ABC);
  const std::string dump = (f.WorkingDir() / "dump.hex").string();
  const Lines written = {"флеш прошита и проверена ошибок нет", "еепром прошита и проверена ошибок нет"};
  struct Click {
    Button PicPage::*Pressed;
    std::function<void()> Before;
    Lines Log;
    Outcome Result;
    /// What the click must have left on the page, in the images or on the chip.
    std::function<bool()> Left;
  };
  const Click clicks[] = {
      {&PicPage::PicWriteFls, [] {}, {texts::kNothingToWrite}, Outcome::ErrorReport, [] { return true; }},
      {&PicPage::PicReadDump, [&] { f.Host.Files.push_back(std::nullopt); }, {}, Outcome::Success, [] { return true; }},
      {&PicPage::PicReadDump,
       [&] { f.Host.Files.push_back(dump); },
       {"чтение Флеши", "чтение конфигурации", "чтение Еепром", "файл сохранён"},
       Outcome::Success,
       [&] {
         // The ID word's bit 14 reads the line the chip has released.
         return images.FlashImage[5] == 0x1234 && images.FlashDataCount == 2048 && images.EepromImage[6] == 0x77 &&
                images.EepromDataCount == 256 && images.EepromFilled[6] && !images.EepromFilled[7] &&
                page.PicParamEep.Caption == "Объём EEPROM 128 байт\r\nДанных в буфере 128 байт\r\n" &&
                page.PicID.Text.starts_with("4ABC ") && page.PicFuse[0].Checked;
       }},
      {&PicPage::PicWriteFuse,
       [&] { page.PicFuse[0].Checked = false; },
       {"запись конфигурации ", texts::kPicConfigWritten},
       Outcome::Success,
       [&] { return (chip.ConfigWord(7) & 0x3FFF) == 0x3FFE; }},
      {&PicPage::PicReadFuse,
       [&] { chip.SetConfigWord(1, 0x0123), page.PicFuse[0].Checked = true; },
       {"чтение конфигурации"},
       Outcome::Success,
       [&] { return page.PicID.Text.starts_with("4ABC 4123 ") && !page.PicFuse[0].Checked; }},
      {&PicPage::PicWriteFls,
       [&] { images.FlashImage[5] = 0x0555, images.FlashDataCount = 16; },
       {"запись флеш 16слов", written[0]},
       Outcome::Success,
       [&] { return chip.ProgramWord(5) == 0x0555; }},
      {&PicPage::PicWriteEep,
       [&] { images.EepromImage[6] = 0x42, images.EepromDataCount = 8; },
       {"запись Eeprom 4 байт", written[1]},
       Outcome::Success,
       [&] { return chip.DataByte(3) == 0x42; }},
      // The erase writes the panel's configuration back.
      {&PicPage::PicEraseAll,
       [] {},
       {"флеш и еепром стёрты"},
       Outcome::Success,
       [&] { return chip.ProgramWord(5) == 0x3FFF && (chip.ConfigWord(7) & 0x3FFF) == 0x3FFE; }},
      {&PicPage::PicWriteDump,
       [] {},
       {"запись флеш 16слов", written[0], "запись Eeprom 4 байт", written[1], "запись конфигурации ",
        texts::kPicConfigWritten},
       Outcome::Success,
       [&] { return chip.ProgramWord(5) == 0x0555 && chip.DataByte(3) == 0x42; }},
  };
  for (const Click& c : clicks) {
    Button& button = page.*c.Pressed;
    SCOPED_TRACE(button.Name);
    c.Before();
    const std::size_t before = f.Form->Log.Lines.size();
    f.Form->Fire(button.OnClick);
    EXPECT_EQ(Lines(f.Form->Log.Lines.begin() + static_cast<std::ptrdiff_t>(before), f.Form->Log.Lines.end()), c.Log);
    EXPECT_EQ(f.Form->LastOutcome(), c.Result);
    EXPECT_TRUE(c.Left());
  }
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

// More than 32 configuration bits (PIC18) are shown 32 at a time, the selector choosing which
// four configuration bytes; a mid-range type's two words fill the 32 checkboxes at once.
TEST(PicPanelGroups, TheSelectorChoosesWhichConfigurationBytesTheCheckboxesShowAndTake) {
  FormFixture f;
  f.Dir.Write("program/PIC.ini",
              "[Two]\nFlashSize=4096\nFusesNames[16]=BOR4V\n[P18]\nFlashSize=16384\nProgrammType=7\nEraseType=6\n"
              "WriteBuffer=32\nFusesNames[0]=PLLDIV0\n"
              "FusesNames[40]=CCP2MX\nFusesNames[64]=CP0\nFusesNames[96]=EBTR0\n");
  f.Start();
  f.Form->ShowPage(1);
  PicPage& page = f.Form->Pic;
  auto& config = f.Form->Images.ConfigImage;
  const auto choose = [&](const char* type) { page.PicType.Text = type, f.Form->Fire(page.PicType.OnChange); };
  const auto group = [&](int g) { page.PicFuseGroup.ItemIndex = g, f.Form->Fire(page.PicFuseGroup.OnChange); };
  EXPECT_FALSE(page.PicFuseGroup.Enabled);
  EXPECT_EQ(page.PicFuse[16].Caption, "BOR4V");

  choose("P18");
  EXPECT_TRUE(page.PicFuseGroup.Enabled);
  EXPECT_EQ(page.PicFuseGroup.Items, (Lines{"CONFIG1L–2H", "CONFIG3L–4H", "CONFIG5L–6H", "CONFIG7L–7H"}));
  EXPECT_EQ(page.PicID.Text, "$FF $FF $FF $FF $FF $FF $FF $FF ");
  config[28] = 0xAB;  // past the 14 configuration bytes: no checkbox stands for it
  // Each group's named bit is shown, then cleared; the next choice takes the change.
  const std::tuple<int, std::size_t, const char*, std::size_t> shown[] = {
      {0, 0, "PLLDIV0", 14}, {1, 8, "CCP2MX", 19}, {2, 0, "CP0", 22}, {3, 0, "EBTR0", 26}};
  for (const auto& [g, box, caption, byte] : shown) {
    SCOPED_TRACE(caption);
    group(g);
    EXPECT_EQ(page.PicFuse[box].Caption, caption);
    EXPECT_TRUE(page.PicFuse[box].Checked);
    page.PicFuse[box].Checked = false;
  }
  EXPECT_FALSE(page.PicFuse[16].Enabled);
  // A type with one group shows group 0 and takes the last group's ticks first.
  choose("Two");
  for (const auto& [g, box, caption, byte] : shown) EXPECT_EQ(config[byte], 0xFE) << caption;
  EXPECT_EQ(config[28], 0xAB);
  choose("P18");

  // The file loads with the PIC18 layout of the type chosen: ID byte 0, configuration byte 0.
  f.Host.Files.push_back(
      f.Dir.Write("p18.hex", ":020000040020DA\n:0100000012ED\n:020000040030CA\n:01000000AA55\n").string());
  f.Form->Fire(page.PicFile.OnClick);
  EXPECT_EQ(page.PicID.Text, "12 FF FF FF FF FF FF FF ");
  EXPECT_FALSE(page.PicFuse[0].Checked);
  EXPECT_TRUE(page.PicFuse[1].Checked);

  // A type of the other layout loads the file shown again: the mid-range layout refuses this one
  // and the images keep it; byte 0x4000 is an ID word there and program memory for PIC18.
  choose("Two");
  EXPECT_FALSE(page.PicFuseGroup.Enabled);
  EXPECT_EQ(page.PicFuse[16].Caption, "BOR4V");
  EXPECT_EQ(f.Host.Errors.size(), 1u);
  EXPECT_EQ(config[0], 0x12);
  f.Host.Files.push_back(f.Dir.Write("mid.hex", ":02400000AB0013\n").string());
  f.Form->Fire(page.PicFile.OnClick);
  EXPECT_EQ(config[0], 0xAB);
  choose("P18");
  EXPECT_EQ(page.PicID.Text, "FF FF FF FF FF FF FF FF ");
  EXPECT_EQ(f.Form->Images.FlashImage[0x2000], 0x00AB);
}

}  // namespace
}  // namespace pw
