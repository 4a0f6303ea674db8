#include "check/wve_check.h"

#include <cstring>
#include <memory>
#include <string>

#include "check/directive_suggestion.h"
#include "check/display_text.h"
#include "check/finding_messages.h"
#include "check/frame_timing.h"
#include "check/piece_findings.h"
#include "convert/converter_state.h"
#include "convert/directive_loop.h"
#include "convert/memory_streams.h"
#include "convert/row_bytes.h"
#include "convert/status_panel.h"
#include "platform/shift_jis.h"

namespace mosaiq::check {

namespace {

// The index of the first byte of text that is not a colour digit "0" to "7", or text.size().
std::size_t first_non_digit(std::string_view text) {
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, 8);
    if (((word & each_byte(0xF8)) ^ each_byte('0')) != 0) break;
  }
  while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xF8) == '0') ++at;
  return at;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The directive word of an unrecognised line: "*" and what follows up to a blank, at most 16
// bytes of it.
std::string_view directive_word(std::string_view text) {
  std::size_t end = 1;
  while (end < text.size() && end < 16 && !is_blank(text[end])) ++end;
  return text.substr(0, end);
}

// The bytes as they are to be shown in a message.
std::string shown(std::string_view bytes, TextEncoding encoding) {
  std::string text;
  append_display(bytes, encoding, text);
  return text;
}

// A line's own findings, before what it says is looked at: a NUL byte, a line too long.
void check_piece(const WveLine& line, PieceFindings& found) {
  if (line.text.size() < line.length) {
    found.add(Check::nul_byte, line.offset + line.text.size(), [] { return nul_byte_message(); });
  }
  if (line.line_end == 0 && line.length == WveReader::line_limit && found.current().column == 1) {
    found.add(Check::long_line, line.offset + WveReader::line_limit - 1,
              [] { return long_line_message(); });
  }
}

void check_indented(const WveLine& line, PieceFindings& found) {
  const std::string_view text = line.text;
  std::size_t at = 0;
  while (at < text.size() && is_blank(text[at])) ++at;
  if (at > 0 && at < text.size() && text[at] == '*') {
    found.add(Check::indented_directive, line.offset + at,
              [] { return indented_directive_message(); });
  }
}

// A pattern text: broken double-byte characters, and a width the panel cannot show.
void check_pattern_text(std::string_view text, std::uint64_t offset, PieceFindings& found) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::int64_t columns = 0;
  bool reported = false;
  for (std::size_t at = 0; at < text.size(); ++at, ++columns) {
    if (!is_sjis_lead(bytes[at])) continue;
    if (at + 1 < text.size() && is_sjis_trail(bytes[at + 1])) {
      ++at;
      ++columns;
      continue;
    }
    if (!reported) {
      const int next = at + 1 < text.size() ? bytes[at + 1] : -1;
      found.add(Check::shift_jis, offset + at, [&] { return shift_jis_message(bytes[at], next); });
      reported = true;
    }
  }
  if (columns > pattern_text_room) {
    found.add(Check::pattern_text_width, offset,
              [&] { return pattern_text_width_message(columns); });
  }
}

// A grid row read one by one: a "*" where a directive was meant, cells that are no colour
// digit, a length other than the grid's width.
void check_row(const WveLine& line, std::int32_t index, const ConverterState& state,
               TextEncoding encoding, PieceFindings& found) {
  const std::string_view text = line.text;
  if (!text.empty() && text[0] == '*') {
    found.add(Check::row_looks_like_directive, line.offset, [] { return row_directive_message(); });
  }
  const auto width = static_cast<std::size_t>(state.grid_width);
  if (width == 0) return;  // a grid without cells: nothing of its rows is painted
  const std::string_view cells = text.substr(0, width);
  const std::size_t bad = first_non_digit(cells);
  if (bad < cells.size()) {
    found.add(Check::cell_value, line.offset + bad,
              [&] { return cell_value_message(shown(cells.substr(bad, 1), encoding)); });
  }
  if (text.size() != width) {
    const bool longer = text.size() > width;
    found.add(Check::row_length, line.offset + (longer ? width : line.length), [&] {
      return row_length_message(static_cast<std::int64_t>(text.size()),
                                static_cast<std::int64_t>(width), index + 1 == state.grid_height);
    });
  }
}

class Checker {
 public:
  Checker(const CheckSettings& settings, const WveOutline& outline, TextEncoding encoding,
          PieceFindings& found, ConverterState& state, DirectiveScope& scope)
      : outline_(outline),
        encoding_(encoding),
        found_(found),
        state_(state),
        scope_(scope),
        timing_(settings.beats_per_measure > 0 ? settings.beats_per_measure
                                               : outline.largest_beat) {}

  bool line(const WveLine& line, LineKind kind) {
    found_.take(line);
    check_piece(line, found_);
    if (kind == LineKind::text) check_indented(line, found_);
    if (kind == LineKind::unknown_directive) {
      found_.add(Check::unknown_directive, line.offset, [&] {
        return unknown_directive_message(shown(directive_word(line.text), encoding_),
                                         shown(suggest_directive(line.text), encoding_));
      });
    }
    if (kind == LineKind::late_grid_size) {
      found_.add(Check::ignored_grid, line.offset, [&] {
        return ignored_grid_message(grid_seen_, state_.grid_width, state_.grid_height);
      });
      grid_seen_ = true;
    }
    return true;
  }

  bool frame_record(const WveLine& line, const FrameRecord& record) {
    if (static_cast<std::int64_t>(line.offset) == outline_.cut_record) {
      const std::int32_t rows_read = outline_.cut_rows_read;
      found_.add(Check::truncated_frame, line.offset,
                 [&] { return truncated_frame_message(rows_read, state_.grid_height); });
    }
    check_record(record, line.offset);
    // The panel as the painter brings it up to date: the next record's defaults come from it.
    update_pattern(state_.panel, record.pattern_number, false);
    update_measure_beat(state_.panel, record.measure, record.beat);
    return true;
  }

  // Rows written the usual way come as one block; those that hold nothing to find only move
  // the position on. A block of nothing but such rows is remembered.
  bool row_block(const RowBlock& block) {
    found_.flush();
    const std::uint64_t start = found_.next_offset();
    bool clean = true;
    for (std::int32_t index = 0; index < block.count; ++index) {
      WveLine line;
      line.text = block.row(index);
      line.offset = start + static_cast<std::uint64_t>(index) * block.stride;
      line.length = static_cast<std::uint32_t>(block.width);
      line.line_end = static_cast<std::uint8_t>(block.stride - block.width);
      if (line.text[0] != '*' && first_non_digit(line.text) == block.width &&
          found_.none_pending() && found_.last_ended_line()) {
        found_.step_over(line);
      } else {
        row(line, index);
        clean = false;
      }
    }
    return clean;
  }

  void repeated_rows(const RowBlock& block) {
    found_.flush();
    found_.step_over_repeat(block);
  }

  void row(const WveLine& line, std::int32_t index) {
    found_.take(line);
    check_piece(line, found_);
    check_row(line, index, state_, encoding_, found_);
  }

  bool frame_end(const FrameRecord&, std::int32_t) { return true; }

  void pattern(const WveLine& line, const PatternScan& scan) {
    update_pattern(state_.panel, scope_.pattern_number, !scope_.text().empty());
    if (scan.text_converted) {
      check_pattern_text(
          scan.text, line.offset + static_cast<std::uint64_t>(scan.text.data() - line.text.data()),
          found_);
    }
  }

  void grid_size(const WveLine& line, const GridScan& scan, bool taken);

 private:
  void check_record(const FrameRecord& record, std::uint64_t at);

  const WveOutline& outline_;
  TextEncoding encoding_;
  PieceFindings& found_;
  ConverterState& state_;
  DirectiveScope& scope_;
  FrameTiming timing_;
  bool grid_seen_ = false;
};

void Checker::grid_size(const WveLine& line, const GridScan& scan, bool taken) {
  grid_seen_ = true;
  const std::int32_t width = state_.grid_width, height = state_.grid_height;
  if (!scan.width_converted) {
    found_.add(Check::grid_size, line.offset,
               [&] { return grid_without_number_message(width, height); });
  } else if (!taken) {
    found_.add(Check::grid_size, line.offset, [&] {
      return grid_refused_message(scan.width, scan.height_converted ? scan.height : height, width,
                                  height);
    });
  } else {
    std::string message = grid_fit_message(width, height);
    if (!message.empty()) found_.add(Check::grid_size, line.offset, [&] { return message; });
  }
}

// A frame record: its form, its division, a measure the panel hides, and its timing.
void Checker::check_record(const FrameRecord& record, std::uint64_t at) {
  if (record.numbers != 3 && record.numbers != 5) {
    found_.add(Check::frame_record, at, [&] { return frame_record_message(record.numbers); });
  }
  if (record.numbers == 5 && (record.beat_division <= 0 || record.beat_division > 24)) {
    found_.add(Check::division, at, [&] { return division_message(record.beat_division); });
  }
  const std::int32_t shown_measure = state_.panel.shown_measure;
  const bool hidden = record.measure != shown_measure && record.beat == state_.panel.shown_beat;
  if (take_beat_division(state_, record) && state_.beat_division >= 1 &&
      state_.beat_division <= 24 && 24 % state_.beat_division != 0) {
    found_.add(Check::division_drift, at,
               [&] { return division_drift_message(state_.beat_division); });
  }
  if (hidden) {
    found_.add(Check::hidden_measure, at,
               [&] { return hidden_measure_message(record.measure, record.beat, shown_measure); });
  }
  PlayPosition played;
  std::int64_t stamped = 0;
  if (timing_.frame(record.numbers, record.measure, record.beat, state_.beat_division, played,
                    stamped)) {
    found_.add(Check::timing, at, [&] {
      return timing_message(record.measure, record.beat, played, stamped,
                            timing_.beats_per_measure());
    });
  }
}

}  // namespace

bool check_wve(ByteSource& source, const WveOutline& outline, std::string_view file,
               const CheckSettings& settings, FindingWriter& writer) {
  auto input = std::make_unique<WveReader>(source);
  ConverterState state;
  DirectiveScope scope;
  PieceFindings found(file, settings.ignored, writer);
  Checker checker(settings, outline, writer.encoding(), found, state, scope);
  const WalkEnd end = walk_directives(*input, state, scope, checker);
  found.flush();
  const std::int64_t marker = input->end_marker();
  if (end == WalkEnd::input_ended && marker >= 0 && outline.bytes_after_end_marker) {
    found.add_after_last(Check::after_eof_marker, static_cast<std::uint64_t>(marker),
                         after_eof_marker_message(), '\x1a');
  }
  return !input->failed();
}

bool check_text(std::string_view bytes, std::string_view file, const CheckSettings& settings,
                FindingWriter& writer, std::size_t piece) {
  MemorySource source(bytes, piece);
  const WveOutline outline = outline_wve(source);
  source.rewind();
  return check_wve(source, outline, file, settings, writer) && !outline.read_failed;
}

}  // namespace mosaiq::check
