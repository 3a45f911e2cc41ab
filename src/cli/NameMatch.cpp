#include "cli/NameMatch.h"

#include <algorithm>
#include <numeric>

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
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::optional<std::size_t> FindName(const std::string& word, const std::vector<std::string>& known) {
  for (std::size_t i = 0; i < known.size(); ++i) {
    if (SameName(word, known[i])) return i;
  }
  return std::nullopt;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), std::size_t{0});
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const std::size_t change = diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, change});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::vector<std::string> ClosestNames(const std::string& word, const std::vector<std::string>& known) {
  constexpr std::size_t kMostSuggestions = 3;
  std::vector<std::pair<std::size_t, std::string>> near;
  for (const auto& name : known) {
    const std::size_t d = EditDistance(word, name);
    const std::size_t allowed = std::max<std::size_t>(2, std::max(word.size(), name.size()) / 3);
    if (d <= allowed) near.emplace_back(d, name);
  }
  std::stable_sort(near.begin(), near.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::string> names;
  for (const auto& [d, name] : near) {
    if (names.size() == kMostSuggestions) break;
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

std::string UnknownName(const std::string& what, const std::string& word, const std::vector<std::string>& known) {
  const auto near = ClosestNames(word, known);
  const std::string start = "unknown " + what + " " + word;
  if (!near.empty()) return start + "; did you mean: " + JoinNames(near) + "?";
  return start + (known.empty() ? " (none is known)" : "; known: " + JoinNames(known));
}

}  // namespace pw::cli
