// What each finding says: what mosaiq will do, and what the author probably meant.
#pragma once

#include <cstdint>
#include <string>

#include "song/player_clock.h"

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
// Where a frame plays against its stamp.
struct SlipPlace {
  std::int32_t measure;  // its stamp
  std::int32_t beat;
  SongBeat played;          // where it plays (where it shows in the song, with one)
  std::int64_t beat_units;  // the length of the stamped beat
  std::int64_t apart;       // from the start of the stamped beat; below 0: early
};
// Why it plays there: frames that do not fill the stamps' beats, a division changed before it,
// a frame record lost before it, its stamp alone (the frames before and after it agree), or the
// player's lead before frame 1.
enum class SlipCause { frames, division, lost_frame, stamp_alone, first_frame };

std::string slip_message(const SlipPlace& place, SlipCause cause, bool song,
                         std::int64_t beats_per_measure);
// The note at a record whose division made the frames after it longer or shorter.
std::string division_cause_note(std::int32_t numbers, std::int32_t before, std::int32_t after);
// The note at a line meant as a frame record, and not read as one.
std::string lost_record_note();
// The note at the stamped frame after a stamp that alone is wrong.
std::string stamp_alone_note();
// How many more findings like one were folded into it, and on which lines.
std::string fold_note(std::uint64_t more, std::uint64_t first_line, std::uint64_t last_line);

// The other checks a file's whole reading tells.
std::string byte_order_mark_message(bool hides_directive);
std::string no_frames_message(bool empty_file);
// `star` is the full-width "＊" as it is to be shown.
std::string full_width_star_message(const std::string& star);
// `character` is the full-width character as it is to be shown.
std::string full_width_row_message(const std::string& character);
std::string grid_partial_message(std::int32_t width, std::int32_t height);
std::string utf8_text_message(bool pattern);
std::string pattern_unannounced_message(std::int32_t number);
std::string pattern_unused_message(std::int32_t number);

// Pattern announcements with no frame between them.
std::string pattern_overwritten_message(std::uint64_t replaced, std::uint64_t seen_line);

// What stands after "*end".
std::string after_end_message(std::uint64_t records, std::uint64_t patterns,
                              std::uint64_t first_line, std::uint64_t last_line);

// Under a grid row that is a frame record: how many rows its frame has before it.
std::string missing_row_note(std::int32_t rows, std::int32_t grid_height);
std::string empty_frame_message();
// Why the grid is not what a line meant it to be; the note under the findings it causes.
std::string grid_cause_note(const std::string& reason, std::int32_t width, std::int32_t height);
// The note under a grid line's own finding: how many findings follow from it, folded there.
std::string grid_cascade_note(std::int32_t width, std::int32_t height, std::uint64_t findings,
                              std::uint64_t first_line, std::uint64_t last_line);

}  // namespace mosaiq::check
