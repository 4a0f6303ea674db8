#include "check/piece_findings.h"

#include <algorithm>

namespace mosaiq::check {

void FilePosition::step_over(const WveLine& line) {
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

void FilePosition::step_over_repeat(const RowBlock& block) {
  // The rows ended their lines: nothing of them is shown again.
  last_raw_ = {};
  last_column_ = 1;
  last_ended_line_ = true;
  next_offset_ += block.bytes.size();
  line_number_ += static_cast<std::uint64_t>(block.count);
  line_start_ = next_offset_;
}

WveLine FilePosition::block_row(const RowBlock& block, std::int32_t index,
                                std::uint64_t start) const {
  WveLine line;
  line.text = block.row(index);
  line.offset = start + static_cast<std::uint64_t>(index) * block.stride;
  line.length = static_cast<std::uint32_t>(block.width);
  line.line_end = static_cast<std::uint8_t>(block.stride - block.width);
  return line;
}

Finding* PieceFindings::add_finding(Check check, std::uint64_t offset, std::string message) {
  const Piece& piece = position_.current();
  pending_.push_back(Finding{check,
                             offset,
                             piece.line,
                             piece.column + (offset - piece.offset),
                             std::move(message),
                             std::string(piece.raw),
                             piece.column,
                             {}});
  return &pending_.back();
}

Finding* PieceFindings::first_pending() {
  const auto first =
      std::min_element(pending_.begin(), pending_.end(), [](const Finding& a, const Finding& b) {
        return a.offset != b.offset ? a.offset < b.offset : a.check < b.check;
      });
  return first == pending_.end() ? nullptr : &*first;
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
                                   std::string_view bytes) {
  flush();
  const bool same_line = position_.last_raw().data() != nullptr && !position_.last_ended_line();
  std::string shown = same_line ? std::string(position_.last_raw()) : std::string();
  shown += bytes;
  const std::uint64_t column = offset - position_.line_start() + 1;
  if (!ignored(check)) {
    pending_.push_back(Finding{check,
                               offset,
                               position_.line_number(),
                               column,
                               std::move(message),
                               shown,
                               same_line ? position_.last_column() : column,
                               {}});
  }
  flush();
}

}  // namespace mosaiq::check
