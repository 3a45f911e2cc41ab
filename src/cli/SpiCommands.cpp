#include "cli/SpiCommands.h"

#include "spi/SpiFlashImage.h"

namespace pw::cli {
namespace {

constexpr int kSpiPage = 3;

SpiFlashPage& Page(CliSession& s) { return s.Form.Spi; }

void Identify(CliSession& s, const std::string&, const std::vector<std::string>&) {
  if (s.ShowPage(kSpiPage)) s.Step([&] { Page(s).SpiFlashIdentify(); });
}

void Read(CliSession& s, const std::string&, const std::vector<std::string>& args) {
  if (!s.ShowPage(kSpiPage)) return;
  s.Host.SetFile(args[0]);
  s.Click(Page(s).SpiFlashRead);
}

void Write(CliSession& s, const std::string&, const std::vector<std::string>& args) {
  if (!s.ShowPage(kSpiPage)) return;
  s.Host.SetFile(args[0]);
  if (s.Click(Page(s).SpiFlashFile)) s.Click(Page(s).SpiFlashWrite);
}

void Erase(CliSession& s, const std::string&, const std::vector<std::string>&) {
  if (s.ShowPage(kSpiPage)) s.Click(Page(s).SpiFlashErase);
}

void Verify(CliSession& s, const std::string&, const std::vector<std::string>& args) {
  if (!s.ShowPage(kSpiPage)) return;
  s.Host.SetFile(args[0]);
  if (s.Click(Page(s).SpiFlashFile)) s.Step([&] { Page(s).SpiFlashVerify(); });
}

/// The page's own loader, so that a file it would refuse is refused before the programmer is opened.
std::string LoadSpiFile(const std::filesystem::path& file, MemoryImages&) {
  std::string notice;
  LoadSpiFlashImage(file, notice);
  return notice;
}

}  // namespace

std::vector<CliCommand> SpiCliCommands() {
  return {
      {"spi", false, "identify", 0, Identify},
      {"spi", false, "read", 1, Read, FileUse::Output},
      {"spi", false, "write", 1, Write, FileUse::Input, LoadSpiFile},
      {"spi", false, "erase", 0, Erase},
      {"spi", false, "verify", 1, Verify, FileUse::Input, LoadSpiFile},
  };
}

CliPage SpiCliPage() { return LegacyCliPage(SpiCliCommands()); }

}  // namespace pw::cli
