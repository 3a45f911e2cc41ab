#pragma once
/// @file
/// The configuration as `pic TYPE read-config` prints it and `write-config` takes it: one word
/// for a type with one configuration word, two words (0x2007, 0x2008) for a type that names bits
/// of the second, the 14 configuration bytes (0x300000 to 0x30000D) for a PIC18 type.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "pic/PicConfigArea.h"
#include "pic/PicTypes.h"

namespace pw::cli {

/// The values write-config's argument gives, comma-separated, as many and as wide as the type's
/// configuration has; anything else is a UsageError saying what the type takes.
std::vector<std::uint32_t> PicConfigValues(const std::string& text, const PicTypeValues& type);

/// area with the configuration bits the type names set as values (PicConfigValues) say; the
/// others keep what area holds.
PicConfigArea WithConfigValues(PicConfigArea area, std::span<const std::uint32_t> values, const PicTypeValues& type);

/// What read-config prints of area: "Config: " with every configuration word or byte, then
/// "ID: " with the ID words (PIC18: ID bytes), each line ending in a newline.
std::string PicConfigLines(const PicConfigArea& area, const PicTypeValues& type);

}  // namespace pw::cli
