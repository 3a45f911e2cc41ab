// "Cчитать дамп" and "Прошить дамп": program memory, configuration area and data memory
// together, in the dump layout of pic/PicFiles.h.

#include <algorithm>
#include <span>

#include "frame/DamagedFile.h"
#include "frame/PartialWrite.h"
#include "frame/Texts.h"
#include "hexfile/HexWriter.h"
#include "pic/PicFiles.h"
#include "pic/PicOperations.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

/// Configuration-area bytes in the record at 0x4000: words 0x2000 to 0x2006.
constexpr std::int32_t kIdRecordBytes = 14;
constexpr std::uint32_t kConfigWordAddress = kPicConfigAddress + kIdRecordBytes;
/// Data-memory bytes the layout holds: from kPicDataAddress to the end of the first 64 KiB.
constexpr std::int64_t kDataBytes = 0x10000 - kPicDataAddress;

}  // namespace

OperationStep PicOperations::ReadDump(const ImageFile& file) {
  return Step(
      [this, file]() -> Refusal {
        if (FormatOf(file) != FileFormat::Hex) return texts::FormatNotTaken(file.Name.string(), texts::kHexOnly);
        if (pic18_) return std::nullopt;  // the PIC18 layout holds any PIC18 part
        // Larger memories would run into the configuration and data-memory addresses of the layout.
        const std::int64_t program = 2 * static_cast<std::int64_t>(type_.FlashSize);
        const std::int64_t data = 2 * static_cast<std::int64_t>(type_.EepromSize);
        if (program < 0 || program > kPicConfigAddress || data < 0 || data > kDataBytes) return texts::kPicTypeTooLarge;
        return std::nullopt;
      },
      [this, file](OperationRun& run) { ReadWholeDump(run, file); });
}

void PicOperations::ReadWholeDump(OperationRun& run, const ImageFile& file) {
  if (pic18_) return ReadPic18Dump(run, file);
  dump_ = {};
  run.Log("чтение Флеши");
  run.StartProgress(2 * type_.EepromSize + type_.FlashSize);
  Enter(true);
  std::string hexText;
  if (!ReadProgramArea(run, hexText)) return;
  run.Log("чтение конфигурации");
  config_ = ReadConfigArea();
  std::int32_t address = 0;
  AppendHexBytes(kIdRecordBytes, *config_, hexText, address, kPicConfigAddress, 0);
  // As many bytes of the configuration word as groups of eight bits hold a bit the type has.
  std::int32_t groups = 0;
  for (std::size_t n = 0; n < type_.FusesNames.size(); ++n) {
    if (type_.Named(n)) groups = static_cast<std::int32_t>(n / 8 + 1);
  }
  if (groups > 0) AppendHexBytes(groups, *config_, hexText, address, kConfigWordAddress, kIdRecordBytes);
  run.Log("чтение Еепром");
  Enter(false);
  if (!ReadDataArea(run, hexText)) return;
  SaveHexText(file.Name, hexText);
  run.Saved(file.Name.string());
  run.Log("файл сохранён");
}

bool PicOperations::ReadProgramArea(OperationRun& run, std::string& hexText) {
  const std::int32_t size = type_.FlashSize;
  std::vector<std::uint16_t> words(static_cast<std::size_t>(size));
  for (std::int32_t read = 0; read < size;) {
    // A stop saves no file and leaves the memories as they were.
    if (read > 0 &&
        run.StopRequested(texts::Undone(read, size + type_.EepromSize, "слов и байт") + texts::kStoppedRead)) {
      return false;
    }
    const std::int32_t n = std::min(kBlockWords, size - read);
    utils_.PicReadProgramWords(static_cast<std::uint16_t>(n), std::span(words).subspan(static_cast<std::size_t>(read)));
    read += n;
    run.Progress(read);
  }
  std::int32_t address = 0;
  AppendHexWords(size, words, hexText, address);
  dump_.Program = std::move(words);
  return true;
}

bool PicOperations::ReadDataArea(OperationRun& run, std::string& hexText) {
  const std::int32_t size = type_.EepromSize;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  for (std::int32_t read = 0; read < size;) {
    const std::int64_t done = type_.FlashSize + read;
    if (run.StopRequested(texts::Undone(done, type_.FlashSize + size, "слов и байт") + texts::kStoppedRead)) {
      return false;
    }
    const std::int32_t n = std::min(kBlockWords, size - read);
    utils_.PicReadDataBytes(static_cast<std::uint16_t>(n), std::span(bytes).subspan(static_cast<std::size_t>(read)));
    read += n;
    run.Progress(type_.FlashSize + 2 * static_cast<std::int64_t>(read));
  }
  std::int32_t address = 0;
  AppendHexBytesAsWords(size, bytes, hexText, address, kPicDataAddress, 0);
  dump_.Data = std::move(bytes);
  return true;
}

OperationStep PicOperations::WriteDump(ImageData<std::uint16_t> program, ImageData<std::uint8_t> data,
                                       const PicConfigArea& area) {
  OperationStep step =
      Step([this, program, data] { return CheckImages(program.Count, data.Count); },
           [this, program, data, area](OperationRun& run) { WriteWholeDump(run, program, data, area); });
  return AskIfDamaged(std::move(step), program.Damaged || data.Damaged);
}

void PicOperations::WriteWholeDump(OperationRun& run, ImageData<std::uint16_t> program, ImageData<std::uint8_t> data,
                                   const PicConfigArea& area) {
  PartialWrite partial(run.Out(), texts::kPicWriteDump);
  partial.Begun();
  const bool verified = WriteDumpMemories(run, program, data);
  if (run.Stopping()) return;
  // Protection written over memories that failed their verify would lock the faults in.
  if (!verified) return run.Log(texts::kPicConfigSkipped);
  run.Log("запись конфигурации ");
  const PicConfigArea kept = KeepingBandGap(area);
  WriteConfigArea(run, kept);
  if (!ConfigTaken(run, kept)) return;
  partial.Finished();
  run.Log(texts::kPicConfigWritten);
}

bool PicOperations::WriteDumpMemories(OperationRun& run, ImageData<std::uint16_t> program,
                                      ImageData<std::uint8_t> data) {
  const std::int32_t n = std::min(program.Count, type_.FlashSize);
  const std::int32_t length = std::min(data.Count, 2 * type_.EepromSize);
  run.StartProgress(n + length);
  bool verified = true;
  // An area the file leaves empty is left as the chip has it, and not reported as written.
  if (n > 0) {
    run.Log("запись флеш " + std::to_string(n) + "слов");
    verified = WriteProgramWords(run, program, n);
    if (run.Stopping()) return false;
  } else {
    run.Log(texts::kPicNoFlashData);
  }
  if (length > 0) {
    run.Log("запись Eeprom " + std::to_string(length / 2) + " байт");
    verified = WriteDataLocations(run, data, length, n) && verified;
  } else if (type_.EepromSize > 0) {
    run.Log(texts::kPicNoDataMemoryData);
  }
  return verified;
}

}  // namespace pw
