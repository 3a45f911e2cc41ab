#include "cli/SettingsCommands.h"

#include <iostream>

namespace pw::cli {
namespace {

constexpr int kSettingsPage = 4;

/// Shows the page, which reads the settings, as a person starts on this page.
bool ShowSettings(CliSession& s) { return s.ShowPage(kSettingsPage); }

/// What the page's four controls show, one line each, for a script to read.
void PrintControls(const SetupPage& page) {
  std::cout << "SetupCbus: " << page.SetupCbus.Text << "\n"
            << "SetupCurrent: " << page.SetupCurrent.Text << "\n"
            << "UsbVer: " << page.UsbVer.Text << "\n"
            << "SetupClock: " << page.SetupClock.Text << std::endl;
}

void Read(CliSession& s, const std::string&, const std::vector<std::string>&) {
  if (ShowSettings(s)) PrintControls(s.Form.Setup);
}

/// CLOCK is the index of the clock entry: 0 internal oscillator, 1 external crystal.
int ClockIndex(const std::string& text) {
  if (text == "0") return 0;
  if (text == "1") return 1;
  throw UsageError("CLOCK must be 0 (internal oscillator) or 1 (external crystal), not " + text);
}

void Write(CliSession& s, const std::string&, const std::vector<std::string>& args) {
  const int clock = ClockIndex(args[3]);
  if (!ShowSettings(s)) return;
  SetupPage& page = s.Form.Setup;
  // Typed into the editable drop-downs, picked in the clock list, as a person would.
  page.SetupCbus.Text = args[0];
  page.SetupCurrent.Text = args[1];
  page.UsbVer.Text = args[2];
  page.SetupClock.Select(clock);
  s.Click(page.SetupWrite);
}

void Defaults(CliSession& s, const std::string&, const std::vector<std::string>&) {
  if (ShowSettings(s)) s.Click(s.Form.Setup.SetupDefoult);
}

}  // namespace

std::vector<CliCommand> SettingsCliCommands() {
  return {
      {"settings", false, "read", 0, Read},
      {"settings", false, "write", 4, Write},
      {"settings", false, "defaults", 0, Defaults},
  };
}

CliPage SettingsCliPage() { return LegacyCliPage(SettingsCliCommands()); }

}  // namespace pw::cli
