#include "cli/AvrCommands.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace pw::cli {
namespace {

std::string Hex(int byte) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", byte & 0xFF);
  return text;
}

/// One fuse byte as the panel shows it: its value from the ticks, then each named bit.
std::string FuseLine(const char* label, const AvrPage& page, int firstBox) {
  int value = 0;
  std::string bits;
  for (int k = 7; k >= 0; --k) {
    const CheckBox& box = page.AvrFuse[static_cast<std::size_t>(firstBox + k)];
    value = (value << 1) | (box.Checked ? 1 : 0);
    if (box.Enabled) bits += " " + box.Caption + "=" + (box.Checked ? "1" : "0");
  }
  return std::string(label) + " " + Hex(value) + (bits.empty() ? "" : " " + bits);
}

/// What the fuse panel shows, for a person at a terminal.
void PrintFusePanel(const AvrPage& page) {
  std::cout << FuseLine("low ", page, 0) << "\n"
            << FuseLine("high", page, 8) << "\n"
            << FuseLine("ext ", page, 16) << "\n"
            << "lock " << Hex(page.LockByte) << "  " << page.AvrLock1.Text << ", " << page.AvrLock2.Text << ", "
            << page.AvrLock3.Text << std::endl;
}

void Identify(CliSession& s, const std::string&, const std::vector<std::string>&) { s.Click(s.Form.Avr.AvrRdSign); }

void ReadFuses(CliSession& s, const std::string&, const std::vector<std::string>&) {
  // The fuse button is usable only once a chip is identified, so a person clicks that first.
  if (s.Click(s.Form.Avr.AvrRdSign) && s.Click(s.Form.Avr.AvrReadFuses)) PrintFusePanel(s.Form.Avr);
}

}  // namespace

std::vector<CliCommand> AvrCliCommands() {
  return {
      {"avr", false, "identify", 0, Identify},
      {"avr", false, "read-fuses", 0, ReadFuses},
  };
}

}  // namespace pw::cli
