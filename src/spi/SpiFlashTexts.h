#pragma once
/// @file
/// The texts of the SPI Flash page and its operations that more than one place shows.

#include <cstdint>
#include <string>
#include <vector>

#include "common/HexDigits.h"
#include "frame/Action.h"
#include "spi/SpiFlashPlan.h"
#include "spi/SpiFlashSfdp.h"
#include "spi/SpiFlashTypes.h"

namespace pw::texts {

inline constexpr const char* kSpiFlash = "SPI Flash";
/// The page's buttons: a write or erase cut short names the one to press again.
inline constexpr const char* kSpiWriteButton = "Прошить";
inline constexpr const char* kSpiEraseButton = "Стереть чип";
inline constexpr Action kSpiWrite{kSpiWriteButton, "spi write"};
inline constexpr Action kSpiErase{kSpiEraseButton, "spi erase"};
inline constexpr const char* kSpiVerifyButton = "Сверить";
/// What a refused or declined operation says it left undone.
inline constexpr const char* kSpiWriteCancelled = "запись отменена";
inline constexpr const char* kSpiVerifyCancelled = "сравнение отменено";
inline constexpr const char* kSpiEraseCancelled = "стирание отменено";

/// Why a chip does not answer its JEDEC ID (spi/SpiFlashDiagnosis.h): what came back, then
/// what to do.
inline constexpr const char* kSpiMisoHigh = "на чтение ID пришли байты FF, линия MISO всё время в единице";
inline constexpr const char* kSpiMisoHighAdvice =
    "проверьте питание микросхемы (на переходнике 3,3 В, подходит ли ей это напряжение), провода и линию /CS";
inline constexpr const char* kSpiMisoLow =
    "на чтение ID пришли байты 00, и после команды выхода из глубокого сна (0xAB) тоже: линия MISO всё время в нуле";
inline constexpr const char* kSpiMisoLowAdvice =
    "проверьте, не замкнута ли MISO на землю и не держит ли микросхему вход /HOLD (он должен быть в единице)";
/// A chip that gave ID 00 00 00 answered after Release from Deep Power-down.
inline constexpr const char* kSpiWokenUp =
    "микросхема не отвечала (ID 00 00 00): после команды выхода из глубокого сна (0xAB) ответила";

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

/// The size of a chip in the largest whole unit: "4 Мбайт", "512 Кбайт".
inline std::string SpiSizeText(std::uint64_t bytes) {
  if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " Мбайт";
  if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " Кбайт";
  return std::to_string(bytes) + " байт";
}

/// A chip SpiFlash.ini does not list, identified by its SFDP table instead.
inline std::string SpiTypeFromSfdp(const FlashType& type) {
  return "Микросхема: ID " + JedecText(type.Id) + ", нет в файле " + kSpiFlashTypesFile +
         "; тип взят из SFDP: " + SpiSizeText(type.Size) + ", страница " + std::to_string(type.PageSize) +
         " байт, стирание " + HexDigits(type.Sector.Command, 2) + " (" + std::to_string(type.Sector.Bytes) +
         " байт) и " + HexDigits(type.Block.Command, 2) + " (" + std::to_string(type.Block.Bytes) + " байт)";
}
/// Why the SFDP area of a chip SpiFlash.ini does not list cannot describe it.
inline std::string SpiSfdpRefused(const std::string& problem) { return "SFDP микросхемы не годится: " + problem; }
/// Where a person sees the chips SpiFlash.ini lists.
inline constexpr const char* kSpiListHint = "известные типы показывает pinwright-cli list spi";

/// What SpiSfdpRefused names.
inline constexpr const char* kSfdpNoSignature = "нет подписи \"SFDP\"";
inline constexpr const char* kSfdpHeadersOutside = "заголовки параметров выходят за прочитанную область SFDP";
inline constexpr const char* kSfdpNoBasicTable = "нет основной таблицы параметров (ID FF00) длиной от 9 слов";
inline std::string SfdpTableOutside(std::uint32_t pointer, std::uint32_t dwords) {
  return "основная таблица (адрес 0x" + HexDigits(pointer, 6) + ", " + std::to_string(dwords) +
         " слов) не выровнена или выходит за прочитанную область SFDP";
}
inline std::string SfdpBadDensity(std::uint32_t dword) {
  return "объём 0x" + HexDigits(dword, 8) + " не годится: нужна степень двух от 4 Кбайт до " +
         SpiSizeText(kSfdpMostBytes);
}
inline constexpr const char* kSfdpAddressBytes = "микросхема не принимает 3-байтовые адреса";
inline constexpr const char* kSfdpNoFourByteWay = "микросхема больше 16 Мбайт, а способа 4-байтовой адресации нет";
inline constexpr const char* kSfdpNoErase = "нет команды стирания не меньше страницы";
inline std::string SfdpBadPage(std::uint64_t bytes) {
  return "страница " + std::to_string(bytes) + " байт не годится: нужно не больше 4096";
}

}  // namespace pw::texts
