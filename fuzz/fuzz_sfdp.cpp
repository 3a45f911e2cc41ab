// Any bytes as a chip's SFDP area: the type is refused with a line or, when given, holds together.
#include <cstddef>
#include <cstdint>
#include <span>

#include "spi/SpiFlashSfdp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto result = pw::FlashTypeFromSfdp(std::span(data, size), {0xEF, 0x40, 0x16});
  if (result.Type.has_value() != result.Problem.empty()) __builtin_trap();
  if (!result.Type) return 0;
  const pw::FlashType& t = *result.Type;
  // What the write plan relies on: pages tile sectors, sectors the block, blocks the chip.
  const bool sound = t.PageSize <= t.Sector.Bytes && t.Sector.Bytes <= t.Block.Bytes && t.Block.Bytes <= t.Size &&
                     t.Size % t.Block.Bytes == 0 && t.PageProgramUs.Typical <= t.PageProgramUs.Maximum;
  if (!sound) __builtin_trap();
  return 0;
}
