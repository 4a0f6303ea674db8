#include "check/wve_check.h"

#include <algorithm>
#include <memory>
#include <string>

#include "check/directive_suggestion.h"
#include "check/display_text.h"
#include "check/finding_messages.h"
#include "check/piece_findings.h"
#include "check/row_checks.h"
#include "convert/converter_state.h"
#include "convert/directive_loop.h"
#include "convert/status_panel.h"
#include "platform/character_set.h"
#include "platform/shift_jis.h"

namespace mosaiq::check {

namespace {

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

// Follows the frame records for the timing: their stamps, divisions and lines.
struct TimingReader {
  ConverterState& state;
  TimingAnalysis& timing;
  FilePosition position;

  bool line(const WveLine& line, LineKind kind) {
    position.step_over(line);
    if ((kind == LineKind::text || kind == LineKind::unknown_directive) &&
        looks_like_record(line.text)) {
      const Piece& piece = position.current();
      timing.lost_record({piece.offset, piece.line, piece.column, 0, 0, 0, state.beat_division,
                          state.beat_division});
    }
    return true;
  }
  bool frame_record(const WveLine&, const FrameRecord& record) {
    const Piece& piece = position.current();
    TimedRecord timed{piece.offset,   piece.line,  piece.column,        record.numbers,
                      record.measure, record.beat, state.beat_division, state.beat_division};
    take_beat_division(state, record);
    timed.division_after = state.beat_division;
    timing.frame(timed);
    return true;
  }
  bool row_block(const RowBlock& block) {
    position.step_over_repeat(block);
    return true;
  }
  void repeated_rows(const RowBlock& block) { position.step_over_repeat(block); }
  void row(const WveLine& line, std::int32_t) {
    position.step_over(line);
    if (looks_like_record(line.text)) {
      const Piece& piece = position.current();
      TimedRecord lost{piece.offset,        piece.line,         piece.column, 0, 0, 0,
                       state.beat_division, state.beat_division};
      lost.row = true;
      timing.lost_record(lost);
    }
  }
  bool frame_end(const FrameRecord&, std::int32_t) { return true; }
  void pattern(const WveLine&, const PatternScan&) {}
  void grid_size(const WveLine&, const GridScan&, bool) {}
};

// A line's own findings, before what it says is looked at: a NUL byte, a line too long, a
// byte-order mark, no frame in the whole file.
void check_piece(const WveLine& line, const WveOutline& outline, PieceFindings& found) {
  if (line.text.size() < line.length) {
    found.add(Check::nul_byte, line.offset + line.text.size(), [] { return nul_byte_message(); });
  }
  if (line.line_end == 0 && line.length == WveReader::line_limit && found.current().column == 1) {
    found.add(Check::long_line, line.offset + WveReader::line_limit - 1,
              [] { return long_line_message(); });
  }
  if (line.offset != 0) return;
  if (outline.byte_order_mark) {
    found.add(Check::byte_order_mark, 0,
              [&] { return byte_order_mark_message(line.text.size() > 3 && line.text[3] == '*'); });
  }
  if (outline.frames == 0) found.add(Check::no_frames, 0, [] { return no_frames_message(false); });
}

// A line of text: a directive it was meant to be, or text saved in the wrong encoding.
void check_text_line(const WveLine& line, TextEncoding encoding, PieceFindings& found) {
  const std::string_view text = line.text;
  std::size_t at = 0;
  while (at < text.size() && is_blank(text[at])) ++at;
  if (at > 0 && at < text.size() && text[at] == '*') {
    found.add(Check::indented_directive, line.offset + at,
              [] { return indented_directive_message(); });
  }
  if (begins_with_full_width_star(text)) {
    const bool utf8 = static_cast<unsigned char>(text[at]) == 0xef;
    found.add(Check::full_width, line.offset + at, [&] {
      return full_width_star_message(
          utf8 && encoding == TextEncoding::utf8 ? "\xef\xbc\x8a" : shown("\x81\x96", encoding));
    });
  } else if (is_utf8_beyond_ascii(
                 text.substr(line.offset == 0 && text.substr(0, 3) == "\xef\xbb\xbf" ? 3 : 0))) {
    found.add(Check::utf8_text, line.offset, [] { return utf8_text_message(false); });
  }
}

// A pattern text: UTF-8 where Shift_JIS belongs, broken double-byte characters, and a width
// the panel cannot show.
void check_pattern_text(std::string_view text, std::uint64_t offset, PieceFindings& found) {
  if (is_utf8_beyond_ascii(text)) {
    found.add(Check::utf8_text, offset, [] { return utf8_text_message(true); });
    return;
  }
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

}  // namespace

namespace {

// The findings a grid cause brings: the rows' the outline counted, and the timing's after it.
Cascade timing_cascade(const WveOutline& outline, const std::vector<TimingFinding>& timing) {
  Cascade cascade = outline.cascade;
  if (!outline.grid_cause.found) return cascade;
  for (const TimingFinding& finding : timing) {
    if (finding.record < outline.grid_cause.offset) continue;
    cascade.first_line =
        cascade.count == 0 ? finding.line : std::min(cascade.first_line, finding.line);
    cascade.count += 1 + finding.folded;
    cascade.last_line = std::max(cascade.last_line, finding.last_line);
  }
  return cascade;
}

class Checker {
 public:
  Checker(const CheckSettings& settings, const WveOutline& outline,
          const std::vector<TimingFinding>& timing, TextEncoding encoding, PieceFindings& found,
          ConverterState& state, DirectiveScope& scope)
      : settings_(settings),
        outline_(outline),
        timing_(timing),
        encoding_(encoding),
        found_(found),
        state_(state),
        scope_(scope),
        cascade_(timing_cascade(outline, timing)) {}

  bool line(const WveLine& line, LineKind kind) {
    found_.take(line);
    check_piece(line, outline_, found_);
    if (kind == LineKind::text) check_text_line(line, encoding_, found_);
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
    const WveOutline::AfterEnd& after = outline_.after_end;
    if (kind == LineKind::end && after.records + after.patterns > 0) {
      found_.add(Check::after_end, line.offset, [&] {
        return after_end_message(after.records, after.patterns, after.first_line, after.last_line);
      });
    }
    if (kind != LineKind::grid_size) note_cause(line.offset);
    return true;
  }

  bool frame_record(const WveLine& line, const FrameRecord& record) {
    const std::uint64_t at = line.offset;
    record_line_ = found_.current().line;
    in_empty_frame_ =
        std::binary_search(outline_.empty_frames.begin(), outline_.empty_frames.end(), at);
    if (in_empty_frame_) found_.add(Check::row_length, at, [] { return empty_frame_message(); });
    if (static_cast<std::int64_t>(at) == outline_.cut_record) {
      const std::int32_t rows_read = outline_.cut_rows_read;
      cascading(Check::truncated_frame, at,
                [&] { return truncated_frame_message(rows_read, state_.grid_height); });
    }
    check_pattern_use(record, at);
    check_record(record, at);
    for (; next_timing_ < timing_.size() && timing_[next_timing_].record <= at; ++next_timing_) {
      const TimingFinding& timing = timing_[next_timing_];
      if (timing.lost_row >= 0 && !settings_.all) continue;  // told under the row that caused it
      Finding* finding = cascading(timing.check, at, [&] { return timing.message; });
      if (finding != nullptr) {
        finding->notes.insert(finding->notes.begin(), timing.notes.begin(), timing.notes.end());
      }
    }
    // The panel as the painter brings it up to date: the next record's defaults come from it.
    update_pattern(state_.panel, record.pattern_number, false);
    update_measure_beat(state_.panel, record.measure, record.beat);
    return true;
  }

  // Rows written the usual way come as one block; those that hold nothing to find only move
  // the position on. A block of nothing but such rows is remembered.
  bool row_block(const RowBlock& block) {
    found_.flush();
    FilePosition& position = found_.position();
    const std::uint64_t start = position.next_offset();
    bool clean = true;
    for (std::int32_t index = 0; index < block.count; ++index) {
      const WveLine line = position.block_row(block, index, start);
      if (!examine_row(line.text, block.width).any() && found_.none_pending() &&
          position.last_ended_line()) {
        position.step_over(line);
      } else {
        row(line, index);
        clean = false;
      }
    }
    return clean;
  }

  void repeated_rows(const RowBlock& block) {
    found_.flush();
    found_.position().step_over_repeat(block);
  }

  void row(const WveLine& line, std::int32_t index);

  bool frame_end(const FrameRecord&, std::int32_t) { return true; }

  void pattern(const WveLine& line, const PatternScan& scan) {
    update_pattern(state_.panel, scope_.pattern_number, !scope_.text().empty());
    const std::vector<WveOutline::Overwritten>& overwritten = outline_.overwritten;
    while (next_overwritten_ < overwritten.size() &&
           overwritten[next_overwritten_].offset < line.offset) {
      ++next_overwritten_;
    }
    if (next_overwritten_ < overwritten.size() &&
        overwritten[next_overwritten_].offset == line.offset) {
      const WveOutline::Overwritten& run = overwritten[next_overwritten_];
      found_.add(Check::pattern_overwritten, line.offset,
                 [&] { return pattern_overwritten_message(run.replaced, run.seen_line); });
      replaced_left_ = run.replaced + 1;
    }
    // An announcement replaced before it is seen: that is the one finding of it.
    const bool replaced = replaced_left_ > 1;
    if (replaced_left_ > 0) --replaced_left_;
    if (!replaced && scan.number_converted && outline_.patterns_known && outline_.frames > 0 &&
        outline_.used.count(scan.number) == 0) {
      found_.add(Check::pattern_unused, line.offset,
                 [&] { return pattern_unused_message(scan.number); });
    }
    if (scan.text_converted) {
      check_pattern_text(
          scan.text, line.offset + static_cast<std::uint64_t>(scan.text.data() - line.text.data()),
          found_);
    }
  }

  void grid_size(const WveLine& line, const GridScan& scan, bool taken);

 private:
  void check_record(const FrameRecord& record, std::uint64_t at);
  void check_pattern_use(const FrameRecord& record, std::uint64_t at);

  // A finding of a check that a grid cause may bring. After the cause, such findings are
  // folded into the cause's own finding, which says how many follow from it; when that one is
  // not written (its check ignored), into the first of them.
  template <class Message>
  Finding* cascading(Check check, std::uint64_t offset, Message&& message) {
    const GridCause& cause = outline_.grid_cause;
    if (!cause.found || offset < cause.offset || !check::cascading(check) || settings_.all) {
      return found_.add(check, offset, message);
    }
    if (cause_noted_) return nullptr;
    Finding* finding = found_.add(check, offset, message);
    if (finding == nullptr) return nullptr;
    cause_noted_ = true;
    finding->notes.push_back(
        {cause.line, cause.column,
         grid_cause_note(cause.reason, state_.grid_width, state_.grid_height)});
    if (cascade_.count > 1) {
      finding->notes.push_back(
          {finding->line, 1, fold_note(cascade_.count - 1, finding->line, cascade_.last_line)});
    }
    return finding;
  }

  // After the grid cause's own line: its finding says how many findings follow from it.
  void note_cause(std::uint64_t offset) {
    const GridCause& cause = outline_.grid_cause;
    if (!cause.found || offset != cause.offset || settings_.all || cascade_.count == 0) return;
    Finding* finding = found_.first_pending();
    if (finding == nullptr) return;
    cause_noted_ = true;
    finding->notes.push_back(
        {cascade_.first_line, 1,
         grid_cascade_note(state_.grid_width, state_.grid_height, cascade_.count,
                           cascade_.first_line, cascade_.last_line)});
  }

  const CheckSettings& settings_;
  const WveOutline& outline_;
  const std::vector<TimingFinding>& timing_;
  TextEncoding encoding_;
  PieceFindings& found_;
  ConverterState& state_;
  DirectiveScope& scope_;
  std::size_t next_timing_ = 0;
  std::size_t next_overwritten_ = 0;
  std::uint64_t replaced_left_ = 0;  // the announcements of a replaced run still to come
  std::uint64_t record_line_ = 1;    // the line of the frame record whose rows are being read
  bool grid_seen_ = false;
  bool in_empty_frame_ = false;
  Cascade cascade_;           // the findings the grid cause brings, the timing's included
  bool cause_noted_ = false;  // a finding already says how many follow from the grid cause
  std::set<std::int32_t> unannounced_said_;
};

// A row read one by one: a "*" where a directive was meant, characters typed with the input
// method on, cells that are no colour digit, a length other than the grid's width.
void Checker::row(const WveLine& line, std::int32_t index) {
  found_.take(line);
  check_piece(line, outline_, found_);
  if (in_empty_frame_) return;  // the frame's one finding says it all
  const auto width = static_cast<std::size_t>(state_.grid_width);
  const RowExamination found = examine_row(line.text, width);
  const std::string_view text = line.text;
  if (found.directive) {
    Finding* finding = cascading(Check::row_looks_like_directive, line.offset,
                                 [] { return row_directive_message(); });
    if (finding != nullptr && looks_like_record(text) && !settings_.all) {
      // A row missing before a frame record: one mistake, one finding, its slips as notes.
      finding->notes.push_back({record_line_, 1, missing_row_note(index, state_.grid_height)});
      for (const TimingFinding& timing : timing_) {
        if (timing.lost_row == static_cast<std::int64_t>(line.offset)) {
          finding->notes.push_back({timing.line, 1, timing.message});
        }
      }
      return;
    }
  }
  if (found.full_width != nowhere) {
    found_.add(Check::full_width, line.offset + found.full_width, [&] {
      const std::size_t size = static_cast<unsigned char>(text[found.full_width]) == 0xef ? 3 : 2;
      return full_width_row_message(shown(text.substr(found.full_width, size),
                                          size == 3 ? TextEncoding::file_bytes : encoding_));
    });
  }
  if (found.bad_cell != nowhere) {
    cascading(Check::cell_value, line.offset + found.bad_cell,
              [&] { return cell_value_message(shown(text.substr(found.bad_cell, 1), encoding_)); });
  }
  if (found.length) {
    const bool longer = text.size() > width;
    cascading(Check::row_length, line.offset + (longer ? width : line.length), [&] {
      return row_length_message(static_cast<std::int64_t>(text.size()),
                                static_cast<std::int64_t>(width), index + 1 == state_.grid_height);
    });
  }
}

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
    if (!scan.height_converted) {
      found_.add(Check::grid_partial, line.offset,
                 [&] { return grid_partial_message(width, height); });
    }
    std::string message = grid_fit_message(width, height);
    if (!message.empty()) found_.add(Check::grid_size, line.offset, [&] { return message; });
  }
  note_cause(line.offset);
}

// A frame record: its form, its division, and a measure the panel hides.
void Checker::check_record(const FrameRecord& record, std::uint64_t at) {
  if (record.numbers != 3 && record.numbers != 5) {
    found_.add(Check::frame_record, at, [&] { return frame_record_message(record.numbers); });
  }
  if (record.numbers == 5 && (record.beat_division < 0 || record.beat_division > finest_division)) {
    found_.add(Check::division, at, [&] { return division_message(record.beat_division); });
  }
  const std::int32_t shown_measure = state_.panel.shown_measure;
  const bool hidden = record.measure != shown_measure && record.beat == state_.panel.shown_beat;
  if (take_beat_division(state_, record) && state_.beat_division >= 1 &&
      state_.beat_division <= finest_division && !keeps_time(state_.beat_division)) {
    found_.add(Check::division_drift, at,
               [&] { return division_drift_message(state_.beat_division); });
  }
  if (hidden) {
    found_.add(Check::hidden_measure, at,
               [&] { return hidden_measure_message(record.measure, record.beat, shown_measure); });
  }
}

// A pattern number the file never announces, while it announces others.
void Checker::check_pattern_use(const FrameRecord& record, std::uint64_t at) {
  const std::int32_t number = record.pattern_number;
  if (record.numbers < 1 || !outline_.patterns_known || outline_.announced.empty() ||
      outline_.announced.count(number) != 0 || !unannounced_said_.insert(number).second) {
    return;
  }
  found_.add(Check::pattern_unannounced, at, [&] { return pattern_unannounced_message(number); });
}

TimingSettings timing_settings(const CheckSettings& settings, const WveOutline& outline,
                               std::unique_ptr<MeasureMap>& measures) {
  TimingSettings timing;
  timing.fold = !settings.all;
  if (settings.song != nullptr) {
    measures = std::make_unique<MeasureMap>(*settings.song);
    timing.first_frame = first_frame_position(*measures);
  } else {
    timing.beats_per_measure =
        settings.beats_per_measure > 0 ? settings.beats_per_measure : outline.beats_per_measure;
    measures = std::make_unique<MeasureMap>(timing.beats_per_measure, 4);
  }
  timing.measures = measures.get();
  return timing;
}

// Follows the timing of the file's frames; the source is read from its start.
std::vector<TimingFinding> analyse_timing(ByteSource& source, const WveOutline& outline,
                                          const CheckSettings& settings) {
  std::unique_ptr<MeasureMap> measures;
  TimingAnalysis timing(timing_settings(settings, outline, measures));
  auto input = std::make_unique<WveReader>(source);
  ConverterState state;
  DirectiveScope scope;
  TimingReader reader{state, timing, {}};
  walk_directives(*input, state, scope, reader);
  timing.finish();
  return timing.findings();
}

// Writes the file's findings, in the order of the file, through the writer. The source is read
// from its start; `outline` is what outline_wve() found in it, `timing` what analyse_timing()
// did. Returns false when a read of the source failed (the findings stop there).
bool check_wve(ByteSource& source, const WveOutline& outline,
               const std::vector<TimingFinding>& timing, std::string_view file,
               const CheckSettings& settings, FindingSink& writer) {
  auto input = std::make_unique<WveReader>(source);
  ConverterState state;
  DirectiveScope scope;
  PieceFindings found(file, settings.ignored, writer);
  Checker checker(settings, outline, timing, writer.encoding(), found, state, scope);
  const WalkEnd end = walk_directives(*input, state, scope, checker);
  found.flush();
  if (outline.empty && !found.ignored(Check::no_frames)) {
    found.add_after_last(Check::no_frames, 0, no_frames_message(true), "");
  }
  const std::int64_t marker = input->end_marker();
  if (end == WalkEnd::input_ended && marker >= 0 && outline.bytes_after_end_marker) {
    found.add_after_last(Check::after_eof_marker, static_cast<std::uint64_t>(marker),
                         after_eof_marker_message(), "\x1a");
  }
  return !input->failed();
}

}  // namespace

bool check_source(ByteSource& source, std::string_view file, const CheckSettings& settings,
                  FindingSink& writer) {
  const WveOutline outline = outline_wve(source);
  if (outline.read_failed || !source.rewind()) return false;
  const std::vector<TimingFinding> timing = analyse_timing(source, outline, settings);
  return source.rewind() && check_wve(source, outline, timing, file, settings, writer);
}

}  // namespace mosaiq::check
