#include "cli/AvrCommands.h"

#include <array>
#include <iostream>
#include <string>

#include "avr/AvrLockBits.h"
#include "common/HexDigits.h"
#include "frame/ImageFiles.h"

namespace pw::cli {
namespace {

std::string Hex(int byte) { return HexDigits(static_cast<std::uint32_t>(byte), 2); }

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

/// A byte given in hex ("E2", "0xe2"); a UsageError for anything else.
std::uint8_t HexByte(const std::string& text) {
  const std::string digits = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0 ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 2 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    throw UsageError("not a hex byte: " + text);
  }
  return static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16));
}

/// Ticks the boxes a person can tick (those of existing bits) as the fuse bytes say, and picks
/// the lock combos' items that stand for the lock byte.
void SetFusePanel(AvrPage& page, const std::array<std::uint8_t, 3>& fuses, std::uint8_t lock) {
  for (std::size_t n = 0; n < page.AvrFuse.size(); ++n) {
    CheckBox& box = page.AvrFuse[n];
    if (box.Enabled) box.Checked = ((fuses[n / 8] >> (n % 8)) & 1) != 0;
  }
  page.AvrLock3.Select(LockModeItem(LockField(lock, kLockModeShift)));
  page.AvrLock2.Select(BootLockItem(LockField(lock, kBootLock1Shift)));
  page.AvrLock1.Select(BootLockItem(LockField(lock, kBootLock0Shift)));
}

void Identify(CliSession& s, const std::string&, const std::vector<std::string>&) { s.Click(s.Form.Avr.AvrRdSign); }

/// Identifies the chip, then clicks button with file as the answer of its file dialog.
void WithFile(CliSession& s, Button& button, const std::string& file) {
  if (!s.Click(s.Form.Avr.AvrRdSign)) return;
  s.Host.SetFile(file);
  s.Click(button);
}

void ReadFlash(CliSession& s, const std::string&, const std::vector<std::string>& args) {
  WithFile(s, s.Form.Avr.AvrReadFls, args[0]);
}

void WriteFlash(CliSession& s, const std::string&, const std::vector<std::string>& args) {
  WithFile(s, s.Form.Avr.AvrLoadFls, args[0]);
  if (s.Result() != Outcome::Success) return;
  s.Click(s.Form.Avr.AvrWriteFls);
}

void ReadEeprom(CliSession& s, const std::string&, const std::vector<std::string>& args) {
  WithFile(s, s.Form.Avr.AvrReadEep, args[0]);
}

void WriteEeprom(CliSession& s, const std::string&, const std::vector<std::string>& args) {
  WithFile(s, s.Form.Avr.AvrLoadEep, args[0]);
  if (s.Result() == Outcome::Success) s.Click(s.Form.Avr.AvrWriteEep);
}

void VerifyFlash(CliSession& s, const std::string&, const std::vector<std::string>& args) {
  WithFile(s, s.Form.Avr.AvrLoadFls, args[0]);
  if (s.Result() == Outcome::Success) s.Step([&s] { s.Form.Avr.AvrVerifyFlsClick(); });
}

void VerifyEeprom(CliSession& s, const std::string&, const std::vector<std::string>& args) {
  WithFile(s, s.Form.Avr.AvrLoadEep, args[0]);
  if (s.Result() == Outcome::Success) s.Step([&s] { s.Form.Avr.AvrVerifyEepClick(); });
}

void BlankCheck(CliSession& s, const std::string&, const std::vector<std::string>&) {
  if (s.Click(s.Form.Avr.AvrRdSign)) s.Step([&s] { s.Form.Avr.AvrBlankCheckClick(); });
}

void WriteFuses(CliSession& s, const std::string&, const std::vector<std::string>& args) {
  const std::array<std::uint8_t, 3> fuses{HexByte(args[0]), HexByte(args[1]), HexByte(args[2])};
  const std::uint8_t lock = HexByte(args[3]);
  if (!s.Click(s.Form.Avr.AvrRdSign)) return;
  SetFusePanel(s.Form.Avr, fuses, lock);
  s.Click(s.Form.Avr.AvrWriteFuses);
}

void Erase(CliSession& s, const std::string&, const std::vector<std::string>&) {
  if (s.Click(s.Form.Avr.AvrRdSign)) s.Click(s.Form.Avr.AvrErase);
}

void Reset(CliSession& s, const std::string&, const std::vector<std::string>&) {
  // The restart needs no known chip: after any identification that reached the programmer a
  // person can click it.
  if (!s.Click(s.Form.Avr.AvrRdSign) && s.Result() == Outcome::ErrorReport) return;
  s.Click(s.Form.Avr.AvrChipRst);
}

void ReadFuses(CliSession& s, const std::string&, const std::vector<std::string>&) {
  // The fuse button is usable only once a chip is identified, so a person clicks that first.
  if (s.Click(s.Form.Avr.AvrRdSign) && s.Click(s.Form.Avr.AvrReadFuses)) PrintFusePanel(s.Form.Avr);
}

}  // namespace

std::vector<CliCommand> AvrCliCommands() {
  return {
      {"avr", false, "identify", 0, Identify},
      {"avr", false, "read-fuses", 0, ReadFuses},
      {"avr", false, "read-flash", 1, ReadFlash, FileUse::Output},
      {"avr", false, "write-flash", 1, WriteFlash, FileUse::Input, LoadAvrFlashFile},
      {"avr", false, "read-eeprom", 1, ReadEeprom, FileUse::Output},
      {"avr", false, "write-eeprom", 1, WriteEeprom, FileUse::Input, LoadEepromFile},
      {"avr", false, "write-fuses", 4, WriteFuses},
      {"avr", false, "verify-flash", 1, VerifyFlash, FileUse::Input, LoadAvrFlashFile},
      {"avr", false, "verify-eeprom", 1, VerifyEeprom, FileUse::Input, LoadEepromFile},
      {"avr", false, "blank-check", 0, BlankCheck},
      {"avr", false, "erase", 0, Erase},
      {"avr", false, "reset", 0, Reset},
  };
}

CliPage AvrCliPage() { return LegacyCliPage(AvrCliCommands(), "erase"); }

}  // namespace pw::cli
