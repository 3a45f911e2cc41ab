#include <gtest/gtest.h>

#include "support/FormFixture.h"

namespace pw {
namespace {

using test::FormFixture;

/// Starts the window, expecting start-up to stop with error as the one message shown.
TForm1& StartFailing(FormFixture& f, const std::string& error) {
  TForm1& form = f.Start();
  EXPECT_EQ(f.Host.Errors, std::vector<std::string>{error});
  return form;
}

TEST(Startup, TheEighthLineOfSpeedTxtFixesTheBaud) {
  FormFixture f;
  TForm1& form = f.Start();
  EXPECT_TRUE(f.Host.Errors.empty());
  ASSERT_EQ(form.BoudRate.Items.size(), 10u) << "the file's nine lines and \"авто\"";
  EXPECT_EQ(form.BoudRate.Items.back(), "авто");
  EXPECT_EQ(form.BoudRate.ItemIndex, 7);
  EXPECT_EQ(form.BoudRate.Text, "19200");
  EXPECT_EQ(form.ProgrammerBaud, 19200);
  EXPECT_EQ(form.LastOutcome(), Outcome::Success);
  // Choosing "авто" turns the automatic clock on, any other entry off; the number stays.
  for (const auto& [entry, automatic] : {std::pair<int, bool>{9, true}, {3, false}, {9, true}, {7, false}}) {
    form.BoudRate.Select(entry);
    form.Fire(form.BoudRate.OnChange);
    EXPECT_EQ(form.Context().AutoBaud, automatic) << entry;
    EXPECT_EQ(form.ProgrammerBaud, 19200);
  }
}

TEST(Startup, CrLfLineEndsAndBlanksAroundTheNumberAreRead) {
  FormFixture f("", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n 57600 \r\n");
  EXPECT_EQ(f.Start().ProgrammerBaud, 57600);
}

TEST(Startup, FewerThanEightLinesStopsStartUpWithAnError) {
  FormFixture f("", "300\n600\n1200\n2400\n4800\n9600\n14400\n");
  TForm1& form = StartFailing(f, "Ошибка! В файле speed.txt меньше восьми строк!");
  EXPECT_EQ(form.ProgrammerBaud, 0);
  EXPECT_EQ(form.BoudRate.Items.size(), 7u);
  EXPECT_EQ(form.LastOutcome(), Outcome::ErrorReport);
}

TEST(Startup, ANonNumericEighthLineStopsStartUpWithAnError) {
  FormFixture f("", "1\n2\n3\n4\n5\n6\n7\n19200 baud\n");
  TForm1& form = StartFailing(f, "Ошибка! Строка \"19200 baud\" файла speed.txt не является числом!");
  EXPECT_EQ(form.ProgrammerBaud, 0);
  EXPECT_EQ(form.BoudRate.Text, "19200 baud") << "the line stays selected, as read";
}

TEST(Startup, ABaudBeyond32BitsIsNotANumber) {
  FormFixture f("", "1\n2\n3\n4\n5\n6\n7\n99999999999\n");
  EXPECT_EQ(f.Start().ProgrammerBaud, 0);
  EXPECT_EQ(f.Host.Errors.size(), 1u);
}

// Before, such a value only showed later, as a programmer that is not connected.
TEST(Startup, ABaudTheProgrammerCannotTakeStopsStartUpNamingTheValue) {
  for (const char* baud : {"0", "299", "3000001", "-9600"}) {
    FormFixture f("", std::string("1\n2\n3\n4\n5\n6\n7\n") + baud + "\n");
    TForm1& form = StartFailing(f, std::string("Ошибка! Скорость ") + baud +
                                       " в восьмой строке файла speed.txt вне пределов 300..3000000 бод!");
    EXPECT_EQ(form.ProgrammerBaud, 0);
    EXPECT_EQ(form.LastOutcome(), Outcome::ErrorReport);
  }
  for (const char* baud : {"300", "3000000"}) {
    FormFixture f("", std::string("1\n2\n3\n4\n5\n6\n7\n") + baud + "\n");
    EXPECT_EQ(f.Start().ProgrammerBaud, std::stoi(baud));
  }
}

TEST(Startup, SpeedTxtBesideTheProgramServesWhenTheCurrentFolderHasNone) {
  FormFixture f("", "");
  f.Dir.Write("program/speed.txt", "1\n2\n3\n4\n5\n6\n7\n4800\n");
  EXPECT_EQ(f.Start().ProgrammerBaud, 4800);
}

TEST(Startup, TheInstalledSpeedTxtServesWhenNeitherFolderHasOne) {
  FormFixture f("", "");
  f.Dir.Write("installed/speed.txt", "1\n2\n3\n4\n5\n6\n7\n9600\n");
  EXPECT_EQ(f.Start().ProgrammerBaud, 9600);
}

TEST(Startup, TheCurrentFoldersSpeedTxtComesFirst) {
  FormFixture f;
  f.Dir.Write("program/speed.txt", "1\n2\n3\n4\n5\n6\n7\n4800\n");
  EXPECT_EQ(f.Start().ProgrammerBaud, 19200);
}

TEST(Startup, NoSpeedTxtAnywhereIsReported) {
  FormFixture f("", "");
  TForm1& form = StartFailing(f, "Ошибка! Файл speed.txt не найден!");
  EXPECT_TRUE(form.BoudRate.Items.empty());
  EXPECT_EQ(form.BoudRate.Text, "BoudRate");
}

TEST(Startup, TheLogStartsEmpty) {
  FormFixture f;
  f.Form = std::make_unique<TForm1>(f.Sim(), f.Host, FormPaths{f.ProgramDir(), {}, f.WorkingDir()});
  f.Form->Log.Append("left over");
  f.Form->FormCreate();
  EXPECT_TRUE(f.Form->Log.Lines.empty());
}

}  // namespace
}  // namespace pw
