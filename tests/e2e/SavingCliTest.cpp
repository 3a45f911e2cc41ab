// pinwright-cli saving what it read: two runs saving to one name at once, output names that are
// links, pipes, devices or folders, and SIGTERM / SIGHUP stopping a write as Ctrl-C does.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "support/RunningProgram.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

/// The folder's entries other than the ones named.
std::vector<std::string> OtherEntries(const fs::path& dir, const std::vector<std::string>& known) {
  std::vector<std::string> others;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (std::find(known.begin(), known.end(), name) == known.end()) others.push_back(name);
  }
  return others;
}

TEST(SavingCli, TwoReadsSavingToOneNameAtOnceLeaveOneChipsWholeDataAndNoTemporaryFile) {
  test::TempDir dir;
  const std::string a(32768, '\x11'), b(32768, '\x22');
  dir.Write("a.bin", a);
  dir.Write("b.bin", b);
  dir.Write("a.ini", "[I2C]\nPart=24C256\nMemory=a.bin\n");
  dir.Write("b.ini", "[I2C]\nPart=24C256\nMemory=b.bin\n");
  // What a save killed before its rename leaves: it must neither be taken for the file nor reused.
  const std::string stray = ".out.bin.pinwright-Kill3d";
  dir.Write(stray, "left by a killed save");
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    test::RunningProgram first(PINWRIGHT_CLI, {"--simulator=a.ini", "i2c", "24C256", "read", "out.bin"}, dir.Path());
    test::RunningProgram second(PINWRIGHT_CLI, {"--simulator=b.ini", "i2c", "24C256", "read", "out.bin"}, dir.Path());
    const auto r1 = first.Finish();
    const auto r2 = second.Finish();
    ASSERT_EQ(r1.Status, 0) << r1.Out << r1.Err;
    ASSERT_EQ(r2.Status, 0) << r2.Out << r2.Err;
    const std::string saved = test::ReadText(dir / "out.bin");
    ASSERT_TRUE(saved == a || saved == b) << saved.size() << " bytes, a mix or cut short";
  }
  EXPECT_EQ(OtherEntries(dir.Path(), {"a.bin", "b.bin", "a.ini", "b.ini", "out.bin"}), std::vector{stray});
  EXPECT_EQ(test::ReadText(dir / stray), "left by a killed save");
}

TEST(SavingCli, AnOutputLinkIsWrittenThroughAndANameThatIsNoFileIsRefusedBeforeTheProgrammerIsOpened) {
  test::TempDir dir;
  const std::string chip(512, '\x5A');
  dir.Write("chip.bin", chip);
  dir.Write("bench.ini", "[I2C]\nPart=24C04\nMemory=chip.bin\n");
  fs::create_directories(dir / "elsewhere");
  dir.Write("elsewhere/target.bin", "old");
  fs::create_symlink("elsewhere/target.bin", dir / "link.bin");
  ASSERT_EQ(::mkfifo((dir / "pipe.bin").c_str(), 0644), 0);
  fs::create_symlink("pipe.bin", dir / "to-pipe.bin");
  fs::create_directory(dir / "folder.bin");
  const struct {
    std::string Name;
    int Status;
    std::string Said;  // on standard error
  } cases[] = {
      {"pipe.bin", 1, "Ошибка! Не удалось записать файл pipe.bin: это не обычный файл"},
      {"to-pipe.bin", 1, "Ошибка! Не удалось записать файл to-pipe.bin: это не обычный файл"},
      {"/dev/null", 1, "Ошибка! Не удалось записать файл /dev/null: это не обычный файл"},
      {"folder.bin", 1, "Ошибка: folder.bin это папка, а не файл"},
      {"link.bin", 0, ""},
  };
  for (const auto& c : cases) {
    const auto r =
        test::RunCli({"--simulator=bench.ini", "--trace", "trace.bin", "i2c", "24C04", "read", c.Name}, dir.Path());
    EXPECT_EQ(r.Status, c.Status) << c.Name << ": " << r.Out << r.Err;
    EXPECT_NE(r.Err.find(c.Said), std::string::npos) << c.Name << ": " << r.Err;
    // Identification logs and tracing starts as soon as the programmer is opened: neither happened.
    if (c.Status != 0) {
      EXPECT_EQ(r.Out, "") << c.Name;
      EXPECT_FALSE(fs::exists(dir / "trace.bin")) << c.Name;
    }
  }
  EXPECT_TRUE(fs::is_symlink(dir / "link.bin"));
  EXPECT_EQ(test::ReadText(dir / "elsewhere/target.bin"), chip);
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(dir / "pipe.bin")));
  EXPECT_EQ(OtherEntries(dir / "elsewhere", {"target.bin"}), std::vector<std::string>{});
}

TEST(SavingCli, EachStopSignalStopsAWriteBetweenThePagesOfOneBlockAndEndsWithItsOwnStatus) {
  // An 8 KiB image is one 64 KiB block of the chip; under real time the write takes seconds.
  const struct {
    int Signal;
    int Status;
  } cases[] = {{SIGTERM, 143}, {SIGHUP, 129}, {SIGINT, 130}};
  for (const auto& c : cases) {
    SCOPED_TRACE(strsignal(c.Signal));
    test::TempDir dir;
    dir.Write("bench.ini", "[SPI]\nPart=W25Q16\nMemory=flash.bin\n[Timing]\nRealTime=yes\n");
    std::string image(8192, '\0');
    for (std::size_t k = 0; k < image.size(); ++k) image[k] = static_cast<char>(k * 7);
    dir.Write("image.bin", image);
    test::RunningProgram write(PINWRIGHT_CLI, {"--simulator=bench.ini", "spi", "write", "image.bin"}, dir.Path());
    ASSERT_TRUE(write.WaitForLine("прошивание SPI Flash: 8192 байт"));
    write.Signal(c.Signal);
    const auto r = write.Finish();
    EXPECT_EQ(r.Status, c.Status) << r.Out << r.Err;
    const auto lines = r.Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Остановлено по запросу: не выполнено — 1 из 1 блоков SPI Flash; микросхема могла остаться "
                        "записанной частично"),
              lines.end())
        << r.Out;
    EXPECT_NE(test::ReadText(dir / "flash.bin").substr(0, image.size()), image) << "the write ran to its end";
  }
}

}  // namespace
}  // namespace pw
