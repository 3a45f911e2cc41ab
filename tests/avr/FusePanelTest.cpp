// The fuse panel, the lock combos, the page's start-up and the size lines of the report.

#include <gtest/gtest.h>

#include "AvrBench.h"
#include "avr/AvrChipDescription.h"
#include "avr/AvrLockBits.h"

namespace pw {
namespace {

using test::AvrBench;
using test::ChipsIni;

TEST(FusePanel, StartUpLeavesOnlyIdentificationUsable) {
  AvrBench w("ATmega328P");
  AvrPage& p = w.Page();
  EXPECT_TRUE(p.AvrRdSign.Enabled);
  for (Button* b : {&p.AvrChipRst, &p.AvrErase, &p.AvrLoadFls, &p.AvrLoadEep, &p.AvrWriteFls, &p.AvrReadFls,
                    &p.AvrWriteEep, &p.AvrReadEep, &p.AvrReadFuses, &p.AvrWriteFuses}) {
    EXPECT_FALSE(b->Enabled) << b->Name;
  }
  for (const CheckBox& box : p.AvrFuse) {
    EXPECT_FALSE(box.Enabled);
    EXPECT_EQ(box.Caption, "");
    EXPECT_TRUE(box.Checked);
  }
  EXPECT_EQ(p.AvrLock1.Items, (std::vector<std::string>{"BLB0=1", "BLB0=2", "BLB0=3", "BLB0=4"}));
  EXPECT_EQ(p.AvrLock2.Items, (std::vector<std::string>{"BLB1=1", "BLB1=2", "BLB1=3", "BLB1=4"}));
  EXPECT_EQ(p.AvrLock3.Items,
            (std::vector<std::string>{"нет защиты", "запись запрещена", "запись и чтение запрещено"}));
  for (ComboBox* c : {&p.AvrLock1, &p.AvrLock2, &p.AvrLock3}) {
    EXPECT_EQ(c->ItemIndex, 0);
    EXPECT_FALSE(c->Enabled);
  }
}

TEST(FusePanel, BoxesShowTheBitsOfTheirBytes) {
  AvrBench w("ATmega328P");
  AvrPage& p = w.Page();
  p.FuseLow = 0x01;
  p.FuseHigh = 0x80;
  p.FuseExt = 0x5A;
  p.ShowFusePanel();
  for (int n = 0; n < 24; ++n) {
    const int byte = n < 8 ? 0x01 : n < 16 ? 0x80 : 0x5A;
    EXPECT_EQ(p.AvrFuse[static_cast<std::size_t>(n)].Checked, ((byte >> (n % 8)) & 1) == 1) << n;
  }
}

TEST(FusePanel, LockCombosShowTheLockByteFields) {
  AvrBench w("ATmega328P");
  AvrPage& p = w.Page();
  struct Case {
    std::uint8_t Lock;
    int Lock1, Lock2, Lock3;
  };
  for (const Case& c : {Case{0xFF, 0, 0, 0}, Case{0xFC, 0, 0, 2}, Case{0xF7, 0, 3, 0}, Case{0xFE, 0, 0, 1},
                        Case{0xFD, 0, 0, 2}, Case{0xEF, 1, 0, 0}, Case{0xCF, 2, 0, 0}, Case{0xDB, 3, 1, 0}}) {
    p.LockByte = c.Lock;
    p.ShowFusePanel();
    EXPECT_EQ(p.AvrLock1.ItemIndex, c.Lock1) << int(c.Lock);
    EXPECT_EQ(p.AvrLock2.ItemIndex, c.Lock2) << int(c.Lock);
    EXPECT_EQ(p.AvrLock3.ItemIndex, c.Lock3) << int(c.Lock);
  }
  // Writing uses the inverse.
  for (int item = 0; item < 4; ++item) EXPECT_EQ(BootLockItem(BootLockField(item)), item);
  for (int item = 0; item < 3; ++item) EXPECT_EQ(LockModeItem(LockModeField(item)), item);
}

TEST(FusePanel, FuseNamesBecomeCaptionsOfTheirBoxes) {
  AvrBench w("ATmega328P", ChipsIni{"[0x1E 0x95 0x0F]\nFusesNames[3]=FUSE3\nFusesNames[8]=NONE\nFusesNames[23]=none\n"
                                    "FlashPageSize=64\nFlashPagesCount=256\n"});
  // High bits 7 and 6 unprogrammed: RSTDISBL or DWEN would lock the programmer out.
  w.Core().SetFuses({0x02, 0xC1, 0x00});
  w.Click(w.Page().AvrRdSign);
  const auto& box = w.Page().AvrFuse;
  EXPECT_EQ(box[3].Caption, "FUSE3");
  EXPECT_TRUE(box[3].Enabled);
  EXPECT_FALSE(box[3].Checked);
  EXPECT_EQ(box[8].Caption, "");
  EXPECT_FALSE(box[8].Enabled);
  EXPECT_TRUE(box[8].Checked);  // a box without a name still shows its bit
  // NONE is compared exactly: another spelling is a name.
  EXPECT_EQ(box[23].Caption, "none");
  EXPECT_TRUE(box[23].Enabled);
}

TEST(FusePanel, EveryPartShowsItsFactoryFusesAndNamedBits) {
  for (const sim::SimAvrPart& part : sim::SimAvrParts()) {
    AvrBench w(std::string(part.Name));
    ASSERT_EQ(w.Click(w.Page().AvrRdSign), Outcome::Success) << part.Name;
    // The boot-lock combos only for a part with boot-lock bits; the lock mode for every part.
    EXPECT_EQ(w.Page().AvrLock1.Enabled, part.LockBits == 0x3F) << part.Name;
    EXPECT_EQ(w.Page().AvrLock2.Enabled, part.LockBits == 0x3F) << part.Name;
    EXPECT_TRUE(w.Page().AvrLock3.Enabled) << part.Name;
    for (int n = 0; n < 24; ++n) {
      const auto& box = w.Page().AvrFuse[static_cast<std::size_t>(n)];
      const bool bit = (part.FactoryFuses[static_cast<std::size_t>(n / 8)] >> (n % 8)) & 1;
      const bool exists = (part.FuseBits[static_cast<std::size_t>(n / 8)] >> (n % 8)) & 1;
      EXPECT_EQ(box.Checked, bit || !exists) << part.Name << " bit " << n;
      EXPECT_EQ(box.Enabled, exists) << part.Name << " bit " << n;
    }
  }
}

TEST(ChipReport, SizesAreWholeKibibytesOrBytes) {
  struct Case {
    std::string Geometry;
    std::string Flash, Eeprom;
  };
  const std::vector<Case> cases{
      {"FlashPageSize=32\nFlashPagesCount=128\nEepromPageSize=4\nEepromPagesCount=128\n", "8 Кбайт", "512 байт"},
      {"FlashPageSize=32\nFlashPagesCount=8\nEepromPageSize=8\nEepromPagesCount=128\n", "0 Кбайт", "1 Кбайт"},
      {"FlashPageSize=64\nFlashPagesCount=24\nEepromPageSize=8\nEepromPagesCount=192\n", "3 Кбайт", "1 Кбайт"},
  };
  for (const Case& c : cases) {
    AvrBench w("ATmega328P", ChipsIni{"[0x1E 0x95 0x0F]\n" + c.Geometry});
    w.Click(w.Page().AvrRdSign);
    ASSERT_EQ(w.Log().size(), 4u);
    EXPECT_EQ(w.Log()[0], "Объём флеши: " + c.Flash);
    EXPECT_EQ(w.Log()[1], "Объём Еепром: " + c.Eeprom);
  }
}

TEST(ChipReport, SignatureTextIsFourteenCharactersWithUpperCaseDigits) {
  EXPECT_EQ(SignatureText(0x1E, 0x93, 0x07), "0x1E 0x93 0x07");
  EXPECT_EQ(SignatureText(0x0A, 0xab, 0x00), "0x0A 0xAB 0x00");
}

}  // namespace
}  // namespace pw
