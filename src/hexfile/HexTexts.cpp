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

std::string HexReadFailed(const std::string& file, const std::string& why) {
  return "Ошибка! Не удалось прочитать файл " + file + ": " + why;
}

}  // namespace pw::texts
