#include "app/SpeedList.h"

#include <charconv>
#include <sstream>

#include "common/Error.h"
#include "common/RegularFile.h"

namespace pw {

std::filesystem::path FindSpeedFile(const FormPaths& paths) {
  const auto here = paths.WorkingDir / kSpeedFileName;
  std::error_code ec;
  if (std::filesystem::exists(here, ec)) return here;
  // An installed program finds its copy in the installed data folder.
  for (const auto& dir : {paths.ProgramDir, paths.DataDir}) {
    if (!dir.empty() && std::filesystem::exists(dir / kSpeedFileName, ec)) return dir / kSpeedFileName;
  }
  return here;
}

std::vector<std::string> ReadSpeedList(const FormPaths& paths) {
  const auto path = FindSpeedFile(paths);
  std::error_code ec;
  // Only a name that is not there at all is "не найден"; a FIFO, a folder, a device or a huge
  // file is refused by the reader, naming the file, before anything waits or fills memory.
  if (!std::filesystem::exists(path, ec)) {
    throw PinwrightError(std::string("Ошибка! Файл ") + kSpeedFileName + " не найден!");
  }
  std::istringstream file(ReadRegularFile(path, kSpeedFileLimit));
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::int32_t ParseBaud(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t");
  std::size_t last = text.find_last_not_of(" \t");
  std::int32_t value = 0;
  if (first != std::string::npos) {
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') ++begin;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec == std::errc{} && ptr == end) return value;
  }
  throw PinwrightError(std::string("Ошибка! Строка \"") + text + "\" файла " + kSpeedFileName + " не является числом!");
}

}  // namespace pw

namespace pw {

void CheckBaud(std::int32_t baud) {
  if (baud >= kLowestBaud && baud <= kHighestBaud) return;
  throw PinwrightError("Ошибка! Скорость " + std::to_string(baud) + " в восьмой строке файла " + kSpeedFileName +
                       " вне пределов " + std::to_string(kLowestBaud) + ".." + std::to_string(kHighestBaud) + " бод!");
}

std::int32_t SpeedListBaud(const std::vector<std::string>& lines) {
  if (lines.size() <= static_cast<std::size_t>(kBaudEntry)) {
    throw PinwrightError(std::string("Ошибка! В файле ") + kSpeedFileName + " меньше восьми строк!");
  }
  const std::int32_t baud = ParseBaud(lines[kBaudEntry]);
  CheckBaud(baud);
  return baud;
}

}  // namespace pw
