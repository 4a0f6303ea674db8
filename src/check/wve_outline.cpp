#include "check/wve_outline.h"

#include <map>
#include <memory>

#include "check/piece_findings.h"
#include "check/row_checks.h"
#include "convert/directive_loop.h"
#include "platform/character_set.h"

namespace mosaiq::check {

namespace {

// Beyond these, a file is followed less closely: the pattern numbers and the frames of empty
// rows are not kept, and measures' largest beats not counted.
constexpr std::size_t most_kept = 4096;
constexpr std::size_t most_empty_frames = 65536;

// Counts the bytes the reader takes from the source.
class CountingSource : public ByteSource {
 public:
  explicit CountingSource(ByteSource& source) : source_(source) {}
  long read(char* buffer, std::size_t size) override {
    const long count = source_.read(buffer, size);
    if (count > 0) delivered_ += static_cast<std::uint64_t>(count);
    return count;
  }
  // Whether the source holds any byte after `offset`.
  bool bytes_after(std::uint64_t offset) {
    char byte;
    return delivered_ > offset + 1 || source_.read(&byte, 1) == 1;
  }
  std::uint64_t delivered() const { return delivered_; }

 private:
  ByteSource& source_;
  std::uint64_t delivered_ = 0;
};

bool folded_prefix(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (fold_ascii(text[i]) != fold_ascii(prefix[i])) return false;
  }
  return true;
}

// Why a line that is not read as "*nXY=" looks like one: empty when it does not.
std::string grid_line_reason(std::string_view text, bool at_start) {
  const bool mark = at_start && text.substr(0, 3) == "\xef\xbb\xbf";
  if (mark) text.remove_prefix(3);
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  const std::string_view rest = text.substr(at);
  if (mark && folded_prefix(rest, "*nxy")) {
    return "the byte-order mark before \"*nXY=\" keeps it from being read";
  }
  if (at > 0 && folded_prefix(rest, "*nxy")) {
    return "the blank before \"*nXY=\" keeps it from being read";
  }
  if (begins_with_full_width_star(rest) &&
      folded_prefix(rest.substr(rest[0] == '\x81' ? 2 : 3), "nxy")) {
    return "the full-width star of \"*nXY=\" keeps it from being read";
  }
  if (folded_prefix(rest, "*nxy") && rest.substr(0, 5) != "*nXY=") {
    return "\"" + std::string(rest.substr(0, 5)) +
           "\" is not read as \"*nXY=\": directive names are case-sensitive";
  }
  return {};
}

class Outliner {
 public:
  Outliner(const ConverterState& state, WveOutline& outline) : state_(state), outline_(outline) {}

  bool line(const WveLine& line, LineKind kind) {
    position_.step_over(line);
    if (line.offset == 0 && line.text.substr(0, 3) == "\xef\xbb\xbf")
      outline_.byte_order_mark = true;
    if (kind == LineKind::late_grid_size) {
      cause(line, "this \"*nXY=\" comes after another directive, and is ignored");
    } else if (kind == LineKind::text || kind == LineKind::unknown_directive) {
      const std::string reason = grid_line_reason(line.text, line.offset == 0);
      if (!reason.empty()) cause(line, reason);
    }
    return true;
  }

  bool frame_record(const WveLine& line, const FrameRecord& record) {
    ++outline_.frames;
    if (announcements_.replaced > 0 && outline_.overwritten.size() < most_kept) {
      outline_.overwritten.push_back(announcements_);
    }
    announcements_ = {0, 0, 0};
    announcing_ = false;
    if (record.numbers >= 1) keep(outline_.used, record.pattern_number);
    if (record.numbers >= 3) follow_measure(record.measure, record.beat);
    record_ = line.offset;
    record_line_ = position_.current().line;
    rows_empty_ = true;
    frame_tally_ = Cascade{};
    return true;
  }

  bool row_block(const RowBlock& block) {
    rows_empty_ = false;
    if (!outline_.grid_cause.found) {
      position_.step_over_repeat(block);
      return true;
    }
    return examine_block(block);
  }

  void repeated_rows(const RowBlock& block) {
    rows_empty_ = false;
    if (outline_.grid_cause.found) {
      examine_block(block);  // remembered, perhaps, before the rows were looked at
    } else {
      position_.step_over_repeat(block);
    }
  }

  void row(const WveLine& line, std::int32_t) {
    position_.step_over(line);
    rows_empty_ &= line.text.empty() && line.length == 0;
    examine(line);
  }

  bool frame_end(const FrameRecord&, std::int32_t rows_read);

  void pattern(const WveLine& line, const PatternScan& scan) {
    if (scan.number_converted) keep(outline_.announced, scan.number);
    const std::uint64_t at = position_.current().line;
    if (announcing_) {
      ++announcements_.replaced;
      announcements_.seen_line = at;
    } else {
      announcements_ = {line.offset, 0, at};
      announcing_ = true;
    }
  }

  // The lines after "*end": what of them was meant to be seen.
  void after_end(WveReader& input) {
    WveOutline::AfterEnd& after = outline_.after_end;
    WveLine line;
    while (input.next_line(line) == ReadStatus::line) {
      position_.step_over(line);
      const bool record = line.text.substr(0, 2) == "*f";
      const bool pattern = line.text.substr(0, 2) == "*p" || line.text.substr(0, 3) == "*cp";
      if (!record && !pattern) continue;
      after.records += record;
      after.patterns += pattern;
      if (after.first_line == 0) after.first_line = position_.current().line;
      after.last_line = position_.current().line;
    }
  }

  void grid_size(const WveLine& line, const GridScan& scan, bool taken) {
    if (!scan.width_converted) {
      cause(line, "this \"*nXY=\" has no number to read");
    } else if (!taken) {
      cause(line, "the grid this \"*nXY=\" asks for is not taken");
    } else if (!scan.height_converted) {
      cause(line, "this \"*nXY=\" sets the width alone");
    }
  }

  // The measure length most measures show: the largest beat of each measure, the most common.
  std::int64_t measure_length() {
    close_measure();
    std::int64_t best = 1;
    std::uint64_t most = 0;
    for (const auto& [beats, measures] : largest_beats_) {
      if (measures >= most) {
        most = measures;
        best = beats;
      }
    }
    return best < 1 ? 1 : best;
  }

 private:
  void cause(const WveLine& line, std::string reason) {
    GridCause& cause = outline_.grid_cause;
    if (cause.found) return;
    cause = GridCause{true, line.offset, position_.current().line, position_.current().column,
                      std::move(reason)};
  }

  bool examine_block(const RowBlock& block) {
    const std::uint64_t start = position_.next_offset();
    bool clean = true;
    for (std::int32_t index = 0; index < block.count; ++index) {
      const WveLine line = position_.block_row(block, index, start);
      position_.step_over(line);
      clean &= !examine(line);
    }
    return clean;
  }

  // Tallies the row's findings that the grid cause brings; true when it has any.
  bool examine(const WveLine& line) {
    const RowExamination found =
        examine_row(line.text, static_cast<std::size_t>(state_.grid_width));
    if (!outline_.grid_cause.found || line.offset < outline_.grid_cause.offset) return found.any();
    const std::uint64_t at = position_.current().line;
    for (int i = found.length + found.directive + (found.bad_cell != nowhere); i > 0; --i) {
      frame_tally_.add(at);
    }
    return found.any();
  }

  void follow_measure(std::int32_t measure, std::int32_t beat) {
    if (measure_seen_ && measure == measure_) {
      if (beat > largest_) largest_ = beat;
      return;
    }
    close_measure();
    measure_seen_ = true;
    measure_ = measure;
    largest_ = beat;
  }

  void close_measure() {
    if (!measure_seen_) return;
    measure_seen_ = false;
    if (largest_beats_.size() < most_kept || largest_beats_.count(largest_) != 0) {
      ++largest_beats_[largest_];
    }
  }

  void keep(std::set<std::int32_t>& numbers, std::int32_t number) {
    if (numbers.size() >= most_kept && numbers.count(number) == 0) {
      outline_.patterns_known = false;
      return;
    }
    numbers.insert(number);
  }

  const ConverterState& state_;
  WveOutline& outline_;
  FilePosition position_;
  std::uint64_t record_ = 0;
  std::uint64_t record_line_ = 1;
  bool rows_empty_ = true;
  Cascade frame_tally_;  // the findings of the frame's rows, until it is known whether they count
  bool announcing_ = false;  // pattern announcements since the last frame record
  WveOutline::Overwritten announcements_{0, 0, 0};
  bool measure_seen_ = false;
  std::int32_t measure_ = 0;
  std::int32_t largest_ = 0;
  std::map<std::int32_t, std::uint64_t> largest_beats_;  // by largest beat: how many measures
};

bool Outliner::frame_end(const FrameRecord&, std::int32_t rows_read) {
  const bool cut = rows_read < state_.grid_height;
  if (cut) {
    outline_.cut_record = static_cast<std::int64_t>(record_);
    outline_.cut_rows_read = rows_read;
    if (outline_.grid_cause.found && record_ >= outline_.grid_cause.offset) {
      outline_.cascade.add(record_line_);  // before its rows' findings, as written
    }
  }
  const bool empty = !cut && rows_empty_ && state_.grid_width > 0 && state_.grid_height > 0;
  if (empty) {
    if (outline_.empty_frames.size() < most_empty_frames) outline_.empty_frames.push_back(record_);
    return true;  // its rows make no findings: the frame makes one
  }
  outline_.cascade.add(frame_tally_);
  return true;
}

}  // namespace

WveOutline outline_wve(ByteSource& source) {
  WveOutline outline;
  CountingSource counted(source);
  auto input = std::make_unique<WveReader>(counted);
  ConverterState state;
  DirectiveScope scope;
  Outliner outliner(state, outline);
  const WalkEnd end = walk_directives(*input, state, scope, outliner);
  if (end == WalkEnd::end_directive) outliner.after_end(*input);
  outline.beats_per_measure = outliner.measure_length();
  outline.read_failed = input->failed();
  outline.empty = counted.delivered() == 0 && !outline.read_failed;
  const std::int64_t marker = input->end_marker();
  outline.bytes_after_end_marker = end == WalkEnd::input_ended && marker >= 0 &&
                                   counted.bytes_after(static_cast<std::uint64_t>(marker));
  return outline;
}

}  // namespace mosaiq::check
