#include <deque>
#include <iostream>
#include <utility>
#include <vector>

#include "cli/CliHost.h"
#include "cli/CliPage.h"
#include "cli/CliPages.h"
#include "common/HexDigits.h"
#include "frame/Frame.h"
#include "pic/PicFiles.h"
#include "pic/PicOperations.h"
#include "pic/PicTexts.h"

namespace pw::cli {
namespace {

/// Bits of the configuration word that WORD gives.
constexpr std::size_t kWordBits = 16;

std::uint16_t HexWord(const std::string& text) { return static_cast<std::uint16_t>(HexArgument(text, 4, "word")); }

/// The values of the type named typed in any case; a type PIC.ini does not list is a usage mistake.
PicTypeValues PicTypeOf(const FormPaths& paths, const std::string& typed) {
  const IniFile types = IniFile::Load(DescriptionFile(paths, kPicTypesFile));
  return ReadPicType(types, ChooseType(types.SectionNames(), typed));
}

/// area with the bits of its configuration word that the type has set as word says.
PicConfigArea WithWord(PicConfigArea area, std::uint16_t word, const PicTypeValues& type) {
  for (std::size_t n = 0; n < kWordBits; ++n) {
    if (!type.Named(n)) continue;
    std::uint8_t& byte = area[kPicConfigWordByte + n / 8];
    const auto bit = static_cast<std::uint8_t>(1u << (n % 8));
    byte = ((word >> n) & 1) != 0 ? static_cast<std::uint8_t>(byte | bit) : static_cast<std::uint8_t>(byte & ~bit);
  }
  return area;
}

/// One run of the page's operations: the type, its operations and the frame's steps.
struct PicCliRun {
  PicCliRun(CliContext& context, const PicTypeValues& type)
      : Context(context), Type(type), Ops(context.Unit, context.Baud, type) {}

  /// Adds the frame's steps for step, logging the file it loaded as the page logs a file.
  void Add(const CliStep& step);
  /// The ID words are written with the configuration: it is read first, in the same run, to keep them.
  void AddWriteConfig(std::uint16_t word);
  /// What read-config prints after the run: the configuration word and the ID words.
  void PrintConfig() const;

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
  if (name == "write-config") return AddWriteConfig(HexWord(step.Args[0]));
  // Nothing shows a configuration to write back: the erase leaves the erased one.
  if (name == "erase") return Steps.push_back(Ops.Erase(PicErasedArea()));
  if (name == "read-dump") return Steps.push_back(Ops.ReadDump(step.Args[0]));
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

void PicCliRun::AddWriteConfig(std::uint16_t word) {
  Steps.push_back(Ops.ReadConfig());
  OperationStep write;
  write.Act = [this, word](OperationRun& run) {
    if (Ops.ConfigRead()) Ops.WriteConfig(WithWord(*Ops.ConfigRead(), word, Type)).Act(run);
  };
  Steps.push_back(std::move(write));
}

void PicCliRun::PrintConfig() const {
  if (!Ops.ConfigRead()) return;
  const PicConfigArea& area = *Ops.ConfigRead();
  const auto word = static_cast<std::uint16_t>(PicAreaWord(area, 7) & PicWordMask(Type.ProgrammType));
  std::cout << "Config: " << HexDigits(word, 4) << "\nID: " << PicIdWords(area, 6, "") << "\n";
}

void Run(CliContext& context, const std::string& type, std::span<const CliStep> steps) {
  // Arguments only the page can judge are checked before anything is logged or opened.
  for (const CliStep& step : steps) {
    if (step.Operation->Name == "write-config") HexWord(step.Args[0]);
  }
  PicCliRun run(context, PicTypeOf(context.Paths, type));
  run.Steps.push_back(PicTypeCheck(run.Type));
  for (const CliStep& step : steps) run.Add(step);
  RunFrame(context.Unit, context.Run, run.Ops.Target(), run.Steps);
  if (!context.Run.Ok()) return;
  context.Host.EndProgress();
  for (const CliStep& step : steps) {
    if (step.Operation->Name == "read-config") run.PrintConfig();
  }
}

}  // namespace

CliPage PicCliPage() {
  return {"pic",
          true,
          {
              {"read-config", 0},
              {"write-config", 1},
              {"erase", 0},
              {"read-dump", 1, FileUse::Output},
              {"write-dump", 1, FileUse::Input, LoadPicFile},
              {"write-flash", 1, FileUse::Input, LoadPicFile},
              {"write-eeprom", 1, FileUse::Input, LoadPicFile},
              {"verify", 1, FileUse::Input, LoadPicFile},
          },
          "",
          Run};
}

}  // namespace pw::cli
