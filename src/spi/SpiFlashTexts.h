#pragma once
/// @file
/// The texts of the SPI Flash page and its operations that more than one place shows.

#include <cstdint>
#include <string>
#include <vector>

#include "common/HexDigits.h"
#include "spi/SpiFlashPlan.h"

namespace pw::texts {

inline constexpr const char* kSpiFlash = "SPI Flash";
/// The page's buttons: a write or erase cut short names the one to press again.
inline constexpr const char* kSpiWriteButton = "Прошить";
inline constexpr const char* kSpiEraseButton = "Стереть чип";
/// What a refused or declined operation says it left undone.
inline constexpr const char* kSpiWriteCancelled = "запись отменена";
inline constexpr const char* kSpiVerifyCancelled = "сравнение отменено";
inline constexpr const char* kSpiEraseCancelled = "стирание отменено";

/// What a chip that stayed busy at a change of its address mode leaves undone.
inline constexpr const char* kSpiNoFourByte = "режим 4-байтных адресов не переключён";

/// The chip was still busy at address after the longest time its type gives; consequence: what
/// that means for the operation.
inline std::string SpiStillBusy(std::uint32_t address, const std::string& consequence) {
  return "Ошибка: микросхема занята дольше наибольшего времени по её описанию (адрес 0x" + HexDigits(address, 6) +
         "), " + consequence;
}

/// A file was loaded for a write or a comparison.
inline std::string SpiFileLoaded(const std::string& file) { return "файл: " + file; }
/// A read will save into file.
inline std::string SpiReadInto(const std::string& file) { return "файл.SPI Flash: " + file; }

/// A write changed bytes outside its file that it had to keep (an erase wider than typeName's
/// SpiFlash.ini entry says): how many, and their first ranges.
inline std::string SpiLostBytes(const std::vector<SpiByteRange>& lost, const std::string& typeName) {
  constexpr std::size_t kShownRanges = 10;
  std::uint64_t count = 0;
  std::string ranges;
  for (std::size_t k = 0; k < lost.size(); ++k) {
    count += lost[k].Last - lost[k].First + 1;
    if (k == kShownRanges) ranges += ", …";
    if (k >= kShownRanges) continue;
    ranges += (k > 0 ? ", 0x" : "0x") + HexDigits(lost[k].First, 6) + "-0x" + HexDigits(lost[k].Last, 6);
  }
  return "Ошибка: запись изменила " + std::to_string(count) + " байт вне файла (" + ranges +
         "); возможно, сектор или блок " + typeName + " в " + kSpiFlashTypesFile + " меньше настоящего";
}

}  // namespace pw::texts
