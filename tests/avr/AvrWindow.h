#pragma once
/// @file
/// The window model on a virtual programmer whose AVR header carries one simulated part (or
/// nothing), with speed.txt and a chips.ini of the test's choosing beside the program.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/Form1.h"
#include "sim/SimAvr.h"
#include "sim/SimAvrParts.h"
#include "sim/SimFt232r.h"
#include "support/ScriptedHost.h"
#include "support/TestDirs.h"

namespace pw::test {

/// chips.ini as built beside the binaries.
inline std::string RealChipsIni() { return ReadText(BinDir() / "chips.ini"); }

class AvrWindow {
 public:
  /// part: a catalogue name, or nothing for an empty header; chipsIni: the file's text, or nothing
  /// for no file at all.
  AvrWindow(std::optional<std::string> part, std::optional<std::string> chipsIni) {
    std::filesystem::copy_file(BinDir() / "speed.txt", dir_ / "speed.txt");
    if (chipsIni) dir_.Write("chips.ini", *chipsIni);
    sim::SimBoard& board = Sim.AddProgrammer({});
    if (part) {
      auto chip = std::make_unique<sim::SimAvr>(*sim::FindSimAvrPart(*part));
      Chip = chip.get();
      board.Avr = std::move(chip);
    }
    Form = std::make_unique<TForm1>(Sim, Host, FormPaths{dir_.Path(), {}, dir_.Path()});
    Form->FormCreate();
  }

  AvrPage& Page() { return Form->Avr; }
  /// Clicks a button as the window does; returns how it ended.
  Outcome Click(Button& button) {
    Form->Fire(button.OnClick);
    return Form->LastOutcome();
  }
  const std::vector<std::string>& Log() const { return Form->Log.Lines; }
  bool DeviceOpen() { return Sim.Devices().front()->Open; }

  sim::SimFt232r Sim;
  sim::SimAvr* Chip = nullptr;
  ScriptedHost Host;
  std::unique_ptr<TForm1> Form;

 private:
  TempDir dir_;
};

}  // namespace pw::test
