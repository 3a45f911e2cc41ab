#pragma once
/// @file
/// The texts of the SPI Flash page and its operations that more than one place shows.

#include <cstdint>
#include <string>

#include "common/HexDigits.h"

namespace pw::texts {

inline constexpr const char* kSpiFlash = "SPI Flash";
/// The page's buttons: a write or erase cut short names the one to press again.
inline constexpr const char* kSpiWriteButton = "Прошить";
inline constexpr const char* kSpiEraseButton = "Стереть чип";
/// What a refused or declined operation says it left undone.
inline constexpr const char* kSpiWriteCancelled = "запись отменена";
inline constexpr const char* kSpiVerifyCancelled = "сравнение отменено";
inline constexpr const char* kSpiEraseCancelled = "стирание отменено";

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

}  // namespace pw::texts
