#include "check/piece_findings.h"

#include <algorithm>

namespace mosaiq::check {

void PieceFindings::step_over(const WveLine& line) {
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

void PieceFindings::step_over_repeat(const RowBlock& block) {
  // The rows ended their lines: nothing of them is shown again.
  last_raw_ = {};
  last_column_ = 1;
  last_ended_line_ = true;
  next_offset_ += block.bytes.size();
  line_number_ += static_cast<std::uint64_t>(block.count);
  line_start_ = next_offset_;
}

void PieceFindings::add_finding(Check check, std::uint64_t offset, std::string message) {
  pending_.push_back(Finding{check, offset, current_.line,
                             current_.column + (offset - current_.offset), std::move(message),
                             std::string(current_.raw), current_.column});
}

void PieceFindings::flush() {
  if (pending_.empty()) return;
  std::stable_sort(pending_.begin(), pending_.end(), [](const Finding& a, const Finding& b) {
    return a.offset != b.offset ? a.offset < b.offset : a.check < b.check;
  });
  for (const Finding& finding : pending_) writer_.write(file_, finding);
  pending_.clear();
}

void PieceFindings::add_after_last(Check check, std::uint64_t offset, std::string message,
                                   char byte) {
  flush();
  const bool same_line = last_raw_.data() != nullptr && !last_ended_line_;
  std::string shown = same_line ? std::string(last_raw_) : std::string();
  shown += byte;
  current_ = Piece{offset, line_number_, offset - line_start_ + 1, {}};
  if (!ignored_[static_cast<int>(check)]) {
    pending_.push_back(Finding{check, offset, current_.line, current_.column, std::move(message),
                               shown, same_line ? last_column_ : current_.column});
  }
  flush();
}

}  // namespace mosaiq::check
