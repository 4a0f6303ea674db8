// Where the checker stands in a file, and what it found there: the piece of a line looked at
// (its line and column), and its findings, which go out sorted by position when the next piece
// is taken, so every finding comes out in the order of the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/checks.h"
#include "check/finding_writer.h"
#include "convert/directive_loop.h"

namespace mosaiq::check {

// The piece of a line being looked at, and where it stands.
struct Piece {
  std::uint64_t offset = 0;
  std::uint64_t line = 1;
  std::uint64_t column = 1;
  std::string_view raw;  // its bytes without the line end, valid while it is looked at
};

// Follows the pieces the reader hands out: which line each is on, and in which column.
class FilePosition {
 public:
  // Makes the piece the current one and moves past it.
  void step_over(const WveLine& line);
  // Moves past rows handed over once before as a block.
  void step_over_repeat(const RowBlock& block);
  // The rows of a block, each as a piece of its own, one after the other: step_over() each.
  WveLine block_row(const RowBlock& block, std::int32_t index, std::uint64_t start) const;

  const Piece& current() const { return current_; }
  bool last_ended_line() const { return last_ended_line_; }
  std::uint64_t next_offset() const { return next_offset_; }
  std::uint64_t line_number() const { return line_number_; }
  std::uint64_t line_start() const { return line_start_; }
  // The raw bytes and column of the last piece, when it did not end its line.
  std::string_view last_raw() const { return last_raw_; }
  std::uint64_t last_column() const { return last_column_; }

 private:
  Piece current_;
  std::uint64_t line_number_ = 1;  // the line the next piece starts on
  std::uint64_t line_start_ = 0;   // where that line starts
  std::uint64_t next_offset_ = 0;  // where the next piece starts
  std::string_view last_raw_;
  std::uint64_t last_column_ = 1;
  bool last_ended_line_ = true;
};

class PieceFindings {
 public:
  PieceFindings(std::string_view file, const bool* ignored, FindingSink& writer)
      : file_(file), ignored_(ignored), writer_(writer) {}

  // Writes the findings of the piece before, then makes this one current and moves past it.
  void take(const WveLine& line) {
    flush();
    position_.step_over(line);
  }
  FilePosition& position() { return position_; }
  const Piece& current() const { return position_.current(); }

  bool ignored(Check check) const { return ignored_[static_cast<int>(check)]; }
  // A finding at `offset` within the current piece; the message is made only when the check
  // is not ignored. Returns the finding, or null when the check is ignored.
  template <class Message>
  Finding* add(Check check, std::uint64_t offset, Message&& message) {
    return ignored(check) ? nullptr : add_finding(check, offset, message());
  }
  // Writes the current piece's findings, sorted by position.
  void flush();
  // The current piece's finding that comes first; null when it has none.
  Finding* first_pending();
  bool none_pending() const { return pending_.empty(); }
  // A finding past the last piece, for bytes after what was read as lines; the last piece's
  // text is shown before them when it did not end its line.
  void add_after_last(Check check, std::uint64_t offset, std::string message,
                      std::string_view bytes);

 private:
  Finding* add_finding(Check check, std::uint64_t offset, std::string message);

  std::string_view file_;
  const bool* ignored_;
  FindingSink& writer_;
  FilePosition position_;
  std::vector<Finding> pending_;
};

}  // namespace mosaiq::check
