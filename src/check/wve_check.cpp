#include "check/wve_check.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "check/directive_suggestion.h"
#include "check/display_text.h"
#include "check/finding_messages.h"
#include "check/frame_timing.h"
#include "cli/shift_jis.h"
#include "convert/converter_state.h"
#include "convert/directive_loop.h"
#include "convert/row_bytes.h"
#include "convert/status_panel.h"
#include "convert/wrd_writer.h"

namespace mosaiq::check {

namespace {

// The panel's lines are written nowhere: the check only follows what the panel shows.
class NullSink : public ByteSink {
 public:
  bool write(const char*, std::size_t) override { return true; }
};

// The piece of a line being looked at, and where it stands.
struct Piece {
  std::uint64_t offset = 0;
  std::uint64_t line = 1;
  std::uint64_t column = 1;
  std::string_view raw;  // its bytes without the line end, valid while it is looked at
};

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

class Checker {
 public:
  Checker(std::string_view file, const CheckSettings& settings, FindingWriter& writer,
          ConverterState& state, DirectiveScope& scope)
      : file_(file),
        settings_(settings),
        writer_(writer),
        state_(state),
        scope_(scope),
        timing_(settings.beats_per_measure > 0 ? settings.beats_per_measure : 1) {}

  bool line(const WveLine& line, LineKind kind) {
    begin_piece(line);
    switch (kind) {
      case LineKind::text: check_indented(line); break;
      case LineKind::unknown_directive:
        add(Check::unknown_directive, line.offset, [&] {
          std::string word, suggestion;
          append_display(directive_word(line.text), writer_.encoding(), word);
          append_display(suggest_directive(line.text), writer_.encoding(), suggestion);
          return unknown_directive_message(word, suggestion);
        });
        break;
      case LineKind::late_grid_size:
        add(Check::ignored_grid, line.offset, [&] {
          return ignored_grid_message(grid_seen_, state_.grid_width, state_.grid_height);
        });
        grid_seen_ = true;
        break;
      default: break;
    }
    return true;
  }

  bool frame_record(const WveLine&, const FrameRecord& record) {
    ++summary_.frames;
    check_record(record);
    // The panel as the painter brings it up to date: the next record's defaults come from it.
    show_pattern(state_, record.pattern_number, {});
    show_measure_beat(state_, record.measure, record.beat);
    // The record's findings wait for its rows: a frame cut short is found only at its end.
    record_ = current_;
    record_raw_length_ = current_.raw.size();
    std::memcpy(record_raw_, current_.raw.data(), record_raw_length_);
    record_.raw = std::string_view(record_raw_, record_raw_length_);
    record_findings_ = std::move(pending_);
    pending_.clear();
    writer_.hold();
    return true;
  }

  // Rows written the usual way come as one block; those that hold nothing to find only move
  // the line count on.
  std::int32_t rows(WveReader& input, std::int32_t count) {
    if (clean_length_ > 0 && last_ended_line_ && pending_.empty() &&
        input.skip_repeat({clean_rows_, clean_length_})) {
      // The same bytes as the last block, which held nothing to find: nor do these.
      last_raw_ = std::string_view(clean_rows_ + clean_length_ - clean_stride_,
                                   static_cast<std::size_t>(state_.grid_width));
      last_column_ = 1;
      next_offset_ += clean_length_;
      line_number_ += static_cast<std::uint64_t>(count);
      line_start_ = next_offset_;
      return count;
    }
    clean_length_ = 0;
    const auto width = static_cast<std::size_t>(state_.grid_width);
    std::size_t stride = 0;
    const std::string_view block = input.take_rows(width, count, stride);
    if (block.empty()) return read_rows(input, state_, 0, count, *this);
    const std::uint64_t start = next_offset_;
    bool clean = true;
    for (std::int32_t index = 0; index < count; ++index) {
      const std::size_t at = static_cast<std::size_t>(index) * stride;
      WveLine row_line;
      row_line.text = block.substr(at, width);
      row_line.offset = start + at;
      row_line.length = static_cast<std::uint32_t>(width);
      row_line.line_end = static_cast<std::uint8_t>(stride - width);
      if (row_line.text[0] != '*' && first_non_digit(row_line.text) == width && pending_.empty() &&
          last_ended_line_) {
        step_over(row_line);
      } else {
        row(row_line, index);
        clean = false;
      }
    }
    if (clean && block.size() <= sizeof clean_rows_) {
      std::memcpy(clean_rows_, block.data(), block.size());
      clean_length_ = block.size();
      clean_stride_ = stride;
    }
    return count;
  }

  void row(const WveLine& line, std::int32_t index) {
    begin_piece(line);
    const std::string_view text = line.text;
    if (!text.empty() && text[0] == '*') {
      add(Check::row_looks_like_directive, line.offset, [] { return row_directive_message(); });
    }
    const auto width = static_cast<std::size_t>(state_.grid_width);
    if (width == 0) return;  // a grid without cells: nothing of its rows is painted
    const std::string_view cells = text.substr(0, width);
    const std::size_t bad = first_non_digit(cells);
    if (bad < cells.size()) {
      add(Check::cell_value, line.offset + bad, [&] {
        std::string shown;
        append_display(cells.substr(bad, 1), writer_.encoding(), shown);
        return cell_value_message(shown);
      });
    }
    if (text.size() != width) {
      const bool longer = text.size() > width;
      add(Check::row_length, line.offset + (longer ? width : line.length), [&] {
        return row_length_message(static_cast<std::int64_t>(text.size()),
                                  static_cast<std::int64_t>(width),
                                  index + 1 == state_.grid_height);
      });
    }
  }

  bool frame_end(const FrameRecord&, std::int32_t rows_read) {
    flush_pending();
    writer_.stop_holding();
    std::swap(pending_, record_findings_);
    if (rows_read < state_.grid_height) {
      const Piece piece = current_;
      current_ = record_;
      add(Check::truncated_frame, record_.offset,
          [&] { return truncated_frame_message(rows_read, state_.grid_height); });
      current_ = piece;
    } else {
      ++summary_.complete_frames;
    }
    flush_pending();
    std::swap(pending_, record_findings_);
    writer_.release();
    return true;
  }

  void pattern(const WveLine& line, const PatternScan& scan) {
    ++summary_.patterns;
    show_pattern(state_, scope_.pattern_number, scope_.text());
    if (scan.text_converted) {
      check_pattern_text(
          scan.text, line.offset + static_cast<std::uint64_t>(scan.text.data() - line.text.data()));
    }
  }

  void grid_size(const WveLine& line, const GridScan& scan, bool taken) {
    grid_seen_ = true;
    if (!scan.width_converted) {
      add(Check::grid_size, line.offset,
          [&] { return grid_without_number_message(state_.grid_width, state_.grid_height); });
    } else if (!taken) {
      add(Check::grid_size, line.offset, [&] {
        return grid_refused_message(scan.width,
                                    scan.height_converted ? scan.height : state_.grid_height,
                                    state_.grid_width, state_.grid_height);
      });
    } else {
      std::string message = grid_fit_message(state_.grid_width, state_.grid_height);
      if (!message.empty()) add(Check::grid_size, line.offset, [&] { return std::move(message); });
    }
  }

  // After the walk: the last piece's findings, and bytes after a 0x1A that ended the input.
  void finish(WalkEnd end, const WveReader& input, CheckedSource& source) {
    flush_pending();
    const std::int64_t marker = input.end_marker();
    if (end != WalkEnd::input_ended || marker < 0 ||
        !source.bytes_after(static_cast<std::uint64_t>(marker))) {
      return;
    }
    // The marker stands on the line of the last piece, unless that one ended its line.
    const auto at = static_cast<std::uint64_t>(marker);
    const bool same_line = last_raw_.data() != nullptr && !last_ended_line_;
    std::string shown = same_line ? std::string(last_raw_) : std::string();
    shown += '\x1a';
    current_ = Piece{at, line_number_, at - line_start_ + 1, {}};
    pending_.push_back(Finding{Check::after_eof_marker, at, current_.line, current_.column,
                               after_eof_marker_message(), shown,
                               same_line ? last_column_ : current_.column});
    if (settings_.ignored[static_cast<int>(Check::after_eof_marker)]) pending_.clear();
    flush_pending();
  }

  CheckSummary summary() const {
    CheckSummary summary = summary_;
    summary.beats_per_measure = timing_.beats_per_measure();
    return summary;
  }

 private:
  // A new piece: the findings of the last one go out, and this one's position is taken.
  void begin_piece(const WveLine& line) {
    flush_pending();
    step_over(line);
    if (line.text.size() < line.length) {
      add(Check::nul_byte, line.offset + line.text.size(), [] { return nul_byte_message(); });
    }
    if (line.line_end == 0 && line.length == WveReader::line_limit && current_.column == 1) {
      add(Check::long_line, line.offset + WveReader::line_limit - 1,
          [] { return long_line_message(); });
    }
  }

  // Makes the piece the current one and moves the position past it. Alone, for a row that holds
  // nothing to find.
  void step_over(const WveLine& line) {
    current_ = Piece{line.offset, line_number_, line.offset - line_start_ + 1, line.raw()};
    last_raw_ = current_.raw;
    last_column_ = current_.column;
    last_ended_line_ = line.line_end != 0;
    next_offset_ = line.offset + line.length + line.line_end;
    if (line.line_end != 0) {
      ++line_number_;
      line_start_ = next_offset_;
    }
  }

  // A finding at `offset` within the current piece; the message is made only when the check
  // is not ignored.
  template <class Message>
  void add(Check check, std::uint64_t offset, Message&& message) {
    if (settings_.ignored[static_cast<int>(check)]) return;
    pending_.push_back(Finding{check, offset, current_.line,
                               current_.column + (offset - current_.offset), message(),
                               std::string(current_.raw), current_.column});
  }

  void flush_pending() {
    if (pending_.empty()) return;
    std::stable_sort(pending_.begin(), pending_.end(), [](const Finding& a, const Finding& b) {
      return a.offset != b.offset ? a.offset < b.offset : a.check < b.check;
    });
    for (const Finding& finding : pending_) writer_.write(file_, finding);
    pending_.clear();
  }

  void check_indented(const WveLine& line) {
    const std::string_view text = line.text;
    std::size_t at = 0;
    while (at < text.size() && is_blank(text[at])) ++at;
    if (at > 0 && at < text.size() && text[at] == '*') {
      add(Check::indented_directive, line.offset + at, [] { return indented_directive_message(); });
    }
  }

  void check_record(const FrameRecord& record) {
    const std::uint64_t at = current_.offset;
    if (record.numbers != 3 && record.numbers != 5) {
      add(Check::frame_record, at, [&] { return frame_record_message(record.numbers); });
    }
    if (record.numbers == 5 && (record.beat_division <= 0 || record.beat_division > 24)) {
      add(Check::division, at, [&] { return division_message(record.beat_division); });
    }
    const bool hidden = record.measure != state_.shown_measure && record.beat == state_.shown_beat;
    const std::int32_t shown_measure = state_.shown_measure;
    if (take_beat_division(state_, record) && state_.beat_division >= 1 &&
        state_.beat_division <= 24 && 24 % state_.beat_division != 0) {
      add(Check::division_drift, at, [&] { return division_drift_message(state_.beat_division); });
    }
    if (hidden) {
      add(Check::hidden_measure, at,
          [&] { return hidden_measure_message(record.measure, record.beat, shown_measure); });
    }
    follow_measure_length(record);
    PlayPosition played;
    std::int64_t stamped = 0;
    if (timing_.frame(record.numbers, record.measure, record.beat, state_.beat_division, played,
                      stamped)) {
      depend_on_measure_length();
      add(Check::timing, at, [&] {
        return timing_message(record.measure, record.beat, played, stamped,
                              timing_.beats_per_measure());
      });
    }
  }

  // Without a measure length given, the largest beat so far stands in for the file's. Stamps
  // in measure 1 do not depend on it; the first one elsewhere, or the first timing finding,
  // does, and then the length must not grow any more.
  void follow_measure_length(const FrameRecord& record) {
    if (settings_.beats_per_measure > 0 || record.numbers < 3) return;
    if (record.beat > timing_.beats_per_measure()) {
      timing_.set_beats_per_measure(record.beat);
      if (depended_) summary_.timing_exact = false;
    }
    if (record.measure != 1) depend_on_measure_length();
  }

  void depend_on_measure_length() { depended_ = true; }

  void check_pattern_text(std::string_view text, std::uint64_t offset) {
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
        add(Check::shift_jis, offset + at, [&] { return shift_jis_message(bytes[at], next); });
        reported = true;
      }
    }
    if (columns > 67) {
      add(Check::pattern_text_width, offset, [&] { return pattern_text_width_message(columns); });
    }
  }

  std::string_view file_;
  const CheckSettings& settings_;
  FindingWriter& writer_;
  ConverterState& state_;
  DirectiveScope& scope_;
  FrameTiming timing_;
  CheckSummary summary_;

  Piece current_;
  std::vector<Finding> pending_;  // the current piece's findings, out when the next one comes
  Piece record_;                  // the frame record whose rows are being read
  char record_raw_[WveReader::line_limit];
  std::size_t record_raw_length_ = 0;
  std::vector<Finding> record_findings_;

  std::uint64_t line_number_ = 1;  // the line the next piece starts on
  std::uint64_t line_start_ = 0;   // where that line starts
  std::uint64_t next_offset_ = 0;  // where the next piece starts
  std::string_view last_raw_;
  std::uint64_t last_column_ = 1;
  bool last_ended_line_ = true;
  bool grid_seen_ = false;
  bool depended_ = false;  // the measure length in use has mattered
  // The last block of rows, when it held nothing to find.
  char clean_rows_[4096];
  std::size_t clean_length_ = 0;
  std::size_t clean_stride_ = 0;
};

}  // namespace

CheckSummary check_wve(CheckedSource& source, std::string_view file, const CheckSettings& settings,
                       FindingWriter& writer) {
  WveReader input(source);
  NullSink sink;
  WrdWriter panel(sink);
  ConverterState state;
  reset_for_file(state);
  state.output_file = &panel;
  DirectiveScope scope;
  Checker checker(file, settings, writer, state, scope);
  const WalkEnd end = walk_directives(input, state, scope, checker);
  checker.finish(end, input, source);
  CheckSummary summary = checker.summary();
  summary.read_failed = input.failed();
  return summary;
}

}  // namespace mosaiq::check
