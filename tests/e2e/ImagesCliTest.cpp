// pinwright-cli verify-flash / verify-eeprom / blank-check / i2c verify, raw .bin files beside
// HEX ones, and Ctrl-C stopping an operation on a bench that takes the time it models.

#include <gtest/gtest.h>

#include <algorithm>

#include "avr/AvrFlashFile.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::RunCli;
using Lines = std::vector<std::string>;

std::filesystem::path Fixture(const std::string& name) { return test::SourceDir() / "tests/e2e/data" / name; }

struct Bench {
  explicit Bench(const std::string& text) { dir.Write("bench.ini", text); }
  test::CliResult Run(std::vector<std::string> args) const {
    args.insert(args.begin(), "--simulator=bench.ini");
    return RunCli(args, dir.Path());
  }
  std::string Last(const test::CliResult& r) const { return r.Lines().empty() ? "" : r.Lines().back(); }
  test::TempDir dir;
};

constexpr const char* kAvr = "[AVR]\nPart=ATmega328P\nFlash=flash.bin\nEeprom=eeprom.bin\n";

TEST(ImagesCli, VerifiesAndBlankChecksExitZeroWhenEqualAndTwoWithTheFirstDifferences) {
  Bench b(kAvr);
  const std::string flash = Fixture("m328p-flash.hex").string();
  const std::string eeprom = Fixture("m328p-eeprom.hex").string();
  struct Step {
    std::vector<std::string> Args;
    int Status;
    const char* Last;
  };
  const Step steps[] = {
      {{"avr", "blank-check"}, 0, "Флеш чистая"},
      {{"avr", "verify-flash", flash}, 2, nullptr},
      {{"avr", "write-flash", flash}, 0, "Ошибок нет"},
      {{"avr", "verify-flash", flash}, 0, "Флеш совпадает с файлом"},
      {{"avr", "blank-check"}, 2, nullptr},
      {{"avr", "verify-eeprom", eeprom}, 2, nullptr},
      {{"avr", "write-eeprom", eeprom}, 0, "Ошибок нет"},
      {{"avr", "verify-eeprom", eeprom}, 0, "EEPROM совпадает с файлом"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.Args[1] + " then " + std::to_string(s.Status));
    const auto r = b.Run(s.Args);
    EXPECT_EQ(r.Status, s.Status) << r.Out << r.Err;
    if (s.Last) {
      EXPECT_EQ(b.Last(r), s.Last);
    } else {
      // At most ten differences, then the count, on standard error.
      const Lines lines = r.ErrLines();
      const auto shown = std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.starts_with("слово 0x") || l.starts_with("байт 0x");
      });
      EXPECT_EQ(shown, 10) << r.Err;
      EXPECT_TRUE(lines.back().starts_with("Всего различий: ")) << r.Err;
    }
  }
}

TEST(ImagesCli, BinFilesRoundTripLikeTheirHexTwins) {
  Bench b(std::string(kAvr) + "[I2C]\nPart=24C04\nMemory=i2c.bin\n");
  ASSERT_EQ(b.Run({"avr", "write-flash", Fixture("m328p-flash.hex").string()}).Status, 0);
  ASSERT_EQ(b.Run({"avr", "read-flash", "back.BIN"}).Status, 0);
  ASSERT_EQ(b.Run({"avr", "read-flash", "back.hex"}).Status, 0);
  MemoryImages fromBin, fromHex;
  LoadAvrFlashFile(b.dir / "back.BIN", fromBin);
  LoadAvrFlashFile(b.dir / "back.hex", fromHex);
  EXPECT_EQ(fromBin.FlashImage, fromHex.FlashImage);
  EXPECT_EQ(test::ReadBytes(b.dir / "back.BIN"), test::ReadBytes(b.dir / "flash.bin"))
      << "the chip's bytes as they are";
  EXPECT_EQ(b.Run({"avr", "verify-flash", "back.BIN"}).Status, 0);

  std::string bytes(512, '\0');
  for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = static_cast<char>(k * 13);
  b.dir.Write("in.bin", bytes);
  ASSERT_EQ(b.Run({"i2c", "24C04", "write", "in.bin"}).Status, 0);
  ASSERT_EQ(b.Run({"i2c", "24C04", "read", "out.bin"}).Status, 0);
  EXPECT_EQ(test::ReadText(b.dir / "out.bin"), bytes);
  EXPECT_EQ(b.Run({"i2c", "24C04", "verify", "out.bin"}).Status, 0);
  bytes[300] = '\x77';
  b.dir.Write("other.bin", bytes);
  const auto differ = b.Run({"i2c", "24C04", "verify", "other.bin"});
  EXPECT_EQ(differ.Status, 2);
  EXPECT_EQ(differ.ErrLines(), (Lines{"Ошибка: EEPROM отличается от файла", "байт 0x012C: ожидалось 77, прочитано 3C",
                                      "Всего различий: 1"}));

  b.dir.Write("big.bin", std::string(32770, '\x01'));
  const auto big = b.Run({"avr", "write-flash", "big.bin"});
  EXPECT_EQ(big.Status, 1);
  EXPECT_EQ(b.Last(big), "Ошибка: в файле 16385 слов, а в чипе 16384 слов, запись отменена");
  const auto tooBigForI2c = b.Run({"i2c", "24C04", "verify", "big.bin"});
  EXPECT_EQ(tooBigForI2c.Status, 1);
  EXPECT_EQ(b.Last(tooBigForI2c), "Ошибка: данных в файле 32770 байт, а объём EEPROM 512 байт; проверка отменена");
  const auto tooBigToVerify = b.Run({"avr", "verify-flash", "big.bin"});
  EXPECT_EQ(tooBigToVerify.Status, 1);
  EXPECT_EQ(b.Last(tooBigToVerify), "Ошибка: в файле 16385 слов, а в чипе 16384 слов, проверка отменена");
}

TEST(ImagesCli, CtrlCStopsARunningReadWithStatus130AndNoFile) {
  // Under real time the whole flash of this chip takes many seconds to read; the interrupt
  // comes after one. --foreground: timeout then signals the program once, as a terminal's
  // Ctrl-C does; otherwise it signals the process group as well, and a second SIGINT ends the
  // program at once by design.
  Bench b("[AVR]\nPart=ATmega1284P\n[Timing]\nRealTime=yes\n");
  const auto r = test::RunProgram("timeout",
                                  {"--foreground", "--preserve-status", "-s", "INT", "1", PINWRIGHT_CLI,
                                   "--simulator=bench.ini", "avr", "read-flash", "cut.hex"},
                                  b.dir.Path());
  EXPECT_EQ(r.Status, 130) << r.Out << r.Err;
  EXPECT_TRUE(b.Last(r).starts_with("Остановлено по запросу: не выполнено — ")) << r.Out;
  EXPECT_TRUE(b.Last(r).ends_with(" страниц флеши; файл не сохранён")) << r.Out;
  EXPECT_FALSE(std::filesystem::exists(b.dir / "cut.hex"));
}

}  // namespace
}  // namespace pw
