#include "cli/Preflight.h"

#include <unistd.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>

#include "common/Error.h"
#include "common/OutputTarget.h"
#include "common/StandardStreams.h"
#include "frame/Texts.h"
#include "hexfile/HexTexts.h"

namespace pw::cli {
namespace {

namespace fs = std::filesystem;

void CheckInput(const ImageFile& file, CliStep& step, const std::string& type) {
  std::error_code error;
  const fs::file_status status = fs::status(file.Name, error);
  if (IsStandardStream(file.Name)) {
    // Standard input, read by the loader; none: nothing reads it.
  } else if (!fs::exists(status)) {
    throw PinwrightError(std::string(texts::kFileNotFound) + " " + file.Name.string());
  } else if (!fs::is_regular_file(status)) {
    throw PinwrightError("Ошибка: " + file.Name.string() + " не обычный файл");
  }
  const CliOperation& op = *step.Operation;
  // Outside the file's error: an unknown type is a usage mistake.
  const FileLoader load = op.LoadFor ? op.LoadFor(type) : op.Load;
  if (!load && !op.LoadObject) return;
  try {
    if (op.LoadObject) {
      step.Loaded = op.LoadObject(file, step.LoadNotice);
      return;
    }
    auto images = std::make_shared<MemoryImages>();
    step.LoadNotice = load(file, *images);
    step.Images = std::move(images);
  } catch (const std::exception& e) {
    throw PinwrightError("Ошибка в файле " + file.Name.string() + ": " + e.what());
  }
}

void CheckOutput(const ImageFile& image) {
  // Refused before the chip is read, not when the read is done.
  RequireFormat(image, {FileFormat::Hex, FileFormat::Binary}, texts::kHexOrBinary);
  const fs::path& file = image.Name;
  if (IsStandardStream(file)) return;
  std::error_code error;
  if (fs::is_directory(file, error)) throw PinwrightError("Ошибка: " + file.string() + " это папка, а не файл");
  // A link is written through: its target's folder takes the new file.
  const fs::path target = OutputTarget(file);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (!fs::is_directory(folder, error)) {
    throw PinwrightError("Ошибка: нет папки " + folder.string() + " для файла " + file.string());
  }
  // The file is written beside its final name and renamed: the folder must take new files.
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    throw PinwrightError("Ошибка: нет права записи в папку " + folder.string() + " для файла " + file.string());
  }
}

/// Whether step's file is "-" and how the step uses it (FileUse::None: it is no such step).
FileUse StandardStreamUse(const CliStep& step) {
  const bool stream = step.Operation->File != FileUse::None && !step.Args.empty() && IsStandardStream(step.Args[0]);
  return stream ? step.Operation->File : FileUse::None;
}

}  // namespace

void CheckStepFile(CliStep& step, const std::string& type, FileFormat format) {
  const FileUse use = step.Operation->File;
  if (use == FileUse::None || step.Args.empty()) return;
  step.Format = format;
  if (use == FileUse::Input) return CheckInput(FileOf(step), step, type);
  CheckOutput(FileOf(step));
}

void CheckStepFiles(std::span<CliStep> steps, const std::string& type, FileFormat format) {
  bool input = false;
  bool output = false;
  for (CliStep& step : steps) {
    if (const FileUse use = StandardStreamUse(step); use != FileUse::None) {
      bool& taken = use == FileUse::Input ? input : output;
      if (taken) throw PinwrightError(texts::kStandardStreamTwice);
      taken = true;
    }
    CheckStepFile(step, type, format);
  }
}

bool WritesStandardOutput(std::span<const CliStep> steps) {
  return std::any_of(steps.begin(), steps.end(),
                     [](const CliStep& step) { return StandardStreamUse(step) == FileUse::Output; });
}

std::ostream& ResultStream(std::span<const CliStep> steps) {
  return WritesStandardOutput(steps) ? std::cerr : std::cout;
}

}  // namespace pw::cli
