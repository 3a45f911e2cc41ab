#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "common/HexDigits.h"
#include "spi/SpiFlashImage.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

using test::RunCli;
using Bytes = std::vector<std::uint8_t>;

Bytes FileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), {});
}

TEST(SpiCli, A32MbitChipRoundTripsAnImageAndEachOutcomeHasItsStatus) {
  test::TempDir dir;
  dir.Write("bench.ini", "[SPI]\nPart=W25Q32\nMemory=flash.bin\n[Timing]\nModel=datasheet\n");
  dir.Write("empty.ini", "[Timing]\nModel=lenient\n");
  // A real program file's first MiB as the image; the chip's other 3 MiB stay erased. (The page's
  // own tests write all 4 MiB; here every pass over the chip runs a whole program.)
  Bytes image = FileBytes(PINWRIGHT_CLI);
  image.resize(1u << 20, 0xFF);
  SaveSpiFlashImage(dir / "image.bin", image);
  // Two small HEX files for the comparisons: one record each, the second with one bit changed.
  const Bytes part(image.begin() + 0x0A0000, image.begin() + 0x0A0010);
  Bytes changed = part;
  changed[0] ^= 0x80;
  const auto record = [](const Bytes& bytes) {
    std::string text = SpiFlashHexText(bytes);
    return ":02000004000AF0\r\n" + text.substr(text.find("\r\n") + 2);
  };
  dir.Write("same.hex", record(part));
  dir.Write("other.hex", record(changed));

  const std::string bench = "--simulator=" + (dir / "bench.ini").string();
  const struct {
    std::vector<std::string> args;
    int status;
    std::string line;
  } steps[] = {
      {{bench, "spi", "write", "image.bin"}, 0, "прошивание SPI Flash завершено"},
      {{bench, "spi", "read", "back.hex"}, 0, "чтение SPI Flash завершено"},
      {{bench, "spi", "verify", "same.hex"}, 0, "верификация SPI Flash завершена: совпадает"},
      {{bench, "spi", "verify", "other.hex"},
       2,
       "байт 0x0A0000: ожидалось " + HexDigits(changed[0], 2) + ", прочитано " + HexDigits(part[0], 2) +
           "\nВсего различий: 1\n"},
      {{bench, "spi", "write", "missing.bin"}, 1, "Ошибка! Файл не найден! missing.bin"},
      {{bench, "spi", "erase"}, 1, "Микросхема: W25Q32, ID EF 40 16, 4194304 байт"},
      {{"--simulator=" + (dir / "empty.ini").string(), "spi", "identify"},
       2,
       "Ошибка: микросхема SPI Flash не отвечает (ID FF FF FF)"},
  };
  for (const auto& step : steps) {
    const auto r = RunCli(step.args, dir.Path());
    EXPECT_EQ(r.Status, step.status) << step.args[2] << " " << r.Out << r.Err;
    EXPECT_NE((r.Out + r.Err).find(step.line), std::string::npos) << step.args[2] << ": " << r.Out << r.Err;
  }
  // Several operations in one run: the chip is identified once.
  const auto both = RunCli({bench, "spi", "write", "same.hex", "verify", "same.hex"}, dir.Path());
  EXPECT_EQ(both.Status, 0) << both.Out << both.Err;
  const auto lines = both.Lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l.starts_with("Микросхема: "); }), 1)
      << both.Out;
  Bytes chip = image;
  chip.resize(4u << 20, 0xFF);
  std::string notice;
  EXPECT_EQ(LoadSpiFlashImage(dir / "back.hex", notice).Bytes, chip);
  EXPECT_EQ(FileBytes(dir / "flash.bin"), chip) << "a declined erase left the chip alone";
  EXPECT_EQ(RunCli({bench, "--yes", "spi", "erase"}, dir.Path()).Status, 0);
  EXPECT_EQ(FileBytes(dir / "flash.bin"), Bytes(4u << 20, 0xFF));
}

}  // namespace
}  // namespace pw
