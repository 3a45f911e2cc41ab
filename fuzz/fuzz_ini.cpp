// Any bytes as an INI file: parsing and every kind of look-up must hold up.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ini/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const bool strip : {false, true}) {
    const pw::IniFile ini = pw::IniFile::Parse(text, {.StripInlineComments = strip});
    for (const std::string& section : ini.SectionNames()) {
      if (!ini.HasSection(section)) __builtin_trap();
      (void)ini.ReadString(section, "Size", "");
      (void)ini.ReadInteger(section, "Protocol", 2);
      (void)ini.HasKey(section, "Part");
    }
  }
  (void)pw::ProfileInteger(text);
  return 0;
}
