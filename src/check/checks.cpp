#include "check/checks.h"

#include <string>

namespace mosaiq::check {

namespace {

constexpr std::string_view names[check_count] = {
    "byte-order-mark",
    "no-frames",
    "row-length",
    "truncated-frame",
    "row-looks-like-directive",
    "full-width",
    "cell-value",
    "frame-record",
    "division",
    "division-drift",
    "ignored-grid",
    "grid-size",
    "grid-partial",
    "unknown-directive",
    "indented-directive",
    "long-line",
    "after-eof-marker",
    "nul-byte",
    "utf8-text",
    "shift-jis",
    "pattern-text-width",
    "pattern-unannounced",
    "pattern-unused",
    "pattern-overwritten",
    "after-end",
    "hidden-measure",
    "timing",
    "song-position",
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

std::string_view check_names() {
  static const std::string all = [] {
    std::string text;
    for (const std::string_view name : names)
      text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
  }();
  return all;
}

}  // namespace mosaiq::check
