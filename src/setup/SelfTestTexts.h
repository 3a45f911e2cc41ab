#pragma once
/// @file
/// The self-test's texts: its table's rows and verdicts.

#include <array>

namespace pw::texts {

inline constexpr const char* kSelfTestStart = "Самопроверка программатора";
inline constexpr const char* kSelfTestPassed = "Самопроверка программатора: неисправностей нет";
inline constexpr const char* kSelfTestFailed = "Самопроверка программатора: найдены неисправности";
inline constexpr const char* kSelfTestEepromIntact = "EEPROM программатора: прочитан, контрольная сумма верна";
inline constexpr const char* kSelfTestEepromDamaged = "EEPROM программатора: прочитан, контрольная сумма не сходится";
/// Followed by vendor:product in hex.
inline constexpr const char* kSelfTestIds = "VID:PID: ";
inline constexpr const char* kSelfTestDescription = "Описание: ";
/// Follows a description the program does not look for, then that description in quotes.
inline constexpr const char* kSelfTestOtherDescription = " (внимание: программа ищет ";
inline constexpr const char* kSelfTestSerial = "Серийный номер: ";
/// Each data line as the table names it: its number and what it carries on the headers.
inline constexpr std::array<const char*, 8> kSelfTestLines = {
    "D0 (питание PIC)", "D1 (←PGD/SDA)", "D2 (питание PIC)", "D3 (MOSI/PGD→/SDA→)",
    "D4 (MCLR)",        "D5 (SCK)",      "D6 (RESET)",       "D7 (MISO/PGC/SCL)"};
inline constexpr const char* kLineWell = "исправна";
inline constexpr const char* kLineStuckLow = "залипла в 0";
inline constexpr const char* kLineStuckHigh = "залипла в 1";
/// Followed by the lines it is shorted to ("D5", "D3, D5").
inline constexpr const char* kLineShorted = "замкнута с ";

}  // namespace pw::texts
