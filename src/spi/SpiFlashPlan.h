#pragma once
/// @file
/// What a write does to one erase sector: erase it only when a bit must go from 0 to 1, and
/// program only the pages that differ from what the chip then holds.

#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "spi/SpiFlashImage.h"
#include "spi/SpiFlashTypes.h"

namespace pw {

struct SpiSectorPlan {
  bool Erase = false;
  /// The sector starts a block whose every sector must be erased: one block erase here does it.
  bool BlockStart = false;
  /// Erased by the block erase of a sector before it: no erase of its own.
  bool InBlock = false;
  /// Offsets (in the sector) of the pages to program, in order.
  std::vector<std::uint32_t> Pages;
};

/// chip: the sector as read; wanted: what it must hold (the file's bytes over the chip's own).
/// Programming only clears bits, so a sector is erased when some wanted 1 is a 0 in the chip;
/// after an erase every page that is not all 0xFF is programmed, without one every page that
/// differs. Both spans have the sector's length, a whole number of pages.
SpiSectorPlan PlanSector(std::span<const std::uint8_t> chip, std::span<const std::uint8_t> wanted,
                         std::uint32_t pageSize);

/// The aligned unit a write reads, plans and verifies at a time: a block, at least one sector,
/// and at least kSpiLargestErase bytes (the whole chip when smaller). An erase wider than
/// SpiFlash.ini says then stays within the chunk read before it, whose bytes the verify knows.
std::uint32_t SpiChunkBytes(const FlashType& type);
/// The first addresses of the aligned chunks of chunk bytes that hold some of image's bytes.
std::vector<std::uint32_t> SpiFileChunks(const SpiFlashImage& image, std::uint32_t chunk);
/// Bytes from First up to End (not included), offsets in a chunk.
struct SpiSpan {
  std::uint32_t First = 0;
  std::uint32_t End = 0;
};
/// The part of the chunk of chunk bytes at base that holds image's bytes, widened to whole units
/// of align bytes: all a write or verify must read there when nothing in it is erased.
SpiSpan SpiFilledSpan(const SpiFlashImage& image, std::uint32_t base, std::uint32_t chunk, std::uint32_t align);
/// Whether image holds every byte of the chunk of chunk bytes at base: a write there keeps none
/// of the chip's own bytes, so it may program or erase before it knows them.
bool SpiFillsChunk(const SpiFlashImage& image, std::uint32_t base, std::uint32_t chunk);
/// What the chunk at base must hold: image's bytes over the chip's own (chip), which a sector
/// erase would otherwise lose.
std::vector<std::uint8_t> SpiWantedChunk(const SpiFlashImage& image, std::uint32_t base,
                                         std::span<const std::uint8_t> chip);
/// The plan of each sector of a chunk, in order; a block whose sectors must all be erased is
/// erased whole.
std::vector<SpiSectorPlan> PlanChunk(const FlashType& type, std::span<const std::uint8_t> chip,
                                     std::span<const std::uint8_t> wanted);

/// The plan of a chunk erased whole, whatever it holds, then programmed with wanted's pages that
/// are not all 0xFF.
std::vector<SpiSectorPlan> PlanErasedChunk(const FlashType& type, std::span<const std::uint8_t> wanted);

/// The chip's bytes outside the file that a write must leave as they were: those of every chunk
/// in which it erased, as read before.
struct SpiKeptBytes {
  /// At their chip addresses; meaningful where Kept says so.
  std::vector<std::uint8_t> Bytes;
  std::vector<bool> Kept;
};
/// Adds the bytes of the chunk at base that image does not hold to kept, from wanted.
void KeepChunk(SpiKeptBytes& kept, const SpiFlashImage& image, std::uint32_t base,
               std::span<const std::uint8_t> wanted);

/// The part of a chunk (its sectors' plans, in order) that its write changes and the verify must
/// read back: all of it when a sector is erased (an erase wider than SpiFlash.ini says could lose
/// bytes anywhere in the chunk), else from the first programmed page to the end of the last; empty
/// when nothing is changed, for the plan's read found the file's bytes there already.
SpiSpan SpiChangedSpan(std::span<const SpiSectorPlan> plans, std::uint32_t sectorBytes, std::uint32_t pageSize);

/// What a write did, for its verify: the bytes it must have kept, and per chunk (by address) the
/// span it changed; a chunk not listed was left as it was, equal to the file.
struct SpiWritten {
  SpiKeptBytes Kept;
  std::map<std::uint32_t, SpiSpan> Changed;
};

/// Bytes from First to Last, both included.
struct SpiByteRange {
  std::uint32_t First = 0;
  std::uint32_t Last = 0;
};
/// Adds the kept bytes that chip (read from base on) no longer holds to lost, as ranges; a range
/// that continues the last one joins it.
void FindLostBytes(const SpiKeptBytes& kept, std::uint32_t base, std::span<const std::uint8_t> chip,
                   std::vector<SpiByteRange>& lost);

}  // namespace pw
