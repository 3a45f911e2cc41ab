#include <algorithm>
#include <vector>

#include "cli/CliPage.h"
#include "cli/CliPages.h"
#include "frame/ImageFiles.h"
#include "i2c/I2cOperations.h"
#include "ini/IniFile.h"

namespace pw::cli {
namespace {

/// An operation and how it becomes a step of the I2C operations.
struct I2cCommand {
  CliOperation Operation;
  OperationStep (*Make)(I2cOperations& operations, OperationRun& run, const CliStep& step);
};

OperationStep Read(I2cOperations& o, OperationRun& run, const CliStep& step) {
  run.Log(I2cReadFileLine(step.Args[0]));
  return o.Read(FileOf(step));
}

/// The line the page logs when a file is loaded, and the loader's notice.
void LogLoaded(OperationRun& run, const CliStep& step) {
  run.Log("файл: " + step.Args[0]);
  if (!step.LoadNotice.empty()) run.Log(step.LoadNotice);
}

OperationStep Write(I2cOperations& o, OperationRun& run, const CliStep& step) {
  LogLoaded(run, step);
  return o.Write(step.Images->Eeprom());
}

OperationStep Verify(I2cOperations& o, OperationRun& run, const CliStep& step) {
  LogLoaded(run, step);
  return o.Verify(step.Images->Eeprom());
}

OperationStep Erase(I2cOperations& o, OperationRun&, const CliStep&) { return o.Erase(); }

OperationStep Scan(I2cOperations& o, OperationRun&, const CliStep&) { return o.Scan(); }

/// No operation at all (a production run looking whether a chip is in the socket): the run
/// succeeds only when a device acknowledges, as the I2C page identifies nothing of its own.
OperationStep Answers(D2XXUnit& unit) {
  return {.Act = [&unit](OperationRun& run) {
    if (ScanI2cBus(unit).empty()) run.MarkTargetFailed();
  }};
}

const std::vector<I2cCommand>& Commands() {
  static const std::vector<I2cCommand> commands = {
      {{"read", 1, FileUse::Output}, Read},
      {{"write", 1, FileUse::Input, LoadEepromFile}, Write},
      {{"erase", 0}, Erase},
      {{"verify", 1, FileUse::Input, LoadEepromFile}, Verify},
      {{.Name = "scan", .TypeFree = true}, Scan},
  };
  return commands;
}

void Run(CliContext& c, const std::string& typed, std::span<const CliStep> steps) {
  const IniFile types = IniFile::Load(DescriptionFile(c.Paths, kI2cTypesFile));
  // Without a type the line holds only operations that need none (the scan).
  I2cOperations operations(c.Unit, c.Baud,
                           typed.empty() ? I2cType{} : ReadI2cType(types, ChooseType(types.SectionNames(), typed)));
  operations.SetAutoBaud(c.AutoBaud);
  std::vector<OperationStep> frame;
  if (steps.empty()) frame.push_back(Answers(c.Unit));
  for (const CliStep& step : steps) {
    const auto& commands = Commands();
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const I2cCommand& k) { return k.Operation.Name == step.Operation->Name; });
    frame.push_back(command->Make(operations, c.Run, step));
  }
  operations.Run(c.Run, frame);
}

}  // namespace

CliPage I2cCliPage() { return PageOf("i2c", true, Commands(), "", Run); }

}  // namespace pw::cli
