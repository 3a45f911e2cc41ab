#pragma once
/// @file
/// Texts of production runs: the job file's refusals, the run's lines.

#include <cstdint>
#include <cstdio>
#include <string>

namespace pw::texts {

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
