#pragma once
/// @file
/// Texts of production runs: the record's failures and the summary `report` prints.

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

}  // namespace pw::texts
