// The one rule that says which format a file holds: its name's extension in any case, unless a
// format was asked for; "-" is HEX like any name without a known extension.

#include <gtest/gtest.h>

#include "frame/ImageFiles.h"

namespace pw {
namespace {

TEST(ImageFormat, NameSaysUnlessAFormatIsAsked) {
  struct Case {
    const char* Name;
    FileFormat Asked;
    FileFormat Holds;
  };
  const Case cases[] = {
      {"fw.hex", FileFormat::ByName, FileFormat::Hex},     {"fw.BIN", FileFormat::ByName, FileFormat::Binary},
      {"fw.rom", FileFormat::ByName, FileFormat::Binary},  {"fw.Img", FileFormat::ByName, FileFormat::Binary},
      {"dir.raw/fw", FileFormat::ByName, FileFormat::Hex}, {"fw.RAW", FileFormat::ByName, FileFormat::Binary},
      {"fw.elf", FileFormat::ByName, FileFormat::Elf},     {"fw.eep", FileFormat::ByName, FileFormat::Hex},
      {"-", FileFormat::ByName, FileFormat::Hex},          {"-", FileFormat::Binary, FileFormat::Binary},
      {"fw.bin", FileFormat::Hex, FileFormat::Hex},        {"fw.hex", FileFormat::Elf, FileFormat::Elf},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(FormatOf({c.Name, c.Asked}), c.Holds);
  }
}

}  // namespace
}  // namespace pw
