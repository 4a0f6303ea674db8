#include "check/finding_messages.h"

#include <algorithm>
#include <cstdlib>

#include "convert/converter_state.h"
#include "convert/status_panel.h"
#include "convert/wve_reader.h"

namespace mosaiq::check {

namespace {

std::string count_of(std::int64_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string by(std::int64_t count) { return count == 1 ? "one" : std::to_string(count); }

std::string grid(std::int64_t width, std::int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

}  // namespace

std::string row_length_message(std::int64_t cells, std::int64_t width, bool last_row) {
  const std::string text = "row has " + count_of(cells, "cell") + " but the grid is " +
                           std::to_string(width) + " wide: ";
  if (cells > width && !last_row) {
    return text + "every later cell of this frame shifts by " + by(cells - width);
  }
  if (cells > width) {
    if (cells - width == 1) return text + "its last cell is dropped";
    return text + "its last " + count_of(cells - width, "cell") + " are dropped";
  }
  if (!last_row && cells == 0) {
    return text +
           "no row of a grid is empty, so the rows after it move up one row, the frame's "
           "last row is read after it as text, and the grid's last row keeps what the "
           "screen shows";
  }
  if (!last_row) {
    return text + "the next row fills its end, and every later cell of this frame shifts back by " +
           by(width - cells);
  }
  if (width - cells == 1) return text + "the frame's last cell keeps what the screen shows";
  return text + "the frame's last " + count_of(width - cells, "cell") +
         " keep what the screen shows";
}

std::string truncated_frame_message(std::int32_t rows_read, std::int32_t height) {
  return "the file ends after " + std::to_string(rows_read) + " of the frame's " +
         count_of(height, "row") + ": its panel is written but none of its cells is painted";
}

std::string row_directive_message() {
  return "a grid row begins with \"*\": a row is probably missing before it, so this line is "
         "read as a row, not as a directive";
}

std::string cell_value_message(const std::string& cell) {
  return "cell \"" + cell + "\" is not a colour digit from 0 to 7: " +
         "it is drawn lit, in the colour selected before it";
}

std::string frame_record_message(std::int32_t numbers) {
  std::string text = "frame record with " + count_of(numbers, "number") + ", not 3 or 5: ";
  switch (numbers) {
    case 0: text += "the pattern, measure and beat keep the panel's values"; break;
    case 1: text += "the measure and beat keep the panel's values"; break;
    case 2: text += "the beat keeps the panel's value"; break;
    default: text += "the flag is read, but without \"/D\" the division is taken as 1"; return text;
  }
  return text + " and the division is taken as 1 (the form is *fP-M-B or *fP-M-B-F/D)";
}

std::string division_message(std::int32_t division) {
  const std::string number = std::to_string(division);
  if (division < 0) {
    return "beat division " + number + " writes a negative @wmode, " +
           "which a player takes as @wmode(0), frames of 1/24 of a beat; 1 to 24 set a division";
  }
  return "beat division " + number + " is above 24: every frame lasts 1/24 of a beat, as under 24";
}

std::string division_drift_message(std::int32_t division) {
  std::int32_t below = 1, above = finest_division;
  for (const std::int32_t d : even_divisions) {
    if (d < division) below = d;
    if (d > division && above == finest_division) above = d;
  }
  const std::int64_t ticks = frame_units(division) / units_per_step;
  return "beat division " + std::to_string(division) + " does not divide 24: a frame lasts " +
         std::to_string(ticks) + "/24 of a beat, so " + std::to_string(division) + " frames fill " +
         std::to_string(ticks * division) +
         "/24 of a beat and the animation drifts from the song (" + std::to_string(below) + " or " +
         std::to_string(above) + " divide 24)";
}

std::string ignored_grid_message(bool second, std::int32_t width, std::int32_t height) {
  return std::string(second ? "a second \"*nXY=\" is ignored"
                            : "\"*nXY=\" after another directive is ignored") +
         ": the grid stays " + grid(width, height) +
         (second ? "" : " (it must come before any other directive)");
}

std::string grid_without_number_message(std::int32_t width, std::int32_t height) {
  return "\"*nXY=\" with no number to read: the grid stays " + grid(width, height);
}

std::string grid_refused_message(std::int64_t width, std::int64_t height, std::int32_t kept_width,
                                 std::int32_t kept_height) {
  return "a grid of " + grid(width, height) +
         " is not taken (a side below 0, or more cells than can be held): the grid stays " +
         grid(kept_width, kept_height);
}

namespace {

std::string no_cells(std::int64_t size, const char* extent) {
  return "a grid " + std::to_string(size) + " " + extent + " has no cells: nothing is painted";
}

std::string spans(std::int64_t size, const char* extent, const char* unit, std::int64_t first,
                  std::int64_t last) {
  return "a grid " + std::to_string(size) + " " + extent + " spans screen " + unit + " " +
         std::to_string(first) + " to " + std::to_string(last);
}

// Why the grid's columns do not fit the screen; "" when they do.
std::string columns_fit(std::int64_t width) {
  if (width < 1) return no_cells(width, "cells wide");
  if (width <= max_fitting_width) return "";
  const std::int64_t left = grid_origin_col(width);
  return spans(width, "cells wide", "columns", left, left + 2 * width - 1) +
         ", off the 80-column screen: at most " + std::to_string(max_fitting_width) + " cells fit";
}

// Why the grid's rows do not fit below the panel; "" when they do.
std::string rows_fit(std::int64_t height) {
  if (height < 1) return no_cells(height, "rows high");
  if (height <= max_fitting_height) return "";
  const std::int64_t top = grid_origin_row(height);
  return spans(height, "rows high", "rows", top, top + height - 1) + ", " +
         (top <= 3 ? "over the panel's row 3" : "past row 25") + ": at most " +
         std::to_string(max_fitting_height) + " rows fit below the panel";
}

}  // namespace

std::string grid_fit_message(std::int32_t width, std::int32_t height) {
  const std::string columns = columns_fit(width), rows = rows_fit(height);
  if (columns.empty() || rows.empty()) return columns + rows;
  return columns + "; " + rows;
}

std::string unknown_directive_message(const std::string& directive, const std::string& suggestion) {
  return "unknown directive \"" + directive + "\": the line is ignored" +
         (suggestion.empty() ? "" : "; did you mean \"" + suggestion + "\"?");
}

std::string indented_directive_message() {
  return "a blank before \"*\": the line is not read as a directive, which must begin the line";
}

std::string long_line_message() {
  const std::size_t limit = WveReader::line_limit;
  return "line longer than " + std::to_string(limit - 1) + " bytes: it is read in pieces of " +
         std::to_string(limit) + " bytes, each counting as a line of its own";
}

std::string after_eof_marker_message() {
  return "the end-of-file byte 0x1A ends the input here: the bytes after it are never read";
}

std::string nul_byte_message() {
  return "NUL byte: the rest of the line (of its " + std::to_string(WveReader::line_limit) +
         "-byte piece, when longer) is dropped";
}

std::string shift_jis_message(unsigned lead, int next) {
  static const char hex[] = "0123456789ABCDEF";
  const auto byte = [](unsigned value) {
    return std::string("0x") + hex[(value >> 4) & 15] + hex[value & 15];
  };
  return "byte " + byte(lead) + " begins a double-byte Shift_JIS character, but " +
         (next < 0 ? std::string("the text ends after it")
                   : byte(static_cast<unsigned>(next)) + " cannot end one") +
         ": the pattern text shows garbled";
}

std::string pattern_text_width_message(std::int64_t columns) {
  return "pattern text " + std::to_string(columns) + " columns wide, but " +
         std::to_string(pattern_text_room) +
         " fit on the panel's row 1 after the pattern number: it runs past column 80";
}

std::string hidden_measure_message(std::int32_t measure, std::int32_t beat,
                                   std::int32_t shown_measure) {
  return "measure " + std::to_string(measure) + " comes with beat " + std::to_string(beat) +
         ", the beat shown already: the panel changes only when the beat does, so it keeps " +
         (shown_measure == 0 ? std::string("showing no measure")
                             : "showing measure " + std::to_string(shown_measure));
}

namespace {

// A part of a beat: x/24 where it is a whole number of 24ths, else the reduced fraction.
std::string part_of_beat(std::int64_t units, std::int64_t beat_units) {
  if ((units * 24) % beat_units == 0) return std::to_string(units * 24 / beat_units) + "/24";
  std::int64_t a = units, b = beat_units;
  while (b != 0) std::swap(a %= b, b);
  return std::to_string(units / a) + "/" + std::to_string(beat_units / a);
}

std::string place_text(const SongBeat& at, std::int64_t beat_units) {
  std::string text = "measure " + std::to_string(at.measure) + " beat " + std::to_string(at.beat);
  if (at.into != 0) text += " + " + part_of_beat(at.into, beat_units);
  return text;
}

// How far apart, in beats and parts of a beat: "2 beats and 12/24 of a beat".
std::string distance_text(std::int64_t units, std::int64_t beat_units) {
  const std::int64_t beats = units / beat_units, rest = units % beat_units;
  std::string text;
  if (beats != 0) text += count_of(beats, "beat") + (rest != 0 ? " and " : "");
  if (rest != 0) text += part_of_beat(rest, beat_units) + " of a beat";
  return text;
}

std::string lines_text(std::uint64_t first, std::uint64_t last) {
  return first == last ? "line " + std::to_string(first)
                       : "lines " + std::to_string(first) + "-" + std::to_string(last);
}

std::string division_words(std::int32_t division) {
  if (division == 1) return "a quarter note";
  return "1/" + std::to_string(std::min(division, finest_division)) + " of a quarter note";
}

}  // namespace

std::string slip_message(const SlipPlace& place, SlipCause cause, bool song,
                         std::int64_t beats_per_measure) {
  std::string text = "frame stamped measure " + std::to_string(place.measure) + " beat " +
                     std::to_string(place.beat) + (song ? " shows at the song's " : " plays at ") +
                     place_text(place.played, place.beat_units);
  // From the stamped beat's start.
  const bool early = place.apart < 0;
  const std::int64_t apart = early ? -place.apart : place.apart;
  if (apart > 0 && apart < (std::int64_t{1} << 50)) {
    text += ", " + distance_text(apart, place.beat_units) + (early ? " early" : " late");
  }
  switch (cause) {
    case SlipCause::frames:
      text += std::string(": the frames before it last ") + (early ? "less" : "more") +
              " than the stamps say";
      break;
    case SlipCause::division:
      text += std::string(": the frames before it last ") + (early ? "less" : "more") +
              " than the stamps say, as a division changed before it";
      break;
    case SlipCause::lost_frame:
      text +=
          ": a frame record before it is lost, so the frames before it last less than the "
          "stamps say";
      break;
    case SlipCause::stamp_alone:
      text += ": this stamp alone is wrong, as the frames before and after it agree";
      break;
    case SlipCause::first_frame:
      text +=
          ": the player spends the song's first measure on the script's first line, and a "
          "quarter note on the frame of its header, before the first frame";
      break;
  }
  if (!song && cause != SlipCause::first_frame) {
    text += " (" + count_of(beats_per_measure, "beat") + " a measure)";
  }
  return text;
}

std::string division_cause_note(std::int32_t numbers, std::int32_t before, std::int32_t after) {
  const std::string change =
      numbers == 3 ? "this record has three numbers, so it sets the division back to 1 (from " +
                         std::to_string(before) + ")"
                   : "this record changes the division from " + std::to_string(before) + " to " +
                         std::to_string(after);
  return change + ": a frame lasts " + division_words(after) + " from here, not " +
         division_words(before) +
         (numbers == 3 ? " (\"-0/" + std::to_string(before) + "\" at its end keeps it)" : "");
}

std::string lost_record_note() {
  return "this line looks like a frame record, but is not read as one: its frame is lost";
}

std::string stamp_alone_note() {
  return "the next stamped frame plays where its stamp says, counting on from the frames before";
}

std::string fold_note(std::uint64_t more, std::uint64_t first_line, std::uint64_t last_line) {
  return std::to_string(more) + " more like this (" + lines_text(first_line, last_line) + ")";
}

std::string byte_order_mark_message(bool hides_directive) {
  return std::string("a UTF-8 byte-order mark begins the file: ") +
         (hides_directive ? "the first line is not read as the directive it holds"
                          : "its bytes are part of the first line") +
         "; save the file as Shift_JIS, without it";
}

std::string no_frames_message(bool empty_file) {
  return empty_file ? "the file is empty: its script is a header that shows nothing"
                    : "the file has no frame record (\"*fP-M-B\"): its script shows no frame";
}

std::string full_width_star_message(const std::string& star) {
  return "a full-width \"" + star +
         "\" begins the line: typed with the input method on? the line is read as text, not as a "
         "directive";
}

std::string full_width_row_message(const std::string& character) {
  return "a full-width \"" + character +
         "\" in a grid row: typed with the input method on? it is no colour digit, and each of "
         "its bytes is drawn as a lit cell";
}

std::string grid_partial_message(std::int32_t width, std::int32_t height) {
  return "\"*nXY=\" sets the width alone (the form is *nXY=W,H): the grid is " +
         grid(width, height) + ", its height unchanged";
}

std::string utf8_text_message(bool pattern) {
  return std::string(pattern ? "pattern text" : "text") +
         " saved as UTF-8; the player reads Shift_JIS: iconv -f UTF-8 -t CP932";
}

std::string pattern_unannounced_message(std::int32_t number) {
  return "pattern " + std::to_string(number) + " is never announced (\"*p" +
         std::to_string(number) +
         ",TEXT\"), though the file announces others: the panel shows its number with no text";
}

std::string pattern_unused_message(std::int32_t number) {
  return "pattern " + std::to_string(number) + " is announced, but no frame record uses it";
}

std::string empty_frame_message() {
  return "the frame's rows are all empty: it paints nothing, and the screen keeps what it shows";
}

std::string grid_cascade_note(std::int32_t width, std::int32_t height, std::uint64_t findings,
                              std::uint64_t first_line, std::uint64_t last_line) {
  return "the grid stays " + grid(width, height) + ", so " +
         count_of(static_cast<std::int64_t>(findings), "more finding") +
         " follow from this line (" + lines_text(first_line, last_line) + "); --all shows them";
}

std::string grid_cause_note(const std::string& reason, std::int32_t width, std::int32_t height) {
  return "the grid is " + grid(width, height) + " because " + reason;
}

std::string pattern_overwritten_message(std::uint64_t replaced, std::uint64_t seen_line) {
  const std::string seen = "line " + std::to_string(seen_line);
  if (replaced == 1) {
    return "this pattern announcement is replaced by the one at " + seen +
           " before any frame shows it: the panel never shows it";
  }
  return "this pattern announcement and the " + std::to_string(replaced - 1) +
         " after it are replaced before any frame shows them: only the one at " + seen + " is seen";
}

std::string after_end_message(std::uint64_t records, std::uint64_t patterns,
                              std::uint64_t first_line, std::uint64_t last_line) {
  std::string what;
  if (records > 0) what = count_of(static_cast<std::int64_t>(records), "frame record");
  if (patterns > 0) {
    what += (what.empty() ? "" : " and ") +
            count_of(static_cast<std::int64_t>(patterns), "pattern announcement");
  }
  return "the player stops reading at \"*end\": the " + what + " after it (" +
         lines_text(first_line, last_line) + ")" + (records + patterns == 1 ? " is" : " are") +
         " never shown";
}

std::string missing_row_note(std::int32_t rows, std::int32_t grid_height) {
  return "this frame has " + std::to_string(rows) + (rows == 1 ? " row" : " rows") +
         " before the line read as its next row; the grid is " + std::to_string(grid_height) +
         (grid_height == 1 ? " row" : " rows") + " high";
}

}  // namespace mosaiq::check
