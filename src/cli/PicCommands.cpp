#include <deque>
#include <iostream>
#include <utility>
#include <vector>

#include "backend/Backend.h"
#include "cli/CliHost.h"
#include "cli/CliPage.h"
#include "cli/CliPages.h"
#include "cli/PicConfigArgs.h"
#include "cli/Preflight.h"
#include "frame/Frame.h"
#include "pic/Pic18Files.h"
#include "pic/PicFiles.h"
#include "pic/PicOperations.h"
#include "pic/PicTexts.h"

namespace pw::cli {
namespace {

/// The values of the type named typed in any case; a type PIC.ini does not list is a usage mistake.
PicTypeValues PicTypeOf(const FormPaths& paths, const std::string& typed) {
  const IniFile types = IniFile::Load(DescriptionFile(paths, kPicTypesFile));
  return ReadPicType(types, ChooseType(types.SectionNames(), typed));
}

/// One run of the page's operations: the type, its operations and the frame's steps.
struct PicCliRun {
  PicCliRun(CliContext& context, const PicTypeValues& type)
      : Context(context), Type(type), Ops(context.Unit, context.Baud, type) {}

  /// Adds the frame's steps for step, logging the file it loaded as the page logs a file.
  void Add(const CliStep& step);
  /// The ID words are written with the configuration: it is read first, in the same run, to keep them.
  void AddWriteConfig(std::vector<std::uint32_t> values);
  /// What read-config prints after the run: the configuration words (bytes) and the IDs.
  void PrintConfig(std::ostream& out) const;

  CliContext& Context;
  const PicTypeValues Type;
  PicOperations Ops;
  std::vector<OperationStep> Steps;
  /// The loaded files as the type places them; the steps keep views of them.
  std::deque<MemoryImages> Placed;
};

void PicCliRun::Add(const CliStep& step) {
  const std::string& name = step.Operation->Name;
  if (step.Images) {
    Context.Run.Log(texts::PicFileLine(step.Args[0]));
    if (!step.LoadNotice.empty()) Context.Run.Log(step.LoadNotice);
  }
  if (name == "read-config") return Steps.push_back(Ops.ReadConfig());
  if (name == "write-config") return AddWriteConfig(PicConfigValues(step.Args[0], Type));
  // Nothing shows a configuration to write back: the erase leaves the erased one.
  if (name == "erase") return Steps.push_back(Ops.Erase(PicErasedArea()));
  if (name == "read-dump") return Steps.push_back(Ops.ReadDump(FileOf(step)));
  // The configuration and ID words of a baseline type's file move to where the steps take them.
  MemoryImages& images = Placed.emplace_back(*step.Images);
  PlacePicWords(images, Type);
  if (name == "write-dump") {
    return Steps.push_back(Ops.WriteDump(images.Flash(), images.Eeprom(), PicAreaOf(images.ConfigImage)));
  }
  if (name == "verify") {
    return Steps.push_back(Ops.Verify(images.Flash(), images.Eeprom(), PicAreaOf(images.ConfigImage)));
  }
  if (name == "write-flash") return Steps.push_back(Ops.WriteProgramMemory(images.Flash()));
  Steps.push_back(Ops.WriteDataMemory(images.Eeprom()));
}

void PicCliRun::AddWriteConfig(std::vector<std::uint32_t> values) {
  Steps.push_back(Ops.ReadConfig());
  OperationStep write;
  write.Act = [this, values = std::move(values)](OperationRun& run) {
    if (Ops.ConfigRead()) Ops.WriteConfig(WithConfigValues(*Ops.ConfigRead(), values, Type)).Act(run);
  };
  Steps.push_back(std::move(write));
}

void PicCliRun::PrintConfig(std::ostream& out) const {
  if (Ops.ConfigRead()) out << PicConfigLines(*Ops.ConfigRead(), Type);
}

void Run(CliContext& context, const std::string& type, std::span<const CliStep> steps) {
  const PicTypeValues values = PicTypeOf(context.Paths, type);
  // Arguments only the page can judge are checked before anything is logged or opened.
  for (const CliStep& step : steps) {
    if (step.Operation->Name == "write-config") PicConfigValues(step.Args[0], values);
  }
  PicCliRun run(context, values);
  run.Steps.push_back(PicTypeCheck(run.Type));
  for (const CliStep& step : steps) run.Add(step);
  RunFrame(context.Unit, context.Run, run.Ops.Target(), run.Steps);
  if (!context.Run.Ok()) return;
  context.Host.EndProgress();
  for (const CliStep& step : steps) {
    if (step.Operation->Name == "read-config") run.PrintConfig(ResultStream(steps));
  }
}

/// The loader of the layout the type as typed takes (pic/Pic18Files.h).
FileLoader PicLoaderFor(const std::string& typed) { return PicFileLoader(PicTypeOf(ProgramPaths(), typed)); }

}  // namespace

CliPage PicCliPage() {
  return {"pic",
          true,
          {
              {"read-config", 0},
              {"write-config", 1},
              {"erase", 0},
              {"read-dump", 1, FileUse::Output},
              {.Name = "write-dump", .ArgCount = 1, .File = FileUse::Input, .LoadFor = PicLoaderFor},
              {.Name = "write-flash", .ArgCount = 1, .File = FileUse::Input, .LoadFor = PicLoaderFor},
              {.Name = "write-eeprom", .ArgCount = 1, .File = FileUse::Input, .LoadFor = PicLoaderFor},
              {.Name = "verify", .ArgCount = 1, .File = FileUse::Input, .LoadFor = PicLoaderFor},
          },
          "",
          Run};
}

}  // namespace pw::cli
