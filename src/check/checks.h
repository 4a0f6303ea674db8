// The checks mosaiq-check makes, by the names scripts and editors match on.
#pragma once

#include <cstdint>
#include <string_view>

namespace mosaiq::check {

// In the order their findings take when they fall on the same byte.
enum class Check : std::uint8_t {
  row_length,
  truncated_frame,
  row_looks_like_directive,
  cell_value,
  frame_record,
  division,
  division_drift,
  ignored_grid,
  grid_size,
  unknown_directive,
  indented_directive,
  long_line,
  after_eof_marker,
  nul_byte,
  shift_jis,
  pattern_text_width,
  hidden_measure,
  timing,
};
constexpr int check_count = 18;

// "row-length", "truncated-frame", ...
std::string_view check_name(Check check);

// The check of that name; false when there is none.
bool find_check(std::string_view name, Check& check);

}  // namespace mosaiq::check
