#include "cli/CliPages.h"

#include <algorithm>

#include "cli/CliTexts.h"
#include "cli/NameMatch.h"

namespace pw::cli {

// The pages, each in its own commands file (cli/AvrCommands.cpp, ...).
CliPage AvrCliPage();
CliPage PicCliPage();
CliPage I2cCliPage();
CliPage SpiCliPage();
CliPage SettingsCliPage();

namespace {

std::vector<std::string> Names(const std::vector<CliOperation>& operations) {
  std::vector<std::string> names;
  for (const CliOperation& o : operations) names.push_back(o.Name);
  return names;
}

const CliPage& FindPage(const std::string& word) {
  const auto& pages = CliPages();
  std::vector<std::string> names;
  for (const CliPage& p : pages) names.push_back(p.Name);
  const auto page = FindName(word, names);
  if (!page) throw UsageError(UnknownName(texts::kPageNoun, word, names));
  return pages[*page];
}

const CliOperation& FindOperation(const CliPage& page, const std::string& word) {
  const auto names = Names(page.Operations);
  const auto op = FindName(word, names);
  if (!op) throw UsageError(UnknownName(texts::kOperationNoun, word, names));
  return page.Operations[*op];
}

/// The steps the words from first on name.
std::vector<CliStep> ReadSteps(const CliPage& page, const std::string& shape, const std::vector<std::string>& words,
                               std::size_t first) {
  if (words.size() <= first)
    throw UsageError(texts::NeedsOperation(shape) + texts::kKnown + JoinNames(Names(page.Operations)));
  std::vector<CliStep> steps;
  for (std::size_t at = first; at < words.size();) {
    const CliOperation* op = nullptr;
    try {
      op = &FindOperation(page, words[at]);
    } catch (const UsageError& e) {
      if (steps.empty()) throw;
      // A word too many for the operation before, or a misspelt next operation.
      const CliOperation& before = *steps.back().Operation;
      throw UsageError(texts::ArgumentsTaken(shape + " " + before.Name, before.ArgCount) + "; " + e.what());
    }
    const std::size_t left = words.size() - at - 1;
    if (left < op->ArgCount) {
      throw UsageError(texts::ArgumentCount(shape + " " + op->Name, op->ArgCount, left));
    }
    const auto from = words.begin() + static_cast<std::ptrdiff_t>(at) + 1;
    steps.push_back({op, std::vector<std::string>(from, from + static_cast<std::ptrdiff_t>(op->ArgCount)), {}, {}});
    at += 1 + op->ArgCount;
  }
  return steps;
}

/// Whether word names, exactly as written, an operation of page that needs no type: then no type
/// stands before it.
bool TypeFreeOperation(const CliPage& page, const std::string& word) {
  return std::any_of(page.Operations.begin(), page.Operations.end(),
                     [&](const CliOperation& o) { return o.TypeFree && SameName(o.Name, word); });
}

/// "avr write-flash, ...": the operations --erase goes with.
std::string ErasableOperations() {
  std::vector<std::string> names;
  for (const CliPage& p : CliPages()) {
    for (const CliOperation& o : p.Operations) {
      if (o.TakesErase) names.push_back(p.Name + " " + o.Name);
    }
  }
  return JoinNames(names);
}

}  // namespace

const std::vector<CliPage>& CliPages() {
  static const std::vector<CliPage> pages = {AvrCliPage(), PicCliPage(), I2cCliPage(), SpiCliPage(), SettingsCliPage()};
  return pages;
}

const std::string& ChooseType(const std::vector<std::string>& known, const std::string& typed,
                              const std::string& what) {
  // The exact name first: a list may hold names that differ only in case.
  const auto exact = std::find(known.begin(), known.end(), typed);
  if (exact != known.end()) return *exact;
  const auto index = FindName(typed, known);
  if (!index) throw UsageError(UnknownName(what, typed, known));
  return known[*index];
}

std::uint32_t HexArgument(const std::string& text, std::size_t digits, const std::string& noun) {
  const std::string hex = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0 ? text.substr(2) : text;
  if (hex.empty() || hex.size() > digits || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    throw UsageError(texts::NotHex(noun, text));
  }
  return static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
}

CliCommandLine ParseCommandWords(const std::vector<std::string>& words, bool eraseFirst) {
  if (words.empty()) throw UsageError(texts::kNoCommand);
  const CliPage& page = FindPage(words[0]);
  const bool typed = page.TakesType && !(words.size() > 1 && TypeFreeOperation(page, words[1]));
  const std::size_t opAt = typed ? 2 : 1;
  const std::string shape = page.Name + (typed ? " ТИП" : "");
  CliCommandLine line{&page, typed && words.size() > 1 ? words[1] : "", {}};
  line.Steps = ReadSteps(page, shape, words, opAt);
  for (const CliStep& step : line.Steps) {
    if (page.TakesType && !typed && !step.Operation->TypeFree) {
      throw UsageError(texts::NeedsType(page.Name, step.Operation->Name));
    }
  }
  if (eraseFirst) {
    const bool takes =
        std::any_of(line.Steps.begin(), line.Steps.end(), [](const CliStep& s) { return s.Operation->TakesErase; });
    if (!takes || page.EraseFirst.empty()) throw UsageError(texts::EraseOnlyWith(ErasableOperations()));
    line.Steps.insert(line.Steps.begin(), CliStep{&FindOperation(page, page.EraseFirst), {}, {}, {}});
  }
  return line;
}

}  // namespace pw::cli
