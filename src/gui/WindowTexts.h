#pragma once
/// @file
/// Texts of the window program itself: its title on the virtual programmer and what its
/// command line prints.

namespace pw::texts {

/// Added to the window's title when it runs on the virtual programmer.
inline constexpr const char* kVirtualTitle = " — виртуальный программатор";

/// What `pinwright --help` prints.
inline constexpr const char* kWindowHelp =
    "Использование: pinwright [--simulator[=СТЕНД]] [--device НОМЕР]\n"
    "Окно программатора Pinwright (AVR, PIC, EEPROM I2C, SPI Flash, настройки FT232R).\n"
    "\n"
    "  --simulator          работать с виртуальным программатором встроенного стенда\n"
    "  --simulator=СТЕНД    работать с виртуальным программатором стенда из файла\n"
    "  --device НОМЕР       программатор с этим серийным номером\n"
    "  -h, --help           показать эту справку и выйти\n"
    "  -V, --version        показать версию и выйти\n"
    "\n"
    "Без параметров окно работает с подключённым программатором.\n"
    "Командная строка: pinwright-cli --help\n";

/// The start of every line about a command line that cannot be used; the status is 2.
inline constexpr const char* kWindowUsagePrefix = "pinwright: ";
inline constexpr const char* kWindowUsageHint = "; справка: pinwright --help";
inline constexpr const char* kUnknownOption = "неизвестный параметр ";
inline constexpr const char* kDeviceWithoutSerial = "после --device нужен серийный номер программатора";

}  // namespace pw::texts
