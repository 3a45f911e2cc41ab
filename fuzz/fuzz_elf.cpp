// Any bytes as an AVR ELF file: the reader either gives segments that lie inside the bytes it
// was given or raises PinwrightError, and never reads outside them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/Error.h"
#include "elffile/AvrElf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const pw::ElfSegment& segment : pw::ReadAvrElf(bytes, "fuzz.elf")) {
      if (segment.Bytes.empty() || segment.Bytes.size() > size) __builtin_trap();
    }
  } catch (const pw::PinwrightError&) {
  }
  return 0;
}
