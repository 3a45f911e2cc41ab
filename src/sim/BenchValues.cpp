#include "sim/BenchValues.h"

#include <charconv>
#include <sstream>

#include "common/Error.h"

namespace pw::sim {

void BadBench(const std::string& what) { throw PinwrightError("Ошибка в файле стенда: " + what); }

void BadBenchSetting(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& expected) {
  BadBench("[" + section + "] " + key + "=" + value + " (нужно " + expected + ")");
}

std::uint64_t BenchNumber(const std::string& text, const std::string& where, std::uint64_t most) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) BadBench(where + ": " + text);
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || value > most) {
    BadBench(where + "=" + text + " (число вне пределов 0.." + std::to_string(most) + ")");
  }
  return value;
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, separator)) {
    const auto first = part.find_first_not_of(" \t");
    if (first != std::string::npos) parts.push_back(part.substr(first, part.find_last_not_of(" \t") - first + 1));
  }
  return parts;
}

}  // namespace pw::sim
