#pragma once
/// @file
/// What pinwright-cli says about its own command line: usage mistakes, the pointer to --help and
/// the exchange lines of --verbose. Each text is here once; the usage text is in CliOptions.cpp.

#include <cstdint>
#include <string>

namespace pw::texts {

/// The one line after a usage mistake instead of the whole help.
inline constexpr const char* kSeeHelp = "Подробнее: pinwright-cli --help";

/// "нет страницы avrr" (what in the genitive: "страницы", "операции", "типа", ...).
inline std::string NoSuch(const std::string& what, const std::string& word) { return "нет " + what + " " + word; }
inline constexpr const char* kDidYouMean = "; может быть, ";
inline constexpr const char* kKnown = "; известны: ";
inline constexpr const char* kNoneKnown = " (не известно ни одного)";

/// What UnknownName is told it looks for, in the genitive.
inline constexpr const char* kPageNoun = "страницы";
inline constexpr const char* kOperationNoun = "операции";
inline constexpr const char* kTypeNoun = "типа";
inline constexpr const char* kFamilyNoun = "семейства";
inline constexpr const char* kOptionNoun = "ключа";
inline constexpr const char* kCbusNoun = "функции CBUS";
inline constexpr const char* kUsbNoun = "версии USB";

/// Usage mistakes in the command words.
inline constexpr const char* kNoCommand = "не задана команда";
inline std::string NeedsOperation(const std::string& shape) { return shape + ": не задана операция"; }
inline std::string ArgumentCount(const std::string& operation, std::size_t wanted, std::size_t given) {
  return operation + ": аргументов нужно " + std::to_string(wanted) + ", а задано " + std::to_string(given);
}
inline std::string ArgumentsTaken(const std::string& operation, std::size_t wanted) {
  return operation + " берёт аргументов: " + std::to_string(wanted);
}
inline std::string NeedsType(const std::string& page, const std::string& operation) {
  return page + " " + operation + ": нужен ТИП (" + page + " ТИП " + operation + ")";
}
inline std::string EraseOnlyWith(const std::string& operations) { return "--erase только вместе с " + operations; }
inline std::string NotHex(const std::string& noun, const std::string& text) {
  return "ожидается шестнадцатеричный " + noun + ", а не " + text;
}
inline constexpr const char* kHexByte = "байт";
inline constexpr const char* kHexWord = "байт или слово";
inline std::string ConfigCount(std::size_t wanted, const std::string& pattern, std::size_t given) {
  return "write-config для этого типа: значений нужно " + std::to_string(wanted) + " (" + pattern + "), а задано " +
         std::to_string(given);
}
inline std::string ClockValue(const std::string& clock) {
  return "КВАРЦ: 0 (внутренний генератор) или 1 (внешний кварц), а не " + clock;
}
inline std::string NeedsJob(const std::string& command) {
  return command + ": нужен один файл задания (" + command + " ЗАДАНИЕ)";
}
inline std::string SelftestTakesNothing(const std::string& word) {
  return "selftest не берёт аргументов, а задано " + word;
}
inline constexpr const char* kListShape = "list: нужно семейство (avr, pic, i2c, spi) и, если надо, ТЕКСТ";

/// Usage mistakes in the options.
inline std::string NeedsValue(const std::string& option, const std::string& what) {
  return option + ": не задан" + what;
}
inline constexpr const char* kValueFile = " файл";
inline constexpr const char* kValueSerial = " серийный номер";
inline constexpr const char* kValueCount = "о число микросхем";
inline constexpr const char* kValueBaud = "о значение";
inline constexpr const char* kValueFormat = " формат (hex, bin или elf)";
inline std::string FormatValue(const std::string& text) { return "--format: нужно hex, bin или elf, а не " + text; }
inline std::string NumberRange(const std::string& option, const std::string& lowest, std::int64_t from, std::int64_t to,
                               const std::string& text) {
  return option + ": нужно " + lowest + "число от " + std::to_string(from) + " до " + std::to_string(to) + ", а не " +
         text;
}
inline constexpr const char* kBaudAutoOr = "auto или ";
inline constexpr const char* kSimulatorNeedsBench = "--simulator=: не задан файл стенда";
inline constexpr const char* kDeviceWithSimulator = "--device только без --simulator";
inline constexpr const char* kTraceWithoutSimulator = "--trace только вместе с --simulator";
inline constexpr const char* kVerboseAndQuiet = "--verbose и --quiet вместе не задаются";

/// --verbose: one line per exchange with the programmer.
inline std::string ExchangeWrote(std::uint32_t bytes) { return "обмен: записано " + std::to_string(bytes) + " байт"; }
inline std::string ExchangeRead(std::uint32_t bytes) { return "обмен: прочитано " + std::to_string(bytes) + " байт"; }

}  // namespace pw::texts
