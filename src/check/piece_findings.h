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

class PieceFindings {
 public:
  PieceFindings(std::string_view file, const bool* ignored, FindingWriter& writer)
      : file_(file), ignored_(ignored), writer_(writer) {}

  // Writes the findings of the piece before, then makes this one current and moves past it.
  void take(const WveLine& line) {
    flush();
    step_over(line);
  }
  // Makes the piece current and moves past it, leaving the findings as they are: for a row
  // that holds nothing to find.
  void step_over(const WveLine& line);
  // Moves past rows that hold nothing to find, as they were handed over once before.
  void step_over_repeat(const RowBlock& block);

  // A finding at `offset` within the current piece; the message is made only when the check
  // is not ignored.
  template <class Message>
  void add(Check check, std::uint64_t offset, Message&& message) {
    if (!ignored_[static_cast<int>(check)]) add_finding(check, offset, message());
  }
  // Writes the current piece's findings, sorted by position.
  void flush();

  const Piece& current() const { return current_; }
  bool none_pending() const { return pending_.empty(); }
  bool last_ended_line() const { return last_ended_line_; }
  // Where the next piece starts.
  std::uint64_t next_offset() const { return next_offset_; }
  // The finding at `offset` past the last piece, for a byte after what was read as lines; the
  // last piece's text is shown before it when it did not end its line.
  void add_after_last(Check check, std::uint64_t offset, std::string message, char byte);

 private:
  void add_finding(Check check, std::uint64_t offset, std::string message);

  std::string_view file_;
  const bool* ignored_;
  FindingWriter& writer_;
  Piece current_;
  std::vector<Finding> pending_;
  std::uint64_t line_number_ = 1;  // the line the next piece starts on
  std::uint64_t line_start_ = 0;   // where that line starts
  std::uint64_t next_offset_ = 0;  // where the next piece starts
  std::string_view last_raw_;
  std::uint64_t last_column_ = 1;
  bool last_ended_line_ = true;
};

}  // namespace mosaiq::check
