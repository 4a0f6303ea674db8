#include "check/directive_suggestion.h"

#include <algorithm>
#include <vector>

#include "convert/wve_directives.h"
#include "platform/character_set.h"

namespace mosaiq::check {

namespace {

bool starts_with_folded(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (fold_ascii(text[i]) != fold_ascii(prefix[i])) return false;
  }
  return true;
}

// Edits (insertions, deletions, substitutions, swaps of neighbours) from a to b.
std::size_t distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = fold_ascii(a[i - 1]) == fold_ascii(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && fold_ascii(a[i - 1]) == fold_ascii(b[j - 2]) &&
          fold_ascii(a[i - 2]) == fold_ascii(b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string suggest_directive(std::string_view line) {
  const std::string_view rest = line.substr(line.empty() ? 0 : 1);
  for (const std::string_view name : directive_names) {
    if (starts_with_folded(rest, name)) return "*" + std::string(name);
  }
  // A misspelt name: the letters the line begins with, against each name's letters.
  std::size_t letters = 0;
  while (letters < rest.size() && letters < 12 && fold_ascii(rest[letters]) >= 'a' &&
         fold_ascii(rest[letters]) <= 'z') {
    ++letters;
  }
  if (letters < 2) return {};
  const std::string_view word = rest.substr(0, letters);
  std::string best;
  std::size_t best_distance = 3;
  for (const std::string_view name : directive_names) {
    const std::string_view name_letters = name.substr(0, name.find('='));
    const std::size_t allowed = name_letters.size() <= 4 ? 1 : 2;
    const std::size_t d = distance(word, name_letters);
    if (d <= allowed && d < best_distance) {
      best_distance = d;
      best = "*" + std::string(name);
    }
  }
  return best;
}

}  // namespace mosaiq::check
