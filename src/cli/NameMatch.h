#pragma once
/// @file
/// Names typed on the command line against the names known: any case matches, and an unknown
/// name gets the closest known ones as suggestions.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pw::cli {

/// Whether a and b are the same name in any case (ASCII letters; other bytes compare exactly).
bool SameName(const std::string& a, const std::string& b);

/// The index of the first name in known that is word in any case.
std::optional<std::size_t> FindName(const std::string& word, const std::vector<std::string>& known);

/// Edits (insert, delete, change, swap of neighbours) that turn a into b, in any case.
std::size_t EditDistance(const std::string& a, const std::string& b);

/// The known names nearest to word: those at the smallest distance (at most three, in their
/// order), if that is within a third of the longer name's length or two edits; else none.
std::vector<std::string> ClosestNames(const std::string& word, const std::vector<std::string>& known);

/// names separated by ", ".
std::string JoinNames(const std::vector<std::string>& names);

/// "нет WHAT WORD; может быть, A, B?" or, with nothing near, "нет WHAT WORD; известны: ..." (what in
/// the genitive, texts::kPageNoun and its kin).
std::string UnknownName(const std::string& what, const std::string& word, const std::vector<std::string>& known);

}  // namespace pw::cli
