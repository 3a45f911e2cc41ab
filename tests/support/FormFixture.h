#pragma once
/// @file
/// A window model on a fresh virtual programmer, played by a scripted person, with speed.txt
/// and the description files taken from a scratch folder.

#include <memory>
#include <string>

#include "app/Form1.h"
#include "sim/Bench.h"
#include "support/ScriptedHost.h"
#include "support/TestDirs.h"

namespace pw::test {

class FormFixture {
 public:
  /// bench: a bench file's text (the built-in bench when empty). speed.txt with 19200 as its
  /// eighth line is written into the working folder unless speedTxt says otherwise.
  explicit FormFixture(const std::string& bench = "", const std::string& speedTxt = DefaultSpeedTxt());

  static std::string DefaultSpeedTxt();

  TempDir Dir;
  std::unique_ptr<sim::Bench> Bench;
  ScriptedHost Host;
  std::unique_ptr<TForm1> Form;

  sim::SimFt232r& Sim() { return Bench->Programmer(); }
  /// The folder standing in for the program's own directory (description files go here).
  std::filesystem::path ProgramDir() const { return Dir / "program"; }
  /// The folder standing in for the current directory (speed.txt goes here).
  std::filesystem::path WorkingDir() const { return Dir / "work"; }
  /// Copies a data file of the project (data/NAME) beside the program.
  void InstallDataFile(const std::string& name);
  /// Builds the window model and runs its start-up.
  TForm1& Start();
};

}  // namespace pw::test
