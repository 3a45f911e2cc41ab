// Any bytes as a HEX file, loaded with the PIC layout (all three targets in use): the reader
// either fills the images or raises PinwrightError, and never touches memory outside them.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/Error.h"
#include "hexfile/HexReader.h"
#include "pic/PicFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::vector<std::uint16_t> words(65536);
  static std::vector<std::uint8_t> top(65536);
  static std::vector<std::uint8_t> mid(65536);
  std::int32_t wordCount = 0;
  std::int32_t topCount = 0;
  std::int32_t midCount = 0;
  try {
    const pw::HexLoadReport report =
        pw::LoadHexText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.hex", words, wordCount, top,
                        topCount, pw::kPicDataAddress, mid, midCount, pw::kPicConfigAddress);
    if (wordCount < 0 || wordCount > 65536 || topCount < 0 || topCount > 65536 || midCount < 0 || midCount > 65536) {
      __builtin_trap();
    }
    if (report.WordsFilled.size() != words.size() || report.BadChecksums < 0) __builtin_trap();
  } catch (const pw::PinwrightError&) {
  }
  return 0;
}
