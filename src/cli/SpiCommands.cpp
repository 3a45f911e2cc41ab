#include <algorithm>
#include <memory>

#include "cli/CliPage.h"
#include "frame/Frame.h"
#include "spi/SpiFlashOperations.h"
#include "spi/SpiFlashTexts.h"

namespace pw::cli {
namespace {

/// The page's own loader: the image is kept for the operation, which a file too large for the
/// shared images would not be.
std::shared_ptr<const void> LoadSpiFile(const ImageFile& file, std::string& notice) {
  return std::make_shared<const SpiFlashImage>(LoadSpiFlashImage(file, notice));
}

/// The image a step's preflight loaded, after the lines the page logs when it loads a file.
const SpiFlashImage& LoadedImage(const CliStep& step, OperationRun& run) {
  run.Log(texts::SpiFileLoaded(step.Args[0]));
  if (!step.LoadNotice.empty()) run.Log(step.LoadNotice);
  return step.LoadedAs<SpiFlashImage>();
}

using StepBuilder = OperationStep (*)(SpiFlashOperations&, const CliStep&, OperationRun&);

struct SpiOperation {
  CliOperation Operation;
  StepBuilder Build;
};

const std::vector<SpiOperation>& SpiOperations() {
  static const std::vector<SpiOperation> operations = {
      {{"identify", 0}, [](SpiFlashOperations& o, const CliStep&, OperationRun&) { return o.Identify(); }},
      {{"read", 1, FileUse::Output},
       [](SpiFlashOperations& o, const CliStep& s, OperationRun& run) {
         run.Log(texts::SpiReadInto(s.Args[0]));
         return o.Read(FileOf(s));
       }},
      {{"write", 1, FileUse::Input, nullptr, false, LoadSpiFile},
       [](SpiFlashOperations& o, const CliStep& s, OperationRun& run) {
         return o.Write(LoadedImage(s, run), texts::kSpiWrite);
       }},
      {{"erase", 0}, [](SpiFlashOperations& o, const CliStep&, OperationRun&) { return o.Erase(texts::kSpiErase); }},
      {{"verify", 1, FileUse::Input, nullptr, false, LoadSpiFile},
       [](SpiFlashOperations& o, const CliStep& s, OperationRun& run) { return o.Verify(LoadedImage(s, run)); }},
  };
  return operations;
}

void RunSpi(CliContext& context, const std::string&, std::span<const CliStep> steps) {
  SpiFlashOperations flash(context.Unit, context.Baud, DescriptionFile(context.Paths, kSpiFlashTypesFile));
  flash.SetAutoBaud(context.AutoBaud);
  std::vector<OperationStep> frameSteps;
  for (const CliStep& step : steps) frameSteps.push_back(RowOf(SpiOperations(), step).Build(flash, step, context.Run));
  RunFrame(context.Unit, context.Run, flash.Target(), frameSteps);
}

}  // namespace

CliPage SpiCliPage() { return PageOf("spi", false, SpiOperations(), "", RunSpi); }

}  // namespace pw::cli
