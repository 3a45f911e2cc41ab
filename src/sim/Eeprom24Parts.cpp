#include "sim/Eeprom24Parts.h"

#include "ini/IniFile.h"

namespace pw::sim {
namespace {

constexpr Eeprom24Part kParts[] = {
    {"24C01", 128, 8, 1, 0},     {"24C02", 256, 8, 1, 0},      {"24C04", 512, 16, 1, 1},  {"24C08", 1024, 16, 1, 2},
    {"24C16", 2048, 16, 1, 3},   {"24C32", 4096, 32, 2, 0},    {"24C64", 8192, 32, 2, 0}, {"24C128", 16384, 64, 2, 0},
    {"24C256", 32768, 64, 2, 0}, {"24C512", 65536, 128, 2, 0},
};

}  // namespace

const Eeprom24Part* FindEeprom24Part(const std::string& name) {
  for (const auto& part : kParts) {
    if (SameName(name, part.Name)) return &part;
  }
  return nullptr;
}

}  // namespace pw::sim
