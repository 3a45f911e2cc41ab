#pragma once
/// @file
/// The FT232R settings the "Настройки" page shows and programs: the CBUS4 function names, the
/// USB version text, the current typed by a person, the default settings, and the checks that
/// keep a record from making the programmer unusable.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "d2xx/FtProgramData.h"

namespace pw {

/// The CBUS4 function stored when a typed name is none of the known ones (the clock output off).
inline constexpr std::uint8_t kCbusClockOff = 10;
/// The largest current a USB configuration can ask for, in mA.
inline constexpr std::uint16_t kMaxUsbCurrent = 500;

/// The clock sources, as the page lists them: index 0 the internal oscillator, 1 an external crystal.
inline constexpr std::array<const char*, 2> kClockNames = {"внутренний генератор", "внешний кварц"};
/// The index in kClockNames of the external crystal.
inline constexpr int kCrystalClock = 1;
/// The USB versions a record can be programmed with, as typed: "2.0" is 0x0200, "1.1" 0x0110.
inline constexpr std::array<const char*, 2> kUsbVersionTexts = {"2.0", "1.1"};

/// What the page's four controls show of a record.
struct FtSettingsView {
  std::string Cbus;
  std::string Current;
  std::string Usb;
  /// The index in kClockNames.
  int Clock = 0;
};
/// What a person asks to program: the texts typed into the three editable lists and the clock index.
using FtSettingsChoice = FtSettingsView;

/// The name of a CBUS4 function value, "неизвестная функция" above 12.
std::string CbusName(std::uint8_t value);
/// The names of the CBUS4 functions, in the order of their values.
std::vector<std::string> CbusNames();
/// The value of a CBUS4 function name, compared exactly; kCbusClockOff for any other text.
std::uint8_t CbusValue(const std::string& name);

/// The version text of USBVersion: first hex digit, a point, second hex digit (0x0200 -> "2.0").
std::string UsbVersionText(std::uint16_t version);
/// 0x0200 for exactly "2.0", 0x0110 for any other text.
std::uint16_t UsbVersionValue(const std::string& text);

/// A typed current as an integer, whole (a 16-bit record would wrap 65586 to 50); raises
/// PinwrightError when it is not a decimal 32-bit integer.
std::int32_t CurrentValue(const std::string& text);
/// Why a current must not be programmed (below 0, or above the 500 mA a USB configuration can
/// ask for), or nothing when it may.
std::optional<std::string> CurrentRefusal(std::int32_t current);

/// The controls' view of data.
FtSettingsView ViewOf(const FT_PROGRAM_DATA& data);
/// Puts choice into data's six fields that a person sets (high drive on, pull-downs off);
/// raises PinwrightError when the current is not a decimal integer or CurrentRefusal refuses it.
void ApplyChoice(const FtSettingsChoice& choice, FT_PROGRAM_DATA& data);

/// Sets the six fields of the default settings: CBUS4 "CLK OFF", 50 mA, USB 2.0, high drive,
/// no pull-downs, internal oscillator.
void ApplyDefaultSettings(FT_PROGRAM_DATA& data);

/// Why the record must not be programmed, or nothing when it may: a vendor or product of 0
/// would make the programmer vanish from the bus, and a current above 500 mA does not fit a
/// USB configuration.
std::optional<std::string> UnsafeSettings(const FT_PROGRAM_DATA& data);

namespace texts {
inline constexpr const char* kSettingsNotRead = "Ошибка: настройки не считаны с программатора, прошивка отменена";
inline constexpr const char* kProgrammerBusy = "Ошибка: программатор занят другой операцией, настройки не прошиты";
inline constexpr const char* kSettingsWritten = "настройки прошиты";
inline constexpr const char* kDefaultsWritten = "настройки прошиты по умолчанию";
inline constexpr const char* kCrystalTitle = "Внешний кварц";
inline constexpr const char* kCrystalQuestion =
    "С настройкой \"внешний кварц\" FT232R работает только от кварца 12 МГц на плате. Если кварца нет, "
    "после переподключения программатор не запустится и пропадёт с шины USB, и вернуть настройки этой "
    "программой будет нельзя. Прошить?";
inline constexpr const char* kEepromChecksumBad =
    "Ошибка: контрольная сумма EEPROM программатора не сходится: настройки повреждены (прошивка могла "
    "быть прервана), значения выше могут быть смесью старых и новых. Восстановите их: \"Прошить по "
    "умолчанию\" (pinwright-cli settings defaults)";
inline constexpr const char* kEepromHalfWritten =
    "Внимание! Прошивка настроек прервана: EEPROM программатора мог остаться записанным частично. "
    "Переподключите программатор и восстановите настройки: \"Прошить по умолчанию\" (pinwright-cli "
    "settings defaults)";
/// Followed by the word's index and what it holds instead of what was written.
inline constexpr const char* kSettingsReadBackDiffers =
    "Ошибка: после прошивки EEPROM программатора хранит не то, что записано: слово ";
inline constexpr const char* kProgrammedNotClosed = "Настройки прошиты; но программатор закрыть не удалось";
}  // namespace texts

}  // namespace pw
