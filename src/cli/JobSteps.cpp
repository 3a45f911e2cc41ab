#include "cli/JobSteps.h"

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>

#include "cli/Preflight.h"
#include "common/Error.h"
#include "production/ProductionTexts.h"
#include "spi/SpiFlashImage.h"

namespace pw::cli {
namespace {

using production::ProductionJob;

/// Adds operation with file's name when the job gives file.
void AddFile(std::vector<std::string>& words, const char* operation, const std::filesystem::path& file) {
  if (file.empty()) return;
  words.push_back(operation);
  words.push_back(file.string());
}

void AddAvrWords(const ProductionJob& job, std::vector<std::string>& words) {
  AddFile(words, "write-flash", job.Flash);
  AddFile(words, "write-eeprom", job.Eeprom);
  if (job.Fuses.empty()) return;
  words.push_back("write-fuses");
  std::istringstream fuses(job.Fuses);
  for (std::string byte; fuses >> byte;) words.push_back(byte);
  // Without Lock= the chip stays unlocked.
  words.push_back(job.Lock.empty() ? "FF" : job.Lock);
}

std::vector<std::string> JobWords(const ProductionJob& job) {
  std::vector<std::string> words{job.Page};
  if (job.Page != "avr" && job.Page != "spi") words.push_back(job.Type);
  if (job.Erase) words.push_back("erase");
  if (job.Page == "avr") AddAvrWords(job, words);
  AddFile(words, "write-dump", job.Dump);
  AddFile(words, "write-flash", job.Program);
  AddFile(words, "write-eeprom", job.Data);
  if (!job.Config.empty()) words.insert(words.end(), {"write-config", job.Config});
  AddFile(words, "write", job.Image);
  return words;
}

/// Byte k of the number goes to element first + k * stride of values (stride 2: a PIC's data
/// location k is byte 2k of the image), or into the low byte of that element (a PIC's program
/// word, whose high bits the firmware gives: a RETLW table the number fills).
struct Placing {
  std::size_t First = 0;
  std::size_t Stride = 1;
  bool LowByteOfWord = false;
};

template <typename T>
std::int32_t Lay(std::vector<T>& values, std::vector<bool>& filled, const Placing& at,
                 const std::vector<std::uint8_t>& bytes) {
  const std::size_t end = at.First + bytes.size() * at.Stride;
  if (end > values.size()) throw PinwrightError(texts::kSerialDoesNotFit);
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    T& value = values[at.First + k * at.Stride];
    value = at.LowByteOfWord ? static_cast<T>((value & ~T{0xFF}) | bytes[k]) : static_cast<T>(bytes[k]);
    filled[at.First + k * at.Stride] = true;
  }
  return static_cast<std::int32_t>(end);
}

/// AVR flash words hold two bytes, low first.
void LayFlashBytes(MemoryImages& images, std::size_t address, const std::vector<std::uint8_t>& bytes) {
  if ((address + bytes.size() + 1) / 2 > images.FlashImage.size()) throw PinwrightError(texts::kSerialDoesNotFit);
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    std::uint16_t& word = images.FlashImage[(address + k) / 2];
    const unsigned shift = ((address + k) % 2) * 8;
    word = static_cast<std::uint16_t>((word & ~(0xFFu << shift)) | (static_cast<unsigned>(bytes[k]) << shift));
    images.FlashFilled[(address + k) / 2] = true;
  }
  const auto end = static_cast<std::int32_t>((address + bytes.size() + 1) / 2);
  images.FlashDataCount = std::max(images.FlashDataCount, end);
}

MemoryImages Stamped(const MemoryImages& loaded, const production::SerialStamp& stamp,
                     const std::vector<std::uint8_t>& bytes) {
  MemoryImages images = loaded;
  const std::size_t address = stamp.Address;
  if (stamp.Memory == "flash") {
    LayFlashBytes(images, address, bytes);
  } else if (stamp.Memory == "program") {
    const std::int32_t end = Lay(images.FlashImage, images.FlashFilled, {address, 1, true}, bytes);
    images.FlashDataCount = std::max(images.FlashDataCount, end);
  } else {
    const Placing at{stamp.Memory == "data" ? 2 * address : address, stamp.Memory == "data" ? 2u : 1u, false};
    images.EepromDataCount = std::max(images.EepromDataCount, Lay(images.EepromImage, images.EepromFilled, at, bytes));
  }
  return images;
}

SpiFlashImage Stamped(const SpiFlashImage& loaded, std::size_t address, const std::vector<std::uint8_t>& bytes) {
  SpiFlashImage image = loaded;
  const std::size_t end = address + bytes.size();
  if (end > image.Bytes.size()) {
    image.Bytes.resize(end, 0xFF);
    image.Filled.resize(end, false);
  }
  Lay(image.Bytes, image.Filled, {address, 1, false}, bytes);
  image.End = std::max(image.End, static_cast<std::uint32_t>(end));
  return image;
}

}  // namespace

std::vector<CliStep> StampedSteps(const std::vector<CliStep>& steps, const production::SerialStamp& stamp,
                                  const std::vector<std::uint8_t>& bytes) {
  std::vector<CliStep> stamped = steps;
  for (CliStep& step : stamped) {
    if (step.Images) step.Images = std::make_shared<const MemoryImages>(Stamped(*step.Images, stamp, bytes));
    if (step.Loaded) {
      step.Loaded =
          std::make_shared<const SpiFlashImage>(Stamped(step.LoadedAs<SpiFlashImage>(), stamp.Address, bytes));
    }
  }
  return stamped;
}

std::vector<production::FileDigest> JobFiles(const ProductionJob& job) {
  std::vector<production::FileDigest> files;
  for (const auto* file : {&job.Flash, &job.Eeprom, &job.Dump, &job.Program, &job.Data, &job.Image}) {
    if (!file->empty()) files.push_back({file->filename().string(), production::Sha256OfFile(*file)});
  }
  return files;
}

CliCommandLine JobCommandLine(const ProductionJob& job) {
  CliCommandLine line = ParseCommandWords(JobWords(job));
  for (CliStep& step : line.Steps) CheckStepFile(step, line.Type);
  return line;
}

}  // namespace pw::cli
