#include "hexfile/HexTexts.h"

#include "common/HexDigits.h"

namespace pw::texts {

std::string HexBadDigit(long line, std::size_t position) {
  return "Ошибка! Строка " + std::to_string(line) + ", позиция " + std::to_string(position) +
         ": не шестнадцатеричная цифра!";
}

std::string HexOutsideImage(long line, std::uint32_t address) {
  return "Ошибка! Строка " + std::to_string(line) + ": данные по адресу 0x" + HexDigits(address, 8) +
         " выходят за пределы памяти!";
}

std::string HexNoData(const std::string& file) {
  return "Ошибка! В файле " + file + " нет данных в формате HEX; файл не загружен";
}

std::string HexBadChecksums(long line, long count) {
  return "Внимание! Неверная контрольная сумма в строке " + std::to_string(line) +
         " (всего таких строк: " + std::to_string(count) + "); данные этих строк загружены";
}

std::string HexReadFailed(const std::string& file, const std::string& why) {
  return "Ошибка! Не удалось прочитать файл " + file + ": " + why;
}

}  // namespace pw::texts
