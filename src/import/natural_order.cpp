#include "import/natural_order.h"

#include "platform/character_set.h"

namespace mosaiq::import {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Compares the runs of digits at a[i] and b[j], moving past them: <0, 0 or >0.
int compare_numbers(const std::string& a, std::size_t& i, const std::string& b, std::size_t& j) {
  const std::size_t a_start = i, b_start = j;
  while (i < a.size() && a[i] == '0') ++i;
  while (j < b.size() && b[j] == '0') ++j;
  const std::size_t a_digits = i, b_digits = j;
  while (i < a.size() && is_digit(a[i])) ++i;
  while (j < b.size() && is_digit(b[j])) ++j;
  if (i - a_digits != j - b_digits) return i - a_digits < j - b_digits ? -1 : 1;
  if (const int order = a.compare(a_digits, i - a_digits, b, b_digits, j - b_digits); order != 0) {
    return order;
  }
  return static_cast<int>(i - a_start) -
         static_cast<int>(j - b_start);  // fewer leading zeros first
}

// Natural order with letters folded (`fold`) or as they are.
int compare(const std::string& a, const std::string& b, bool fold) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (is_digit(a[i]) && is_digit(b[j])) {
      if (const int order = compare_numbers(a, i, b, j); order != 0) return order;
      continue;
    }
    const auto x = static_cast<unsigned char>(fold ? fold_ascii(a[i]) : a[i]);
    const auto y = static_cast<unsigned char>(fold ? fold_ascii(b[j]) : b[j]);
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  return (i < a.size()) - (j < b.size());
}

}  // namespace

bool natural_less(const std::string& a, const std::string& b) {
  const int folded = compare(a, b, true);
  return folded != 0 ? folded < 0 : compare(a, b, false) < 0;
}

}  // namespace mosaiq::import
