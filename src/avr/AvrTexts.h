#pragma once
/// @file
/// Texts that more than one AVR operation shows: sizes, the file dialogs' filter, and the lines
/// with which an operation refuses to go on.

#include <cstdint>
#include <string>

#include "common/HexDigits.h"
#include "frame/Action.h"

namespace pw::texts {

/// "N Кбайт" for sizes of a kibibyte and more, else "N байт".
inline std::string AvrSizeText(std::int64_t bytes) {
  if (bytes / 1024 != 0) return std::to_string(bytes / 1024) + " Кбайт";
  return std::to_string(bytes) + " байт";
}

/// The filter of the AVR page's open dialogs: kImageFilter's files and avr-gcc's ELF files.
inline constexpr const char* kAvrOpenFilter = "hex|*.hex|bin|*.bin;*.rom;*.img;*.raw|elf|*.elf|все файлы|*";
/// The default extension of the AVR page's save dialogs (their filter is kImageFilter).
inline constexpr const char* kHexExtension = "hex";

/// The captions of the write buttons: a write that stops half way names the one to press again.
inline constexpr const char* kAvrWriteFlashCaption = "Прошить Flash";
inline constexpr const char* kAvrWriteEepromCaption = "Прошить Eeprom";
inline constexpr Action kAvrWriteFlash{kAvrWriteFlashCaption, "avr write-flash"};
inline constexpr Action kAvrWriteEeprom{kAvrWriteEepromCaption, "avr write-eeprom"};
/// The erase before a write: the window's button, the command line's option.
inline constexpr Action kAvrEraseFirst{"Стереть чип", "--erase"};
/// The captions of the buttons that compare the chip with the files and check it is erased.
inline constexpr const char* kAvrVerifyFlashCaption = "Сверить Flash";
inline constexpr const char* kAvrVerifyEepromCaption = "Сверить Eeprom";
inline constexpr const char* kAvrBlankCheckCaption = "Чистота Flash";

/// The lines that name the file an operation programs or compares (as it is opened) and the
/// file a read saves.
inline std::string AvrFlashFileLine(const std::string& file) { return "файл.флеши: " + file; }
inline std::string AvrEepromFileLine(const std::string& file) { return "файл Еепром: " + file; }
inline std::string AvrFlashSaveLine(const std::string& file) { return "Сохраняем Флеш в файл: " + file; }
inline std::string AvrEepromSaveLine(const std::string& file) { return "Файл Еепром: " + file; }

/// The chip gave no echo to Programming Enable: nothing it sends can be trusted.
inline constexpr const char* kAvrNoAnswer = "Ошибка: чип не отвечает";
/// Why a chip does not answer (avr/AvrDiagnosis.h): what came back, then what to do.
inline constexpr const char* kAvrMisoHigh = "на все команды чип ответил байтами FF, линия MISO всё время в единице";
inline constexpr const char* kAvrMisoHighAdvice =
    "вероятно, чип без питания или не подключён: проверьте питание, разъём ISP и провода";
inline constexpr const char* kAvrMisoLow = "на все команды пришли байты 00, линия MISO всё время в нуле";
inline constexpr const char* kAvrMisoLowAdvice =
    "проверьте, не замкнута ли MISO на землю и не держит ли чип в сбросе другая схема на плате";
inline std::string AvrAnswersOnlySlowly(std::int32_t baud, std::int32_t slow) {
  return "на " + std::to_string(baud) + " бод чип не отвечает, а на " + std::to_string(slow) +
         " бод отвечает: частота SCK слишком высока для его тактовой частоты";
}
inline constexpr const char* kAvrEchoUnsteady =
    "эхо 0x53 на вход в программирование приходит не каждый раз или со сдвигом: частота SCK на пределе для чипа";
inline constexpr const char* kAvrSlowerClockAdvice =
    "выберите меньшую скорость или \"авто\" в списке скоростей (в командной строке --baud auto или меньшее "
    "значение --baud)";
inline constexpr const char* kAvrSignatureEchoesAddress =
    "каждый байт сигнатуры повторяет свой адрес (00 01 02): настоящей сигнатуры чип не выдаёт";
inline constexpr const char* kAvrDamagedAdvice =
    "чип защищён, повреждён или тактируется неверно (фьюзы источника тактов): проверьте кварц или генератор, "
    "иначе замените чип";

/// An ELF file's segment at load address address runs past the end of its memory.
inline std::string AvrElfTooLarge(const std::string& file, std::uint32_t address) {
  return "Ошибка! В файле " + file + " сегмент с адреса 0x" + HexDigits(address, 6) +
         " не помещается в память; файл не загружен";
}
/// An ELF file holds nothing for the flash (flash true) or for the EEPROM.
inline std::string AvrElfNothingFor(const std::string& file, bool flash) {
  return "Ошибка! В файле " + file + " нет данных для " + (flash ? "флеши" : "EEPROM") + "; файл не загружен";
}

/// A read that did not complete leaves no file behind.
inline constexpr const char* kAvrFileNotSaved = "Ошибка: файл не сохранён";

/// The chip that answered is not one chips.ini describes soundly with flash pages.
inline std::string AvrNotIdentified(const std::string& signature) {
  return "Ошибка: чип не опознан, сигнатура: " + signature;
}

/// The chip answered with a signature that has no section in chips.ini.
inline std::string AvrNotInChipsIni(const std::string& signature) {
  return "Ошибка: сигнатуры " + signature + " нет в chips.ini, этот чип не поддерживается";
}

/// Where a person sees the chips chips.ini describes.
inline constexpr const char* kAvrListHint = "известные чипы показывает pinwright-cli list avr";

/// The chip identified has no memory of that kind (what: "флеши", "EEPROM").
inline std::string AvrNoMemory(const std::string& what) { return "Ошибка: у чипа нет " + what; }

/// The loaded file holds more than the chip's memory; the operation (cancelled says which) did nothing.
inline std::string AvrFileTooLarge(std::int64_t fileUnits, std::int64_t chipUnits, const std::string& unit,
                                   const std::string& cancelled = "запись отменена") {
  return "Ошибка: в файле " + std::to_string(fileUnits) + " " + unit + ", а в чипе " + std::to_string(chipUnits) + " " +
         unit + ", " + cancelled;
}

/// The bytes of a fuse write as the read-back after it names them.
inline constexpr const char* kAvrLowFuse = "младший фьюз";
inline constexpr const char* kAvrHighFuse = "старший фьюз";
inline constexpr const char* kAvrExtFuse = "расширенный фьюз";
inline constexpr const char* kAvrLockByte = "байт защиты";

/// One byte of a fuse write side by side: what was written and what the chip reads back.
inline std::string AvrFuseReadBackLine(const std::string& name, const std::string& asked, const std::string& read) {
  return name + ": записано " + asked + ", в чипе " + read;
}

/// What chips.ini's LockBits must be, after the value it holds.
inline constexpr const char* kAvrLockBitsWanted =
    "нужна маска битов защиты: одна-две шестнадцатеричные цифры, не больше 3F, "
    "с битами 1 и 0";

/// A flash verify found bits the file wants at 1 held at 0 by the chip: programming only clears
/// bits, so the chip held something before and only an erase brings them back.
/// A write's verify found differences; the differences follow, as a verify shows them.
inline constexpr const char* kAvrFlashVerifyFailed = "Ошибка: при проверке флеши";
inline constexpr const char* kAvrEepromVerifyFailed = "Ошибка: при проверке EEPROM";
/// erase names kAvrEraseFirst (Reporter::Name).
inline std::string AvrEraseFirstHint(const std::string& erase) {
  return "Возможно, чип не был стёрт: сотрите его (\"" + erase + "\") и прошейте снова";
}

/// A production job names one part; the chip in the socket is another.
inline std::string AvrNotJobPart(const std::string& chip, const std::string& part) {
  return "Ошибка! В панельке " + chip + ", а задание для " + part;
}

}  // namespace pw::texts
