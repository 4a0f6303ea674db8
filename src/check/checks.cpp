#include "check/checks.h"

namespace mosaiq::check {

namespace {

constexpr std::string_view names[check_count] = {
    "row-length",         "truncated-frame",    "row-looks-like-directive",
    "cell-value",         "frame-record",       "division",
    "division-drift",     "ignored-grid",       "grid-size",
    "unknown-directive",  "indented-directive", "long-line",
    "after-eof-marker",   "nul-byte",           "shift-jis",
    "pattern-text-width", "hidden-measure",     "timing",
};

}  // namespace

std::string_view check_name(Check check) { return names[static_cast<int>(check)]; }

bool find_check(std::string_view name, Check& check) {
  for (int i = 0; i < check_count; ++i) {
    if (names[i] == name) {
      check = static_cast<Check>(i);
      return true;
    }
  }
  return false;
}

}  // namespace mosaiq::check
