#pragma once
/// @file
/// Texts of the PIC page's memory operations.

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/HexDigits.h"
#include "frame/Action.h"

namespace pw::texts {

inline constexpr const char* kPicWriteFailed = "Ошибка при прошивании";
inline constexpr const char* kPicFlashWritten = "флеш прошита и проверена ошибок нет";
inline constexpr const char* kPicDataWritten = "еепром прошита и проверена ошибок нет";
inline constexpr const char* kPicMismatchAt = "ошибка по адресу: ";
inline constexpr const char* kPicNoDataMemoryData = "в файле нет данных для Eeprom: Eeprom не записывается";
inline constexpr const char* kPicNoFlashData = "в файле нет данных для флеши: флеш не записывается";
inline constexpr const char* kPicTypeTooLarge =
    "Ошибка: память этого типа в PIC.ini больше, чем помещается в файл дампа; ничего не считано";
inline constexpr const char* kPicCalibrationLost =
    "Ошибка! Калибровочное слово генератора не удалось записать обратно после стирания";
inline constexpr const char* kPicCalibrationUnread =
    "Ошибка! Калибровочное слово генератора не прочитано до стирания (чип защищён?): после стирания его нет, "
    "запишите его файлом с калибровочной командой по этому адресу";
inline constexpr const char* kPicOsccalKept =
    "в файле по адресу калибровочного слова генератора не калибровочная команда: оставлено слово из чипа";

// The operations a write that stopped half way names to be done again (frame/PartialWrite.h).
inline constexpr const char* kPicWriteFlashCaption = "Прошить\" в \"Programm Memory";
inline constexpr const char* kPicWriteDataCaption = "Прошить\" в \"Data Memory";
inline constexpr const char* kPicWriteDumpCaption = "Прошить дамп";
inline constexpr const char* kPicWriteConfigCaption = "Прошить фъюзы";
inline constexpr const char* kPicEraseCaption = "Стереть чип";
inline constexpr Action kPicWriteFlash{kPicWriteFlashCaption, "pic ТИП write-flash"};
inline constexpr Action kPicWriteData{kPicWriteDataCaption, "pic ТИП write-eeprom"};
inline constexpr Action kPicWriteDump{kPicWriteDumpCaption, "pic ТИП write-dump"};
inline constexpr Action kPicWriteConfig{kPicWriteConfigCaption, "pic ТИП write-config"};
inline constexpr Action kPicErase{kPicEraseCaption, "pic ТИП erase"};
/// The caption of the button that compares the chip with the images.
inline constexpr const char* kPicVerifyCaption = "Сверить дамп";

/// The size labels of the memory boxes: program memory counts words, data memory bytes; the
/// second line is what the images hold, in bytes.
inline std::string PicProgramMemoryText(std::int64_t words, std::int64_t bytes) {
  return "Объём " + std::to_string(words) + " слов\r\nДанных в буфере " + std::to_string(bytes) + " байт\r\n";
}
inline std::string PicDataMemoryText(std::int64_t size, std::int64_t bytes) {
  return "Объём EEPROM " + std::to_string(size) + " байт\r\nДанных в буфере " + std::to_string(bytes) + " байт\r\n";
}

/// The PIC18 configuration bytes the panel's 32 checkboxes show, four at a time.
inline constexpr const char* kPicConfigGroups[] = {"CONFIG1L–2H", "CONFIG3L–4H", "CONFIG5L–6H", "CONFIG7L–7H"};

inline constexpr const char* kPicPresenceUnknown =
    "у этого типа нет идентификатора: есть ли микросхема на разъёме и та ли она, проверить нельзя";
inline constexpr const char* kPicOtherChipTitle = "Другая микросхема";
inline constexpr const char* kPicOtherChipQuestion =
    "Идентификатор микросхемы не совпадает с выбранным типом. Всё равно продолжить?";
/// Where a person sees the types PIC.ini describes, with their device IDs.
inline constexpr const char* kPicListHint = "известные типы и их ID показывает pinwright-cli list pic";
inline constexpr const char* kPicOtherChipRefused = "Ошибка: на разъёме микросхема другого типа; ничего не сделано";
inline constexpr const char* kPicConfigWritten = "конфигурация прошита и проверена ошибок нет";
inline constexpr const char* kPicConfigSkipped =
    "Ошибка: память прошита с ошибками, конфигурация (и защита) не записывается";
inline constexpr const char* kPicFlashSame = "флеш совпадает с файлом";
inline constexpr const char* kPicFlashDiffers = "Ошибка: флеш отличается от файла";
inline constexpr const char* kPicDataSame = "еепром совпадает с файлом";
inline constexpr const char* kPicDataDiffers = "Ошибка: еепром отличается от файла";
inline constexpr const char* kPicConfigSame = "конфигурация совпадает с файлом";
inline constexpr const char* kPicConfigDiffers = "Ошибка: конфигурация отличается от файла";

/// Word 0x2006 read as id, which no chip holds: nothing answers on the header.
inline std::string PicNoChip(std::uint16_t id) {
  return "Ошибка: микросхема не отвечает (идентификатор " + HexDigits(id, 4) +
         "): нет микросхемы на разъёме PIC? Ничего не сделано";
}

/// Word 0x2006 read as id, while the chosen type's is expected (revision bits 0).
inline std::string PicOtherChip(std::uint16_t id, std::int32_t expected) {
  return "Внимание! Идентификатор микросхемы " + HexDigits(id, 4) + ", а у выбранного типа " +
         HexDigits(static_cast<std::uint32_t>(expected), 4) + ": на разъёме другая микросхема";
}

/// The configuration read back after its write differs in word 0x2000 + k.
inline std::string PicConfigNotTaken(std::size_t k, std::uint16_t written, std::uint16_t read) {
  return "Ошибка: конфигурация не прошита: слово " + HexDigits(static_cast<std::uint32_t>(0x2000 + k), 4) +
         " записано " + HexDigits(written, 4) + ", в чипе " + HexDigits(read, 4);
}

/// The configuration read back after its write differs in the PIC18 byte at address.
inline std::string Pic18ConfigNotTaken(std::uint32_t address, std::uint8_t written, std::uint8_t read) {
  return "Ошибка: конфигурация не прошита: байт " + HexDigits(address, 6) + " записан " + HexDigits(written, 2) +
         ", в чипе " + HexDigits(read, 2);
}

/// After the erase, memory (флеш, еепром) still holds read at location address.
inline std::string PicNotBlank(const char* memory, std::int32_t address, std::uint16_t read) {
  return std::string("Ошибка: после стирания ") + memory + " не чистая: по адресу " + std::to_string(address) +
         " прочитано " + HexDigits(read, 4);
}

/// The log line of a file loaded for the PIC page.
inline std::string PicFileLine(const std::string& file) { return "файл : " + file; }

/// File data beyond the memory the type has: the target would wrap them onto its first locations.
inline std::string PicFileTooLarge(const char* memory, std::int64_t count, std::int64_t size, const char* unit) {
  return std::string("Ошибка: данных в файле для ") + memory + " " + std::to_string(count) + unit + ", а у типа " +
         std::to_string(size) + unit + "; ничего не записано";
}

/// A file put data at program-memory word address word, where the PIC layout has no memory.
inline std::string PicDataNowhere(std::uint32_t word) {
  return "Ошибка! В файле данные по адресу слова 0x" + HexDigits(word, 4) +
         ": там нет ни памяти программ, ни конфигурации, ни Eeprom; файл не загружен";
}

/// A PIC18 file put data at byte address address, where the PIC18 layout has no memory.
inline std::string Pic18DataNowhere(std::uint32_t address) {
  return "Ошибка! В файле данные по адресу 0x" + HexDigits(address, 6) +
         ": там нет ни памяти программ, ни ID, ни конфигурации, ни Eeprom; файл не загружен";
}

/// Bits of the configuration word that the type does not have, written as the file holds them.
inline std::string PicIgnoredConfigBits(const std::string& bits) {
  return "биты конфигурационного слова, которых нет у этого типа (микросхема их не примет):" + bits;
}

}  // namespace pw::texts
