#pragma once
/// @file
/// Texts shown by more than one part of the window.

#include <cstdint>
#include <string>

#include "hexfile/HexTexts.h"

namespace pw::texts {

inline constexpr const char* kNoProgrammer = "Ошибка выполнения. Возможно не подключен программатор";
/// A write stopped after it had changed the chip; operation names what to do again (Reporter::Name).
inline std::string PartlyWritten(const std::string& operation) {
  return "Внимание! Запись прервана: микросхема могла остаться записанной частично. Повторите \"" + operation + "\"";
}
/// An operation stopped at the person's request; undone says what it left undone.
inline std::string Stopped(const std::string& undone) { return "Остановлено по запросу: не выполнено — " + undone; }
/// What a stopped operation left undone, in units ("страниц", "байт") of a total.
inline std::string Undone(std::int64_t done, std::int64_t total, const std::string& units) {
  return std::to_string(total - done) + " из " + std::to_string(total) + " " + units;
}
/// Added to the stop line of a write: the chip may hold part of the new data.
inline constexpr const char* kStoppedWrite = "; микросхема могла остаться записанной частично";
/// The stop line's end when a stop comes between two operations of one run.
inline constexpr const char* kStoppedBetweenSteps = "команда не доведена до конца";
/// Added to the stop line of a read: nothing was saved.
inline constexpr const char* kStoppedRead = "; файл не сохранён";

/// A file in a format the memory is not read from or saved as; taken names the formats that are.
inline std::string FormatNotTaken(const std::string& file, const char* taken) {
  return "Ошибка! Файл " + file + ": здесь годится только " + std::string(taken);
}
/// What FormatNotTaken names.
inline constexpr const char* kHexOrBinary = "HEX или двоичный файл";
inline constexpr const char* kHexOnly = "HEX-файл";
/// "-" stood for a second input (or output) file of one command line.
inline constexpr const char* kStandardStreamTwice =
    "Ошибка: \"-\" (стандартный ввод или вывод) заменяет только один входной и один выходной файл команды";

/// A verify was asked for while no file has put data into the image.
inline constexpr const char* kNothingToVerify = "Ошибка: нет данных для проверки, сначала загрузите файл";
/// A write was asked for while no file has put data into the image.
inline constexpr const char* kNothingToWrite = "Ошибка: нет данных для записи, сначала загрузите HEX-файл";
/// The question before a write from a file whose records had wrong checksums, and the line of a No.
inline constexpr const char* kDamagedFileTitle = "Файл с ошибками";
inline constexpr const char* kDamagedFileQuestion =
    "В файле есть записи с неверной контрольной суммой: данные могут быть искажены. Всё равно записать?";
inline constexpr const char* kDamagedFileNotWritten = "Запись отменена: файл с ошибками контрольной суммы";
/// The automatic clock of a family that takes it from the part's description: the part (or the
/// bus), its fastest clock, and the baud value chosen.
inline std::string AutoBaudForPart(const std::string& part, std::int64_t khz, std::int32_t baud) {
  return "Скорость авто: " + part + " работает до " + std::to_string(khz) + " кГц, работаем на " +
         std::to_string(baud) + " бод";
}
/// The starts of the two lines that say why a chip does not answer (frame/Diagnosis.h).
inline constexpr const char* kDiagnosisFacts = "Диагностика: ";
inline constexpr const char* kDiagnosisAdvice = "Совет: ";
// kFileNotFound comes with the HEX reader that raises it (hexfile/HexTexts.h).

}  // namespace pw::texts
