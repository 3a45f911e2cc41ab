// AVR ELF files as flash and EEPROM files: the fixture built from the same program as its HEX
// twins (tests/e2e/data/make-fixtures.sh) loads as they do, and every way an ELF file can be
// wrong is refused with its own message, leaving the images as they were.

#include <gtest/gtest.h>

#include <functional>

#include "avr/AvrFlashFile.h"
#include "common/Error.h"
#include "support/SameImages.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

std::filesystem::path Fixture(const std::string& name) { return test::SourceDir() / "tests/e2e/data" / name; }

TEST(AvrElfFile, LoadsFlashAndEepromAsTheirHexTwins) {
  MemoryImages elf, hex;
  LoadAvrFlashFile(Fixture("m328p.elf"), elf);
  LoadAvrEepromFile(Fixture("m328p.elf"), elf);
  LoadAvrFlashFile(Fixture("m328p-flash.hex"), hex);
  LoadAvrEepromFile(Fixture("m328p-eeprom.hex"), hex);
  test::ExpectSameImages(elf, hex);
}

TEST(AvrElfFile, RefusesWhatIsNoAvrProgramAndKeepsTheImages) {
  const std::string good = test::ReadText(Fixture("m328p.elf"));
  using Loader = std::string (*)(const ImageFile&, MemoryImages&);
  struct Case {
    const char* What;
    std::function<std::string(std::string)> Damage;
    Loader Load;
    const char* Message;
  };
  const auto patch = [](std::size_t at, std::string bytes) {
    return [at, bytes](std::string elf) { return elf.replace(at, bytes.size(), bytes); };
  };
  const Case cases[] = {
      {"HEX text", [](std::string) { return std::string(":00000001FF\r\n"); }, LoadAvrFlashFile,
       "Ошибка! Файл x.elf не ELF-файл; файл не загружен"},
      // e_machine 62: x86-64.
      {"another machine", patch(18, std::string("\x3E\x00", 2)), LoadAvrEepromFile,
       "Ошибка! Файл x.elf собран не для AVR (машина 62); файл не загружен"},
      {"cut in the header", [](std::string elf) { return elf.substr(0, 30); }, LoadAvrFlashFile,
       "Ошибка! Файл ELF x.elf повреждён (заголовок); файл не загружен"},
      {"cut in the program headers", [](std::string elf) { return elf.substr(0, 100); }, LoadAvrFlashFile,
       "Ошибка! Файл ELF x.elf повреждён (таблица сегментов); файл не загружен"},
      {"cut in a segment", [](std::string elf) { return elf.substr(0, 0x250); }, LoadAvrEepromFile,
       "Ошибка! Файл ELF x.elf повреждён (сегмент за концом файла); файл не загружен"},
      // The EEPROM segments' load addresses moved to the fuses' (0x820000 and up).
      {"no EEPROM", [&](std::string elf) { return patch(0xC2, "\x82")(patch(0xE2, "\x82")(elf)); }, LoadAvrEepromFile,
       "Ошибка! В файле x.elf нет данных для EEPROM; файл не загружен"},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    MemoryImages images;
    LoadAvrFlashFile(Fixture("m328p-flash.hex"), images);
    LoadAvrEepromFile(Fixture("m328p-eeprom.hex"), images);
    const MemoryImages before = images;
    const auto file = dir.Write("x.elf", c.Damage(good));
    try {
      c.Load(file, images);
      ADD_FAILURE() << "loaded";
    } catch (const PinwrightError& e) {
      std::string message = c.Message;
      EXPECT_EQ(e.what(), message.replace(message.find("x.elf"), 5, file.string()));
    }
    EXPECT_EQ(images.FlashImage, before.FlashImage);
    EXPECT_EQ(images.EepromImage, before.EepromImage);
    EXPECT_EQ(images.EepromDataCount, before.EepromDataCount);
  }
}

}  // namespace
}  // namespace pw
