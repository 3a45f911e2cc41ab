#pragma once
/// @file
/// INI files as the program reads its description and bench files: sections listed in file
/// order, section and key names matched without regard to case, the first match wins, and a
/// missing file, section or key gives the caller's default.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

class IniFile {
 public:
  struct Options {
    /// Cut "; comment" tails off values (bench files); description files keep them as part of the value.
    bool StripInlineComments = false;
  };

  IniFile() = default;
  static IniFile Parse(std::string_view text, Options options);
  static IniFile Parse(std::string_view text) { return Parse(text, Options{}); }
  /// The largest INI file read.
  static constexpr std::uintmax_t kLimit = 16u << 20;
  /// A missing file, one that cannot be read (no regular file, larger than kLimit) and one that
  /// holds binary data all read as an empty one; Exists() and LoadError() tell which.
  static IniFile Load(const std::filesystem::path& path, Options options);
  static IniFile Load(const std::filesystem::path& path) { return Load(path, Options{}); }

  bool Exists() const { return exists_; }
  /// Why a file that is there gave no text (a message naming it), or empty.
  const std::string& LoadError() const { return loadError_; }
  /// Every section name, in file order.
  std::vector<std::string> SectionNames() const;
  bool HasSection(std::string_view section) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  /// The value, trimmed and without enclosing quotes, or def.
  std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
  /// Leading blanks, an optional sign and decimal digits (or 0x and hex digits); a key that holds
  /// no number reads as 0, a missing key as def.
  std::int64_t ReadInteger(std::string_view section, std::string_view key, std::int64_t def) const;
  /// A copy in which the keys of section over stand first in section, so that they win over its
  /// own; section must exist.
  IniFile Overlaid(std::string_view section, std::string_view over) const;

 private:
  struct Entry {
    std::string Key;
    std::string Value;
  };
  struct Section {
    std::string Name;
    std::vector<Entry> Entries;
  };
  const Section* Find(std::string_view section) const;
  const Entry* Find(std::string_view section, std::string_view key) const;

  std::vector<Section> sections_;
  bool exists_ = false;
  std::string loadError_;
};

/// Compares ASCII letters without regard to case.
bool SameName(std::string_view a, std::string_view b);

/// The integer at the start of text, read as ReadInteger reads it.
std::int64_t ProfileInteger(std::string_view text);

}  // namespace pw
