#include "avr/AvrElfFile.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "avr/AvrTexts.h"
#include "common/Error.h"
#include "elffile/AvrElf.h"
#include "hexfile/HexReader.h"

namespace pw {
namespace {

/// One memory's bytes as the segments that start in [start, start + capacity) give them: the
/// load addresses of one memory, no more than its image holds.
struct ElfMemory {
  std::vector<std::uint8_t> Bytes;
  std::vector<bool> Filled;
  std::size_t End = 0;
};

ElfMemory Gather(const ImageFile& file, std::uint32_t start, std::size_t capacity) {
  ElfMemory memory{std::vector<std::uint8_t>(capacity, 0xFF), std::vector<bool>(capacity), 0};
  const std::string name = file.Name.string();
  for (const ElfSegment& segment : ReadAvrElf(ReadImageInput(file, kHexFileLimit), name)) {
    if (segment.Address < start || segment.Address - start >= capacity) continue;
    const std::size_t at = segment.Address - start;
    if (segment.Bytes.size() > capacity - at) throw PinwrightError(texts::AvrElfTooLarge(name, segment.Address));
    for (std::size_t k = 0; k < segment.Bytes.size(); ++k) {
      memory.Bytes[at + k] = static_cast<std::uint8_t>(segment.Bytes[k]);
      memory.Filled[at + k] = true;
    }
    memory.End = std::max(memory.End, at + segment.Bytes.size());
  }
  if (memory.End == 0) throw PinwrightError(texts::AvrElfNothingFor(name, start == 0));
  return memory;
}

}  // namespace

void LoadAvrElfFlash(const ImageFile& file, MemoryImages& images) {
  const ElfMemory flash = Gather(file, 0, 2 * MemoryImages::kFlashWords);
  for (std::size_t w = 0; w < MemoryImages::kFlashWords; ++w) {
    images.FlashImage[w] = static_cast<std::uint16_t>(flash.Bytes[2 * w] | (flash.Bytes[2 * w + 1] << 8));
    images.FlashFilled[w] = flash.Filled[2 * w] || flash.Filled[2 * w + 1];
  }
  images.FlashDataCount = static_cast<std::int32_t>((flash.End + 1) / 2);
  images.FlashDamaged = false;
}

void LoadAvrElfEeprom(const ImageFile& file, MemoryImages& images) {
  ElfMemory eeprom = Gather(file, kAvrElfEepromBase, kAvrElfEepromEnd - kAvrElfEepromBase);
  eeprom.Bytes.resize(MemoryImages::kEepromElements, 0xFF);
  eeprom.Filled.resize(MemoryImages::kEepromElements, false);
  images.EepromImage = std::move(eeprom.Bytes);
  images.EepromFilled = std::move(eeprom.Filled);
  images.EepromDataCount = static_cast<std::int32_t>(eeprom.End);
  images.EepromDamaged = false;
}

}  // namespace pw
