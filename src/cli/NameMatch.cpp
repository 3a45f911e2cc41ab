#include "cli/NameMatch.h"

#include <algorithm>
#include <cstdint>

#include "cli/CliTexts.h"

namespace pw::cli {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string JoinNames(const std::vector<std::string>& names) {
  std::string text;
  for (const auto& n : names) text += (text.empty() ? "" : ", ") + n;
  return text;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::optional<std::size_t> FindName(const std::string& word, const std::vector<std::string>& known) {
  for (std::size_t i = 0; i < known.size(); ++i) {
    if (SameName(word, known[i])) return i;
  }
  return std::nullopt;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
  // d[i][j]: edits between the first i bytes of a and the first j of b.
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const bool same = Lower(a[i - 1]) == Lower(b[j - 1]);
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (same ? 0 : 1)});
      // Two neighbours typed the wrong way round are one slip, not two.
      if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) && Lower(a[i - 2]) == Lower(b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

std::vector<std::string> ClosestNames(const std::string& word, const std::vector<std::string>& known) {
  constexpr std::size_t kMostSuggestions = 3;
  std::size_t best = SIZE_MAX;
  std::vector<std::string> names;
  for (const auto& name : known) {
    const std::size_t d = EditDistance(word, name);
    if (d > std::max<std::size_t>(2, std::max(word.size(), name.size()) / 3) || d > best) continue;
    if (d < best) names.clear();
    best = d;
    if (names.size() < kMostSuggestions && std::find(names.begin(), names.end(), name) == names.end())
      names.push_back(name);
  }
  return names;
}

std::string UnknownName(const std::string& what, const std::string& word, const std::vector<std::string>& known) {
  const auto near = ClosestNames(word, known);
  const std::string start = texts::NoSuch(what, word);
  if (known.empty()) return start + texts::kNoneKnown;
  // A slip gets its correction alone: a long list of every name would bury it.
  if (near.empty()) return start + texts::kKnown + JoinNames(known);
  return start + texts::kDidYouMean + JoinNames(near) + "?";
}

}  // namespace pw::cli
