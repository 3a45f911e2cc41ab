#include <iostream>

#include "cli/CliPage.h"
#include "cli/CliPages.h"
#include "frame/Texts.h"
#include "setup/FtSettingsOperations.h"

namespace pw::cli {
namespace {

/// What the page's four controls would show, one line each, for a script to read.
void PrintView(const FtSettingsView& view) {
  std::cout << "SetupCbus: " << view.Cbus << "\n"
            << "SetupCurrent: " << view.Current << "\n"
            << "UsbVer: " << view.Usb << "\n"
            << "SetupClock: " << kClockNames[static_cast<std::size_t>(view.Clock)] << std::endl;
}

/// CBUS and USB as one of the names a record can hold (in any case: a name the page would
/// silently take for another is a usage error); CURRENT as typed; CLOCK the index of the clock entry.
FtSettingsChoice ChoiceOf(const std::vector<std::string>& args) {
  const std::string& clock = args[3];
  if (clock != "0" && clock != "1") {
    throw UsageError(texts::ClockValue(clock));
  }
  const std::string cbus = ChooseType(CbusNames(), args[0], texts::kCbusNoun);
  const std::string usb = ChooseType({kUsbVersionTexts.begin(), kUsbVersionTexts.end()}, args[2], texts::kUsbNoun);
  return {cbus, args[1], usb, clock == "1" ? kCrystalClock : 0};
}

void RunSettings(CliContext& context, const std::string&, std::span<const CliStep> steps) {
  FtSettingsOperations settings(context.Unit);
  FtSettingsFound found;
  std::vector<OperationStep> frameSteps;
  // A run begins with a read, as showing the page does: only a record a read filled is programmed.
  if (steps.front().Operation->Name != "read") frameSteps.push_back(settings.Read(found));
  bool programs = false;
  bool prints = false;
  for (const CliStep& step : steps) {
    const std::string& name = step.Operation->Name;
    prints = prints || name == "read";
    programs = programs || name != "read";
    if (name == "read") frameSteps.push_back(settings.Read(found));
    if (name == "write") frameSteps.push_back(settings.WriteSettings(ChoiceOf(step.Args)));
    if (name == "defaults") frameSteps.push_back(settings.WriteDefaults());
  }
  settings.Run(context.Run, FtSettingsOperations::Target(context.Baud, texts::kNoProgrammer), frameSteps, programs);
  if (prints && context.Run.Ok() && found.View) PrintView(*found.View);
}

}  // namespace

CliPage SettingsCliPage() { return {"settings", false, {{"read", 0}, {"write", 4}, {"defaults", 0}}, "", RunSettings}; }

}  // namespace pw::cli
