#pragma once
/// @file
/// The hints the window shows as tooltips, by control name: every button and input of the
/// window carries one, listed here and nowhere else.

#include <string_view>

namespace pw::gui {

struct ControlHint {
  /// The control's name; a name followed by digits only (AvrFuse1 .. AvrFuse24) takes the
  /// hint of the name without them, so a row of boxes shares one.
  std::string_view Control;
  std::string_view Text;
};

inline constexpr ControlHint kControlHints[] = {
    // Shared by every page.
    {"CheckBox1", "Очищать лог перед операциями страниц AVR и «Настройки»"},
    {"DopInfo", "Сигнатура чипа AVR, найденного последней операцией"},
    {"BoudRate", "Скорость обмена с программатором; «авто» подбирает самую быструю, на которой чип отвечает"},
    {"StopButton", "Остановить идущую операцию между страницами (то же делает Esc)"},
    {"Log", "Журнал операций"},
    // AVR.
    {"AvrRdSign", "Прочитать сигнатуру и фьюзы, определить чип по chips.ini"},
    {"AvrChipRst", "Подержать RESET в нуле и отпустить: чип перезапустится"},
    {"AvrErase", "Стереть флеш, EEPROM и биты защиты чипа"},
    {"AvrLoadFls", "Открыть файл с прошивкой с диска на компьютере"},
    {"AvrWriteFls", "Записать открытый файл во флеш чипа и сверить"},
    {"AvrReadFls", "Прочитать всю флеш чипа в файл"},
    {"AvrVerifyFls", "Сравнить флеш чипа с открытым файлом, ничего не записывая"},
    {"AvrBlankCheck", "Проверить, что вся флеш чипа стёрта (FF)"},
    {"AvrLoadEep", "Открыть файл с данными EEPROM"},
    {"AvrWriteEep", "Записать открытый файл в EEPROM чипа и сверить"},
    {"AvrReadEep", "Прочитать всю EEPROM чипа в файл"},
    {"AvrVerifyEep", "Сравнить EEPROM чипа с открытым файлом, ничего не записывая"},
    {"AvrFuse", "Бит фьюза: галочка — 1, пусто — 0; записывается кнопкой «Прошить фъюзы»"},
    {"AvrLock1", "Защита загрузочной области (BLB0)"},
    {"AvrLock2", "Защита загрузочной области (BLB1)"},
    {"AvrLock3", "Защита флеш и EEPROM от чтения и записи (LB)"},
    {"AvrReadFuses", "Прочитать фьюзы и биты защиты чипа"},
    {"AvrWriteFuses", "Записать отмеченные фьюзы и биты защиты в чип"},
    // PIC.
    {"PicType", "Тип PIC из PIC.ini"},
    {"PicFile", "Открыть HEX-файл для записи в PIC"},
    {"PicReadDump", "Прочитать память программ, конфигурацию и EEPROM в файл"},
    {"PicEraseAll", "Стереть чип, сохранив калибровочное слово"},
    {"PicWriteDump", "Записать память программ, EEPROM и конфигурацию из открытого файла"},
    {"PicVerify", "Сравнить чип с открытым файлом и конфигурацией, ничего не записывая"},
    {"PicReadFls", "Чтение одной памяти программ: используйте «Cчитать дамп»"},
    {"PicWriteFls", "Записать только память программ из открытого файла"},
    {"PicReadEep", "Чтение одной EEPROM: используйте «Cчитать дамп»"},
    {"PicWriteEep", "Записать только EEPROM из открытого файла"},
    {"PicID", "Слова ID из файла или из чипа"},
    {"PicDop", "Дополнительные сведения о чипе"},
    {"Edit1", "Дополнительные сведения о чипе"},
    {"PicFuse", "Бит конфигурации: галочка — 1; записывается кнопкой «Прошить фъюзы»"},
    {"PicFuseGroup", "Какие байты конфигурации показывают галочки"},
    {"PicReadFuse", "Прочитать конфигурацию чипа"},
    {"PicWriteFuse", "Записать отмеченную конфигурацию и слова ID в чип"},
    // I2C EEPROM.
    {"I2eEepromType", "Тип EEPROM из I2C_E.ini"},
    {"I2cEepromFile", "Открыть HEX- или BIN-файл для записи в EEPROM"},
    {"I2cEepromRead", "Прочитать всю EEPROM в файл"},
    {"I2cEepromWrite", "Записать открытый файл в EEPROM и сверить"},
    {"I2cEepromErase", "Заполнить EEPROM байтами FF и проверить"},
    {"I2cEepromVerify", "Сравнить EEPROM с открытым файлом, ничего не записывая"},
    // SPI flash.
    {"SpiFlashType", "Тип микросхемы; определяется по её JEDEC ID при каждой операции"},
    {"SpiFlashFile", "Открыть HEX- или BIN-файл для записи во флеш"},
    {"SpiFlashRead", "Прочитать всю микросхему в файл"},
    {"SpiFlashWrite", "Записать открытый файл, стирая только изменённые секторы, и сверить"},
    {"SpiFlashErase", "Стереть всю микросхему"},
    {"SpiFlashVerifyButton", "Сравнить микросхему с открытым файлом, ничего не записывая"},
    // Settings of the programmer's FT232R.
    {"SetupCbus", "Что выдаёт вывод CBUS4"},
    {"SetupLed1", "Когда горит красный светодиод"},
    {"SetupLed2", "Когда горит зелёный светодиод"},
    {"SetupCurrent", "Наибольший ток, который программатор берёт от USB"},
    {"UsbVer", "Версия USB, которую сообщает программатор"},
    {"SetupClock", "Внутренний генератор FT232R или внешний кварц"},
    {"SetupRead", "Прочитать настройки из EEPROM программатора"},
    {"SetupDefoult", "Записать в программатор настройки по умолчанию"},
    {"SetupWrite", "Записать в программатор выбранные настройки"},
};

/// The hint of the control named name, or empty.
constexpr std::string_view HintFor(std::string_view name) {
  for (const ControlHint& hint : kControlHints) {
    if (!name.starts_with(hint.Control)) continue;
    const std::string_view rest = name.substr(hint.Control.size());
    if (rest.find_first_not_of("0123456789") == std::string_view::npos) return hint.Text;
  }
  return {};
}

}  // namespace pw::gui
