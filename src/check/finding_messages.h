// What each finding says: what mosaiq will do, and what the author probably meant.
#pragma once

#include <cstdint>
#include <string>

#include "check/frame_timing.h"

namespace mosaiq::check {

std::string row_length_message(std::int64_t cells, std::int64_t width, bool last_row);
std::string truncated_frame_message(std::int32_t rows_read, std::int32_t height);
std::string row_directive_message();
// `cell` is the byte as it is to be shown.
std::string cell_value_message(const std::string& cell);
std::string frame_record_message(std::int32_t numbers);
std::string division_message(std::int32_t division);
std::string division_drift_message(std::int32_t division);
std::string ignored_grid_message(bool second, std::int32_t width, std::int32_t height);
std::string grid_without_number_message(std::int32_t width, std::int32_t height);
std::string grid_refused_message(std::int64_t width, std::int64_t height, std::int32_t kept_width,
                                 std::int32_t kept_height);
// Empty when the grid fits the screen below the panel: 1 to 39 cells wide, 1 to 22 high.
std::string grid_fit_message(std::int32_t width, std::int32_t height);
// `directive` and `suggestion` as they are to be shown; no suggestion when it is empty.
std::string unknown_directive_message(const std::string& directive, const std::string& suggestion);
std::string indented_directive_message();
std::string long_line_message();
std::string after_eof_marker_message();
std::string nul_byte_message();
// `next` is the byte after the lead byte, or -1 when the text ends there.
std::string shift_jis_message(unsigned lead, int next);
std::string pattern_text_width_message(std::int64_t columns);
std::string hidden_measure_message(std::int32_t measure, std::int32_t beat,
                                   std::int32_t shown_measure);
std::string timing_message(std::int32_t measure, std::int32_t beat, const PlayPosition& played,
                           std::int64_t stamped, std::int64_t beats_per_measure);

}  // namespace mosaiq::check
