#pragma once
/// @file
/// What every page shares with the window: the programmer link, the person at the window, the
/// log and the shared controls, the baud value and where the description files lie.

#include <cstdint>
#include <filesystem>
#include <string>

#include "frame/MemoryImages.h"
#include "frame/Outcome.h"
#include "frame/ProgramFiles.h"
#include "frame/StopRequest.h"
#include "link/D2xxUnit.h"
#include "model/Controls.h"
#include "model/UiHost.h"

namespace pw {

class FormContext {
 public:
  FormContext(D2XXUnit& unit, UiHost& host, Memo& log, CheckBox& clearLog, Edit& dopInfo,
              const std::int32_t& programmerBaud, FormPaths paths, MemoryImages& images);

  D2XXUnit& Unit;
  UiHost& Host;
  Memo& Log;
  CheckBox& CheckBox1;
  Edit& DopInfo;
  const std::int32_t& ProgrammerBaud;
  /// The baud list's "авто" entry is chosen: AVR operations find the fastest clock the chip takes,
  /// the I2C and SPI Flash pages take the part's, each within the USB limit (link/AutoBaud.h),
  /// instead of ProgrammerBaud.
  bool AutoBaud = false;
  const FormPaths Paths;
  /// The flash, EEPROM and configuration images and their data counts, shared by the pages.
  MemoryImages& Images;
  /// The person's request to stop the running operation; the frame clears it before each operation.
  StopRequest Stop;

  /// The first step of the AVR and settings operations.
  void ClearLogIfTicked();
  /// Shows text in an error message box and marks the running operation as ended by an error report.
  void ReportError(const std::string& text);
  Outcome TakeOutcome();
  /// Keeps how an operation run through the frame ended as the running event's outcome.
  void Adopt(Outcome outcome) {
    if (outcome != Outcome::Success) outcome_ = outcome;
  }
  /// A description file beside the program, else in the installed data folder; the first when neither has it.
  std::filesystem::path DescriptionFile(const std::string& name) const;

 private:
  Outcome outcome_ = Outcome::Success;
};

}  // namespace pw
