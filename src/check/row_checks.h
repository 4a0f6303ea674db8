// What a line read as a grid row holds that deserves a finding, and characters typed with an
// input method on: the one examination of a row, for the checks and for the count of findings
// a first reading makes.
#pragma once

#include <cstddef>
#include <string_view>

namespace mosaiq::check {

constexpr std::size_t nowhere = static_cast<std::size_t>(-1);

// Where the first full-width digit "０" to "９" or full-width "＊" stands, in Shift_JIS or in
// UTF-8; nowhere when there is none.
std::size_t find_full_width(std::string_view text);

// Whether the text begins, after blanks, with a full-width "＊".
bool begins_with_full_width_star(std::string_view text);

// Whether a line not read as a frame record looks like one: after blanks, a "*" (or a full-width
// one), an "f" (or "F", or a full-width one), then a digit (or a full-width one).
bool looks_like_record(std::string_view text);

// The index of the first byte of text that is not a colour digit "0" to "7", or text.size().
std::size_t first_non_digit(std::string_view text);

struct RowExamination {
  bool directive = false;            // it begins with "*": a row is probably missing before it
  std::size_t full_width = nowhere;  // a full-width character among its cells
  std::size_t bad_cell = nowhere;    // the first cell that is no colour digit, when none is
  bool length = false;               // its length differs from the grid's width
  bool any() const { return directive || full_width != nowhere || bad_cell != nowhere || length; }
};

// Examines a row of a grid `width` cells wide (0: a grid without cells, whose rows are not
// painted, so only a "*" is looked for).
RowExamination examine_row(std::string_view text, std::size_t width);

}  // namespace mosaiq::check
