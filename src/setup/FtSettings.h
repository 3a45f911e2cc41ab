#pragma once
/// @file
/// The FT232R settings the "Настройки" page shows and programs: the CBUS4 function names, the
/// USB version text, the current typed by a person, the default settings, and the checks that
/// keep a record from making the programmer unusable.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "d2xx/FtProgramData.h"

namespace pw {

/// The CBUS4 function stored when a typed name is none of the known ones (the clock output off).
inline constexpr std::uint8_t kCbusClockOff = 10;
/// The largest current a USB configuration can ask for, in mA.
inline constexpr std::uint16_t kMaxUsbCurrent = 500;

/// The clock sources, as the page lists them: index 0 the internal oscillator, 1 an external crystal.
inline constexpr std::array<const char*, 2> kClockNames = {"внутренний генератор", "внешний кварц"};

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
/// The value of a CBUS4 function name, compared exactly; kCbusClockOff for any other text.
std::uint8_t CbusValue(const std::string& name);

/// The version text of USBVersion: first hex digit, a point, second hex digit (0x0200 -> "2.0").
std::string UsbVersionText(std::uint16_t version);
/// 0x0200 for exactly "2.0", 0x0110 for any other text.
std::uint16_t UsbVersionValue(const std::string& text);

/// A typed current as an integer (low 16 bits kept); raises PinwrightError when it is not a
/// decimal integer.
std::uint16_t CurrentValue(const std::string& text);

/// The controls' view of data.
FtSettingsView ViewOf(const FT_PROGRAM_DATA& data);
/// Puts choice into data's six fields that a person sets (high drive on, pull-downs off);
/// raises PinwrightError when the current is not a decimal integer.
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
}  // namespace texts

}  // namespace pw
