#pragma once
/// @file
/// Texts of production runs: the job file's refusals, the run's lines, the record's failures
/// and the summary `report` prints.

#include <cstdint>
#include <cstdio>
#include <string>

namespace pw::texts {

/// The record's file could not be opened or created; why is SQLite's own text.
inline std::string RecordNotOpened(const std::string& file, const std::string& why) {
  return "Ошибка! Не удалось открыть журнал производства " + file + ": " + why;
}
/// A chip's row or the record's table could not be written: the next chip must wait.
inline std::string RecordNotWritten(const std::string& file, const std::string& why) {
  return "Ошибка! Не удалось записать журнал производства " + file + ": " + why;
}
inline std::string RecordNotRead(const std::string& file, const std::string& why) {
  return "Ошибка! Не удалось прочитать журнал производства " + file + ": " + why;
}
/// Why a record written by a later version of the program is left alone.
inline std::string RecordTooNew(int version) {
  return "журнал записан более новой версией программы (версия схемы " + std::to_string(version) + ")";
}
/// A serial number past the largest the record can hold.
inline constexpr const char* kRecordSerialOverflow = "следующий серийный номер не помещается в 64 бита";

/// The summary's lines; each holds one value.
inline constexpr const char* kSummaryJob = "Задание ";
inline constexpr const char* kSummaryPassed = "  годных: ";
inline constexpr const char* kSummaryFailed = "  брак: ";
inline constexpr const char* kSummaryUnfinished = "  не завершено: ";
inline constexpr const char* kSummarySerials = "  серийные номера: ";
inline constexpr const char* kSummaryTimes = "  время (UTC): ";
inline constexpr const char* kSummaryRate = "  микросхем в час: ";
/// Between the first and last of a range.
inline constexpr const char* kSummaryRangeDash = " – ";
/// A value the job has none of (no serial number, no rows, one moment only).
inline constexpr const char* kSummaryNone = "нет";

/// A job file that cannot serve: what is wrong with key=value.
inline std::string JobKeyProblem(const std::string& file, const std::string& key, const std::string& value,
                                 const std::string& why) {
  return "Ошибка в задании " + file + ": " + key + "=" + value + " — " + why;
}
/// A job file that is not there.
inline std::string JobFileMissing(const std::string& file) { return "Ошибка: файл задания " + file + " не найден"; }
inline constexpr const char* kJobNoKey = "ключ не задан";
inline constexpr const char* kJobUnknownPage = "страница должна быть avr, pic, i2c или spi";
inline constexpr const char* kJobKeyNotForPage = "этот ключ не подходит для страницы задания";
inline constexpr const char* kJobNothingToWrite = "в задании нет ни одного файла для записи";
inline constexpr const char* kJobYesNo = "нужно yes или no";
inline constexpr const char* kJobNumber = "нужно неотрицательное число";
inline constexpr const char* kJobStep = "шаг должен быть не меньше 1";
inline constexpr const char* kJobWidth = "ширина должна быть от 1 до 16";
inline constexpr const char* kJobMemory = "память номера для этой страницы: ";
inline constexpr const char* kJobMemoryFile = "для этой памяти в задании нет файла";
inline constexpr const char* kJobFusesNeeded = "байт защиты пишется только вместе с Fuses=";

inline constexpr const char* kSerialDoesNotFit = "Ошибка! Серийный номер не помещается в память микросхемы";

/// A chip whose run asked a question before risky work (fuses that can lock the programmer out).
inline constexpr const char* kRiskyNeedsForce = "Ошибка! Задание требует рискованной записи: запустите с --force";

inline constexpr const char* kInsertChip = "вставьте микросхему";
inline constexpr const char* kRemoveChip = "извлеките микросхему";
inline constexpr const char* kProductionStopped = "Производство остановлено по запросу";
inline constexpr const char* kProductionHalted = "Производство остановлено: следующая микросхема не начата";

/// A chip without a serial number is named by its row in the record.
inline std::string RowLabel(std::int64_t row) { return "строка " + std::to_string(row); }

/// One chip of a production run: passed or failed, how long it took, what went wrong.
inline std::string ChipLine(const std::string& label, bool passed, double seconds, const std::string& trouble) {
  char duration[32];
  std::snprintf(duration, sizeof duration, "%.1f с", seconds);
  return "микросхема " + label + ": " + (passed ? "годна" : "брак") + ", " + duration +
         (trouble.empty() ? "" : " — " + trouble);
}

/// The run so far; perHour < 0: the run's last line, without the rate.
inline std::string Tally(std::int64_t passed, std::int64_t failed, std::int64_t perHour) {
  return "годных " + std::to_string(passed) + ", брак " + std::to_string(failed) +
         (perHour < 0 ? "" : ", " + std::to_string(perHour) + " шт/ч");
}

/// report: a job whose record does not exist yet.
inline std::string RecordMissing(const std::string& file) {
  return "Ошибка: журнала " + file + " нет — задание ещё не запускалось";
}
inline std::string CsvWritten(const std::string& file) { return "CSV записан: " + file; }

}  // namespace pw::texts
