#include "cli/CliOptions.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "app/SpeedList.h"
#include "cli/CliTexts.h"
#include "cli/NameMatch.h"

#ifndef PINWRIGHT_VERSION
#error "PINWRIGHT_VERSION comes from the project version in CMakeLists.txt"
#endif

namespace pw::cli {

namespace {

constexpr const char* kUsage =
    R"(pinwright-cli [КЛЮЧИ] СТРАНИЦА [ТИП] ОПЕРАЦИЯ [АРГУМЕНТЫ] [ОПЕРАЦИЯ ...]
  avr identify | read-fuses | erase | reset
      | read-flash ФАЙЛ | write-flash ФАЙЛ
      | read-eeprom ФАЙЛ | write-eeprom ФАЙЛ
      | write-fuses LOW HIGH EXT LOCK  (байты в hex; спрашивает, если нет
                                       --yes; опасные фьюзы: ещё и --force)
      | verify-flash ФАЙЛ | verify-eeprom ФАЙЛ | blank-check
  pic ТИП read-config | write-config КОНФИГ | erase
      | read-dump ФАЙЛ | write-dump ФАЙЛ | write-flash ФАЙЛ | write-eeprom ФАЙЛ
      | verify ФАЙЛ     (КОНФИГ: XXXX, XXXX,XXXX или 14 байтов PIC18 XX,...)
  i2c ТИП read ФАЙЛ | write ФАЙЛ | erase | verify ФАЙЛ
  i2c scan                          (адреса устройств, которые отвечают на шине)
  settings read | write CBUS ТОК USB КВАРЦ | defaults
  spi identify | read ФАЙЛ | write ФАЙЛ | erase | verify ФАЙЛ
                                    (erase спрашивает, если нет --yes)
pinwright-cli [КЛЮЧИ] produce ЗАДАНИЕ [--count N]
      производство по файлу задания: микросхема за микросхемой ждёт её
      ("вставьте микросхему"), даёт ей следующий серийный номер и строку в
      журнале задания, прошивает с этим номером, печатает "годна" или "брак" со
      счётом и ждёт, пока её вынут; Ctrl-C останавливает после текущей
      микросхемы.
      --count N: остановиться после N годных микросхем
pinwright-cli report ЗАДАНИЕ [--csv ФАЙЛ]
      итоги журнала задания; --csv ФАЙЛ ещё и записывает его строки в ФАЙЛ
pinwright-cli list avr|pic|i2c|spi [ТЕКСТ]
      типы из chips.ini, PIC.ini, I2C_E.ini или SpiFlash.ini, по одному в
      строке: имя, объёмы, сигнатура / ID устройства / JEDEC ID; ТЕКСТ оставляет
      те, в имени которых он есть (в любом регистре); если показать нечего:
      строка в стандартный поток ошибок и статус 1
pinwright-cli selftest
      проверяет сам программатор, с микросхемой на разъёмах или без, ничего не
      меняя: его EEPROM (контрольная сумма, VID и PID, описание, серийный номер)
      и каждую линию данных в низком и высоком уровне; печатает таблицу
      найденного; статус 0 всё в порядке, 2 найдена неисправность, 1
      программатор не открывается

Несколько операций одной страницы выполняются за один запуск в заданном порядке:
сначала загружаются все файлы и делаются все проверки, которым не нужна
микросхема, потом открывается программатор, микросхема определяется один раз,
задаются все вопросы и выполняются операции; первая неудачная завершает запуск.
Каждая операция берёт показанные аргументы, так что следующее за ними слово
называет следующую операцию, например
  pinwright-cli avr write-flash fw.hex write-eeprom data.hex \
      write-fuses E2 D9 FF FF
  pinwright-cli --erase avr write-flash fw.hex verify-eeprom data.hex

  --simulator[=СТЕНД]  работать на виртуальном программаторе (без СТЕНДА —
                       на встроенном стенде)
  --trace ФАЙЛ         с --simulator: записать в ФАЙЛ уровни линий каждого
                       отсчёта
  --device НОМЕР       взять настоящий программатор с этим серийным номером
                       (если их несколько)
  --baud N             скорость этого запуска вместо восьмой строки speed.txt
                       (300..3000000)
  --baud auto          самая быстрая скорость, которую выдерживают чип и USB
  --clear-log          принимается ради старых сценариев: журнал печатается весь
  --yes                отвечать "да" на вопросы операции
  --force              вместе с --yes: прошивать и фьюзы, которые могут закрыть
                       чип для программатора, и работать с PIC, чей ID
                       устройства не совпадает с типом
  --erase              avr, с write-flash: сначала стереть чип
  --count N            produce: остановиться после N годных микросхем
  --csv ФАЙЛ           report: ещё и записать строки задания в ФАЙЛ как CSV
  --format hex|bin|elf формат всех файлов команды, что бы ни говорило их имя
  -v, --verbose        печатать и размер каждого обмена с программатором
  -q, --quiet          печатать только ошибки и итог
  -V, --version        напечатать версию
  -h, --help           напечатать эту справку

Ключи можно ставить в любом месте строки; после -- все слова относятся
к команде. Имена страниц, операций и типов — в любом регистре.
Без --simulator работает настоящий программатор FT232R (libftdi1);
PINWRIGHT_FTDI_LOCKSTEP=1 заставляет его обмениваться по 128 отсчётов, а не
потоком. ФАЙЛ .bin, .rom, .img, .raw (в любом регистре) — двоичный образ;
.elf — файл ELF от avr-gcc (avr: флеш из .text и .data, EEPROM из .eeprom);
прочие — Intel HEX. ФАЙЛ "-" — стандартный ввод или вывод, в формате HEX, если
нет --format; журнал тогда идёт в стандартный поток ошибок. Файл с именем "-"
задаётся как ./-
Строки журнала идут в стандартный вывод, сообщения об ошибках и различия при
проверке — в стандартный поток ошибок, туда же на терминале — строка хода
каждого шага.
Статус: 0 успех, 1 сообщение об ошибке, 2 неудача с микросхемой (различие при
проверке, нет ответа), 64 ошибка в командной строке, 130 остановлено Ctrl-C
между страницами (143 — SIGTERM, 129 — SIGHUP).
produce: 0 после --count годных микросхем или после остановки между
микросхемами без --count; 128 + номер сигнала при остановке раньше, чем прошли
--count микросхем; 1, когда задание, файл, журнал или программатор не годятся.
Бракованные микросхемы записаны в журнал, а не в статус.
)";

}  // namespace

const char* CliUsage() { return kUsage; }

std::string CliVersion() { return std::string("pinwright-cli ") + PINWRIGHT_VERSION; }

std::int32_t ParseBaudNumber(const std::string& text) {
  const bool digits = !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
  const long value = digits ? std::stol(text) : -1;
  if (value < kLowestBaud || value > kHighestBaud) {
    throw std::invalid_argument(texts::NumberRange("--baud", texts::kBaudAutoOr, kLowestBaud, kHighestBaud, text));
  }
  return static_cast<std::int32_t>(value);
}

namespace {

/// The value of option name: the rest of "--name=value", else the next argument.
std::string OptionValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                        const char* what) {
  const std::string& a = args[i];
  std::string value;
  if (a.size() > name.size()) {
    value = a.substr(name.size() + 1);
  } else if (i + 1 < args.size()) {
    value = args[++i];
  }
  if (value.empty()) throw std::invalid_argument(texts::NeedsValue(name, what));
  return value;
}

/// Whether a is option name, alone or as "name=value".
bool Is(const std::string& a, const std::string& name) {
  return a.rfind(name, 0) == 0 && (a.size() == name.size() || a[name.size()] == '=');
}

/// The options that only switch something on.
constexpr std::pair<const char*, bool CliOptions::*> kFlags[] = {
    {"--help", &CliOptions::Help},
    {"-h", &CliOptions::Help},
    {"--version", &CliOptions::Version},
    {"-V", &CliOptions::Version},
    {"--verbose", &CliOptions::Verbose},
    {"-v", &CliOptions::Verbose},
    {"--quiet", &CliOptions::Quiet},
    {"-q", &CliOptions::Quiet},
    {"--simulator", &CliOptions::Simulator},
    {"--clear-log", &CliOptions::ClearLog},
    {"--yes", &CliOptions::Yes},
    {"--force", &CliOptions::Force},
    {"--erase", &CliOptions::Erase},
};

/// The options that take a value.
constexpr const char* kValueOptions[] = {"--trace", "--device", "--count", "--csv", "--format", "--baud"};

/// Every long option's name: what a misspelt one is matched against.
std::vector<std::string> OptionNames() {
  std::vector<std::string> names;
  for (const auto& [name, flag] : kFlags) {
    if (std::string(name).rfind("--", 0) == 0) names.push_back(name);
  }
  names.insert(names.end(), std::begin(kValueOptions), std::end(kValueOptions));
  return names;
}

/// The one-letter options: a single dash starts no other option, so "-odd-name.hex" is a file name.
bool ShortOption(const std::string& a) {
  return a.size() == 2 &&
         std::any_of(std::begin(kFlags), std::end(kFlags), [&a](const auto& f) { return a == f.first; });
}

/// --count's value: a whole number of chips, at least one.
std::int64_t ParseCount(const std::string& text) {
  const bool digits = text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || std::stol(text) < 1)
    throw std::invalid_argument(texts::NumberRange("--count", "", 1, 999999999, text));
  return std::stol(text);
}

/// --format's value: hex, bin or elf, in any case.
FileFormat ParseFormat(const std::string& text) {
  constexpr std::pair<const char*, FileFormat> kFormats[] = {
      {"hex", FileFormat::Hex}, {"bin", FileFormat::Binary}, {"elf", FileFormat::Elf}};
  for (const auto& [name, format] : kFormats) {
    if (SameName(text, name)) return format;
  }
  throw std::invalid_argument(texts::FormatValue(text));
}

void ParseOption(const std::vector<std::string>& args, std::size_t& i, CliOptions& o) {
  const std::string& a = args[i];
  for (const auto& [name, flag] : kFlags) {
    if (a == name) return void(o.*flag = true);
  }
  if (a.rfind("--simulator=", 0) == 0) {
    o.Simulator = true;
    o.Bench = a.substr(12);
    if (o.Bench->empty()) throw std::invalid_argument(texts::kSimulatorNeedsBench);
  } else if (Is(a, "--trace")) {
    o.Trace = OptionValue(args, i, "--trace", texts::kValueFile);
  } else if (Is(a, "--device")) {
    o.Device = OptionValue(args, i, "--device", texts::kValueSerial);
  } else if (Is(a, "--count")) {
    o.Count = ParseCount(OptionValue(args, i, "--count", texts::kValueCount));
  } else if (Is(a, "--csv")) {
    o.Csv = OptionValue(args, i, "--csv", texts::kValueFile);
  } else if (Is(a, "--format")) {
    o.Format = ParseFormat(OptionValue(args, i, "--format", texts::kValueFormat));
  } else if (Is(a, "--baud")) {
    o.Baud = OptionValue(args, i, "--baud", texts::kValueBaud);
    if (*o.Baud != kBaudAuto) ParseBaudNumber(*o.Baud);
  } else {
    throw std::invalid_argument(UnknownName(texts::kOptionNoun, a.substr(0, a.find('=')), OptionNames()));
  }
}

}  // namespace

CliOptions ParseCliOptions(const std::vector<std::string>& args) {
  CliOptions o;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool option = !optionsEnded && (a.rfind("--", 0) == 0 || ShortOption(a));
    if (option && a == "--") {
      optionsEnded = true;
    } else if (option) {
      ParseOption(args, i, o);
    } else {
      o.Words.push_back(a);
    }
  }
  if (!o.Device.empty() && o.Simulator) throw std::invalid_argument(texts::kDeviceWithSimulator);
  if (o.Trace && !o.Simulator) throw std::invalid_argument(texts::kTraceWithoutSimulator);
  if (o.Verbose && o.Quiet) throw std::invalid_argument(texts::kVerboseAndQuiet);
  return o;
}

}  // namespace pw::cli
