#pragma once
/// @file
/// The pages the command line knows, and how a command line's words name a page, a type and a
/// run of operations.
///
/// The grammar: PAGE [TYPE] OPERATION [ARGS] [OPERATION [ARGS]] ...; each operation takes a
/// known number of arguments, so the words after them name the next operation. Page and
/// operation names match in any case.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/CliPage.h"
#include "cli/CliTexts.h"

namespace pw::cli {

/// Every page, in the order --help lists them.
const std::vector<CliPage>& CliPages();

/// A command line's page, type and operations.
struct CliCommandLine {
  const CliPage* Page = nullptr;
  std::string Type;
  std::vector<CliStep> Steps;
};

/// The entry of known that typed names: the same name first, else the same in any case; an
/// unknown name is a UsageError naming what is chosen (texts::kTypeNoun unless told) and the closest
/// entries (or all there are).
const std::string& ChooseType(const std::vector<std::string>& known, const std::string& typed,
                              const std::string& what = texts::kTypeNoun);

/// The number text gives in at most digits hex digits ("E2", "0xe2"); anything else is a
/// UsageError "not a hex NOUN: TEXT".
std::uint32_t HexArgument(const std::string& text, std::size_t digits, const std::string& noun);

/// Reads words (PAGE [TYPE] OPERATION ARGS ...). Raises UsageError naming what is wrong, with
/// the closest known names for an unknown page or operation. With eraseFirst (--erase), the
/// page's erase operation goes first; a page without one is a usage mistake.
CliCommandLine ParseCommandWords(const std::vector<std::string>& words, bool eraseFirst = false);

}  // namespace pw::cli
