#include <algorithm>
#include <iostream>
#include <string>

#include "avr/AvrFlashFile.h"
#include "avr/AvrLockBits.h"
#include "avr/AvrOperations.h"
#include "avr/AvrTexts.h"
#include "cli/CliPage.h"
#include "cli/CliPages.h"
#include "cli/Preflight.h"
#include "common/HexDigits.h"
#include "frame/ImageFiles.h"
#include "frame/Texts.h"
#include "ini/IniFile.h"

namespace pw::cli {
namespace {

/// One AVR command: its grammar, the operation it stands for, and the line naming its file,
/// which the run logs as the window logs it when the file is chosen (none: no file).
struct AvrCommand {
  CliOperation Operation;
  OperationStep (*Make)(AvrOperations& ops, const CliStep& step);
  std::string (*FileLine)(const std::string& file) = nullptr;
};

std::string Hex(int byte) { return HexDigits(static_cast<std::uint32_t>(byte), 2); }

/// A byte given in hex ("E2", "0xe2"); a UsageError for anything else.
std::uint8_t HexByte(const std::string& text) {
  return static_cast<std::uint8_t>(HexArgument(text, 2, texts::kHexByte));
}

/// What the panel writes when a person ticks the boxes of the bits the chip has as asked says
/// (a person cannot tick the others: they show what the chip reads) and picks the lock items
/// that stand for asked's lock byte.
AvrFuseSetting AsTicked(const AvrFuseSetting& asked, const AvrChip& chip) {
  AvrFusePanelState panel = PanelShowing({chip.Fuses, chip.Lock});
  const AvrFusePanelState wanted = PanelShowing(asked);
  for (std::size_t n = 0; n < panel.Ticks.size(); ++n) {
    if (chip.Description.FusesNames[n] != kNoFuseName) panel.Ticks[n] = wanted.Ticks[n];
  }
  // The boot-lock combos of a chip without boot-lock bits are disabled: they keep the chip's.
  const std::uint8_t bits = chip.Description.LockBits;
  if (HasLockField(bits, kBootLock0Shift)) panel.Lock1 = wanted.Lock1;
  if (HasLockField(bits, kBootLock1Shift)) panel.Lock2 = wanted.Lock2;
  panel.Lock3 = wanted.Lock3;
  return PanelWrites(panel, chip.Lock);
}

OperationStep WriteFuses(AvrOperations& ops, const CliStep& step) {
  const AvrFuseSetting asked{{HexByte(step.Args[0]), HexByte(step.Args[1]), HexByte(step.Args[2])},
                             HexByte(step.Args[3])};
  return ops.WriteFuses([asked](const AvrChip& chip) { return AsTicked(asked, chip); });
}

// The operations each command stands for; an input file comes loaded in the step's images.
using Ops = AvrOperations;
using Step = const CliStep&;
OperationStep Identify(Ops& o, Step) { return o.Identify(); }
OperationStep ReadFlash(Ops& o, Step s) { return o.ReadFlash(FileOf(s)); }
OperationStep WriteFlash(Ops& o, Step s) { return o.WriteFlash(s.Images->Flash()); }
OperationStep VerifyFlash(Ops& o, Step s) { return o.VerifyFlash(s.Images->Flash()); }
OperationStep ReadEeprom(Ops& o, Step s) { return o.ReadEeprom(FileOf(s)); }
OperationStep WriteEeprom(Ops& o, Step s) { return o.WriteEeprom(s.Images->Eeprom()); }
OperationStep VerifyEeprom(Ops& o, Step s) { return o.VerifyEeprom(s.Images->Eeprom()); }
OperationStep BlankCheck(Ops& o, Step) { return o.BlankCheck(); }
OperationStep Erase(Ops& o, Step) { return o.Erase(); }
OperationStep Reset(Ops& o, Step) { return o.Reset(); }

const std::vector<AvrCommand>& Commands() {
  static const std::vector<AvrCommand> commands = {
      {{"identify"}, Identify},
      {{"read-fuses"}, Identify},
      {{"read-flash", 1, FileUse::Output}, ReadFlash, texts::AvrFlashSaveLine},
      {{"write-flash", 1, FileUse::Input, LoadAvrFlashFile, true}, WriteFlash, texts::AvrFlashFileLine},
      {{"read-eeprom", 1, FileUse::Output}, ReadEeprom, texts::AvrEepromSaveLine},
      {{"write-eeprom", 1, FileUse::Input, LoadAvrEepromFile}, WriteEeprom, texts::AvrEepromFileLine},
      {{"write-fuses", 4}, WriteFuses},
      {{"verify-flash", 1, FileUse::Input, LoadAvrFlashFile}, VerifyFlash, texts::AvrFlashFileLine},
      {{"verify-eeprom", 1, FileUse::Input, LoadAvrEepromFile}, VerifyEeprom, texts::AvrEepromFileLine},
      {{"blank-check"}, BlankCheck},
      {{"erase"}, Erase},
      {{"reset"}, Reset},
  };
  return commands;
}

const AvrCommand& CommandOf(const CliStep& step) { return RowOf(Commands(), step); }

/// One fuse byte as the panel shows it: its value, then each bit the chip has by name.
std::string FuseLine(const char* label, std::uint8_t value, const AvrChip& chip, std::size_t firstBit) {
  std::string bits;
  for (int k = 7; k >= 0; --k) {
    const std::string& name = chip.Description.FusesNames[firstBit + static_cast<std::size_t>(k)];
    if (name != kNoFuseName) bits += " " + name + "=" + (((value >> k) & 1) != 0 ? "1" : "0");
  }
  return std::string(label) + " " + Hex(value) + (bits.empty() ? "" : " " + bits);
}

/// What the fuse panel shows for chip, for a person at a terminal.
void PrintFusePanel(const AvrChip& chip, std::ostream& out) {
  const AvrFusePanelState panel = PanelShowing({chip.Fuses, chip.Lock});
  const auto item = [](const auto& items, int index) { return items[static_cast<std::size_t>(index)]; };
  // A chip without boot-lock bits shows the lock mode alone, as its panel enables only that combo.
  const bool bootLocks = HasLockField(chip.Description.LockBits, kBootLock0Shift);
  const std::string boot = std::string(item(kAvrLock1Items, panel.Lock1)) + ", " + item(kAvrLock2Items, panel.Lock2);
  out << FuseLine("low ", chip.Fuses.Low, chip, 0) << "\n"
      << FuseLine("high", chip.Fuses.High, chip, 8) << "\n"
      << FuseLine("ext ", chip.Fuses.Ext, chip, 16) << "\n"
      << "lock " << Hex(chip.Lock) << "  " << (bootLocks ? boot + ", " : "") << item(kAvrLock3Items, panel.Lock3)
      << std::endl;
}

bool Named(std::span<const CliStep> steps, const std::string& name) {
  return std::any_of(steps.begin(), steps.end(), [&](const CliStep& s) { return s.Operation->Name == name; });
}

/// Refuses, before anything is written, a chip that is not the part a production job is for.
OperationStep RequirePart(const AvrOperations& ops, const std::string& part) {
  return {.CheckTarget = [&ops, part]() -> Refusal {
    if (!ops.Chip() || SameName(ops.Chip()->Description.Chip, part)) return std::nullopt;
    return texts::AvrNotJobPart(ops.Chip()->Description.Chip, part);
  }};
}

void RunAvr(CliContext& context, const std::string&, std::span<const CliStep> steps) {
  AvrOperations ops(context.Unit, {context.Baud, context.AutoBaud, DescriptionFile(context.Paths, kChipsIniName), true,
                                   texts::kNoProgrammer});
  // Every argument is judged before anything is logged or sent.
  std::vector<OperationStep> operations;
  if (!context.RequiredPart.empty()) operations.push_back(RequirePart(ops, context.RequiredPart));
  for (const CliStep& step : steps) operations.push_back(CommandOf(step).Make(ops, step));
  // A person identifies the chip before any other button; only a restart goes on with any chip.
  const bool onlyRestarts =
      std::all_of(steps.begin(), steps.end(), [](const CliStep& s) { return s.Operation->Name == "reset"; });
  if (!onlyRestarts) ops.Require(AvrNeed::KnownChip);
  // No operation at all: a production run looking whether a chip answers in the socket.
  if (steps.empty()) ops.Require(AvrNeed::Answer);
  for (const CliStep& step : steps) {
    if (const auto line = CommandOf(step).FileLine) context.Run.Log(line(step.Args[0]));
    if (!step.LoadNotice.empty()) context.Run.Log(step.LoadNotice);
  }
  RunFrame(context.Unit, context.Run, ops.Target(), operations);
  if (context.Run.Ok() && ops.Chip() && Named(steps, "read-fuses")) PrintFusePanel(*ops.Chip(), ResultStream(steps));
}

}  // namespace

CliPage AvrCliPage() { return PageOf("avr", false, Commands(), "erase", RunAvr); }

}  // namespace pw::cli
