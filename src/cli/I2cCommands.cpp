#include "cli/I2cCommands.h"

#include "frame/ImageFiles.h"

namespace pw::cli {
namespace {

constexpr int kI2cPage = 2;

/// Chooses the type in the list and shows the page, as a person starts on this page.
bool Prepare(CliSession& s, const std::string& type) {
  return s.Choose(s.Form.I2c.I2eEepromType, type) && s.ShowPage(kI2cPage);
}

void Read(CliSession& s, const std::string& type, const std::vector<std::string>& args) {
  if (!Prepare(s, type)) return;
  s.Host.SetFile(args[0]);
  s.Click(s.Form.I2c.I2cEepromRead);
}

void Write(CliSession& s, const std::string& type, const std::vector<std::string>& args) {
  if (!Prepare(s, type)) return;
  s.Host.SetFile(args[0]);
  if (s.Click(s.Form.I2c.I2cEepromFile)) s.Click(s.Form.I2c.I2cEepromWrite);
}

void Verify(CliSession& s, const std::string& type, const std::vector<std::string>& args) {
  if (!Prepare(s, type)) return;
  s.Host.SetFile(args[0]);
  if (s.Click(s.Form.I2c.I2cEepromFile)) s.Step([&s] { s.Form.I2c.I2cEepromVerifyClick(); });
}

void Erase(CliSession& s, const std::string& type, const std::vector<std::string>&) {
  if (Prepare(s, type)) s.Click(s.Form.I2c.I2cEepromErase);
}

}  // namespace

std::vector<CliCommand> I2cCliCommands() {
  return {
      {"i2c", true, "read", 1, Read, FileUse::Output},
      {"i2c", true, "write", 1, Write, FileUse::Input, LoadEepromFile},
      {"i2c", true, "erase", 0, Erase},
      {"i2c", true, "verify", 1, Verify, FileUse::Input, LoadEepromFile},
  };
}

CliPage I2cCliPage() { return LegacyCliPage(I2cCliCommands()); }

}  // namespace pw::cli
