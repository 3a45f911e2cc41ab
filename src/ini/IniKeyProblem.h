#pragma once
/// @file
/// The one form in which a description file's unusable value is refused: file, section, key,
/// the value as written and what the key needs.

#include <string>

namespace pw {

/// "Ошибка в файле FILE: [SECTION] KEY=VALUE (NEED)".
inline std::string IniKeyProblem(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& value, const std::string& need) {
  return "Ошибка в файле " + file + ": [" + section + "] " + key + "=" + value + " (" + need + ")";
}

}  // namespace pw
