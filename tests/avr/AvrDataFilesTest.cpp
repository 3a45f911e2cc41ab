// chips.ini that is there but gives nothing: each is reported as what it is. Before, every chip
// was just "неизвестный" without a word about the file.

#include <gtest/gtest.h>

#include <functional>

#include "support/FormFixture.h"

namespace pw {
namespace {

using Lines = std::vector<std::string>;

TEST(AvrChipsIni, AnEmptyBinaryOrUnreadableFileIsReportedAsSuch) {
  struct Case {
    const char* What;
    std::function<void(test::FormFixture&)> Make;
    std::function<std::string(test::FormFixture&)> Line;
  };
  const auto file = [](test::FormFixture& f) { return (f.ProgramDir() / "chips.ini").string(); };
  const Case cases[] = {
      {"empty", [](test::FormFixture& f) { f.Dir.Write("program/chips.ini", ""); },
       [](test::FormFixture&) { return std::string("Ошибка! В файле chips.ini нет ни одного раздела"); }},
      {"comments only", [](test::FormFixture& f) { f.Dir.Write("program/chips.ini", "; nothing\r\n\r\n"); },
       [](test::FormFixture&) { return std::string("Ошибка! В файле chips.ini нет ни одного раздела"); }},
      {"binary", [](test::FormFixture& f) { f.Dir.Write("program/chips.ini", std::string("[0x1E\0\x95]\n", 10)); },
       [&](test::FormFixture& f) { return "Ошибка! Файл " + file(f) + " не текстовый"; }},
      {"folder", [](test::FormFixture& f) { std::filesystem::create_directories(f.ProgramDir() / "chips.ini"); },
       [&](test::FormFixture& f) { return "Ошибка! Не удалось прочитать файл " + file(f) + ": это не обычный файл"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    test::FormFixture f("[AVR]\nPart=ATmega328P\n");
    std::filesystem::create_directories(f.ProgramDir());
    c.Make(f);
    f.Start();
    f.Form->Fire(f.Form->Avr.AvrRdSign.OnClick);
    ASSERT_FALSE(f.Form->Log.Lines.empty());
    EXPECT_EQ(f.Form->Log.Lines.front(), c.Line(f));
    EXPECT_EQ(f.Form->Log.Lines.back(), "чип: неизвестный");
    EXPECT_FALSE(f.Form->Avr.ChipKnown);
  }
}

}  // namespace
}  // namespace pw
