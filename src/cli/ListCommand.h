#pragma once
/// @file
/// `list FAMILY [TEXT]`: the types a family's description file beside the program knows, read
/// with the loaders its page uses, one per line: name, sizes and the ID the chip answers with.
/// Needs no programmer.

#include <ostream>
#include <string>
#include <vector>

#include "frame/ProgramFiles.h"

namespace pw::cli {

/// The command word that lists types.
inline constexpr const char* kListCommand = "list";

/// One known type as `list` shows it.
struct ListedType {
  std::string Name;
  std::string Sizes;
  std::string Id;
};

/// The types of family ("avr", "pic", "i2c" or "spi", any case) from its file in paths, in the
/// file's order. Raises UsageError for another family.
std::vector<ListedType> KnownTypes(const std::string& family, const FormPaths& paths);

/// Runs `list` with the words after it: prints the types whose name holds TEXT (any case),
/// aligned, to out and returns 0; with none, says so on err and returns 1. Raises UsageError
/// for a wrong family or word count.
int RunList(const std::vector<std::string>& args, const FormPaths& paths, std::ostream& out, std::ostream& err);

}  // namespace pw::cli
