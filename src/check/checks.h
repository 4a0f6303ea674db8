// The checks mosaiq-check makes, by the names scripts and editors match on.
#pragma once

#include <cstdint>
#include <string_view>

namespace mosaiq::check {

// In the order their findings take when they fall on the same byte.
enum class Check : std::uint8_t {
  byte_order_mark,
  no_frames,
  row_length,
  truncated_frame,
  row_looks_like_directive,
  full_width,
  cell_value,
  frame_record,
  division,
  division_drift,
  ignored_grid,
  grid_size,
  grid_partial,
  unknown_directive,
  indented_directive,
  long_line,
  after_eof_marker,
  nul_byte,
  utf8_text,
  shift_jis,
  pattern_text_width,
  pattern_unannounced,
  pattern_unused,
  pattern_overwritten,
  after_end,
  hidden_measure,
  timing,
  song_position,
};
constexpr int check_count = 28;

// "row-length", "truncated-frame", ...
std::string_view check_name(Check check);

// The check of that name; false when there is none.
bool find_check(std::string_view name, Check& check);

// The names, comma-separated, in the order of the list.
std::string_view check_names();

}  // namespace mosaiq::check
