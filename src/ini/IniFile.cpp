#include "ini/IniFile.h"

#include <cctype>
#include <exception>
#include <sstream>

#include "common/RegularFile.h"

namespace pw {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::string_view Unquote(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    return s.substr(1, s.size() - 2);
  }
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::int64_t ProfileInteger(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{1} << 40;  // keeps absurd inputs from overflowing
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    for (char c : text.substr(2)) {
      const int d = HexDigit(c);
      if (d < 0 || value > kLimit) break;
      value = value * 16 + d;
    }
  } else {
    for (char c : text) {
      if (c < '0' || c > '9' || value > kLimit) break;
      value = value * 10 + (c - '0');
    }
  }
  return negative ? -value : value;
}

IniFile IniFile::Parse(std::string_view text, Options options) {
  IniFile ini;
  ini.exists_ = true;
  std::istringstream in{std::string(text)};
  std::string raw;
  while (std::getline(in, raw)) {
    std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const auto close = line.find(']');
      ini.sections_.push_back(
          {std::string(Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1))),
           {}});
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || ini.sections_.empty()) continue;
    std::string_view value = line.substr(eq + 1);
    if (options.StripInlineComments) value = value.substr(0, value.find(';'));
    ini.sections_.back().Entries.push_back({std::string(Trim(line.substr(0, eq))), std::string(Unquote(Trim(value)))});
  }
  return ini;
}

IniFile IniFile::Load(const std::filesystem::path& path, Options options) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return IniFile{};
  std::string content;
  try {
    content = ReadRegularFile(path, kLimit);
  } catch (const std::exception& e) {
    IniFile unreadable;
    unreadable.loadError_ = e.what();
    return unreadable;
  }
  // A NUL never stands in a text file: this is some other file under the INI's name.
  if (content.find('\0') != std::string::npos) {
    IniFile binary;
    binary.loadError_ = "Ошибка! Файл " + path.string() + " не текстовый";
    return binary;
  }
  if (content.rfind("\xEF\xBB\xBF", 0) == 0) content.erase(0, 3);
  return Parse(content, options);
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  for (const auto& s : sections_) names.push_back(s.Name);
  return names;
}

const IniFile::Section* IniFile::Find(std::string_view section) const {
  for (const auto& s : sections_) {
    if (SameName(s.Name, section)) return &s;
  }
  return nullptr;
}

const IniFile::Entry* IniFile::Find(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  if (!s) return nullptr;
  for (const auto& e : s->Entries) {
    if (SameName(e.Key, key)) return &e;
  }
  return nullptr;
}

IniFile IniFile::Overlaid(std::string_view section, std::string_view over) const {
  IniFile copy = *this;
  const Section* extra = Find(over);
  for (auto& s : copy.sections_) {
    if (!SameName(s.Name, section) || !extra) continue;
    s.Entries.insert(s.Entries.begin(), extra->Entries.begin(), extra->Entries.end());
    break;
  }
  return copy;
}

bool IniFile::HasSection(std::string_view section) const { return Find(section) != nullptr; }

bool IniFile::HasKey(std::string_view section, std::string_view key) const { return Find(section, key) != nullptr; }

std::string IniFile::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
  const Entry* e = Find(section, key);
  return e ? e->Value : def;
}

std::int64_t IniFile::ReadInteger(std::string_view section, std::string_view key, std::int64_t def) const {
  const Entry* e = Find(section, key);
  return e ? ProfileInteger(e->Value) : def;
}

}  // namespace pw
