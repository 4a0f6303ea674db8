// A first reading of a WVE file, with the engine's reader and directive loop, that tells the
// checks before they begin what they could otherwise know only at the end: so the findings come
// out in order in a later reading, the first of a cascade with how many follow it.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "check/checks.h"
#include "convert/byte_streams.h"

namespace mosaiq::check {

// A line that left the grid other than it meant, and so causes the findings of rows that follow.
struct GridCause {
  bool found = false;
  std::uint64_t offset = 0;
  std::uint64_t line = 1;
  std::uint64_t column = 1;
  std::string reason;  // why the grid is what it is, for the note under the first of each check
};

// How many findings a grid cause brings, and on which lines.
struct Cascade {
  std::uint64_t count = 0;
  std::uint64_t first_line = 0;
  std::uint64_t last_line = 0;
  void add(std::uint64_t line) {
    if (count++ == 0) first_line = line;
    last_line = line;
  }
  void add(const Cascade& more) {
    if (more.count == 0) return;
    if (count == 0) first_line = more.first_line;
    count += more.count;
    last_line = more.last_line;
  }
};

// The checks whose findings after a grid cause are folded into the cause's own finding: rows
// read against the wrong grid, and frames that no longer fall where their stamps say.
constexpr bool cascading(Check check) {
  return check == Check::row_length || check == Check::truncated_frame ||
         check == Check::row_looks_like_directive || check == Check::cell_value ||
         check == Check::timing || check == Check::song_position;
}

struct WveOutline {
  // The measure length the stamps show: the largest beat most measures have (at least 1).
  std::int64_t beats_per_measure = 1;
  std::uint64_t frames = 0;  // frame records
  bool empty = false;        // not one byte
  bool byte_order_mark = false;
  // The record of a frame cut short by the end of the file, and how many of its rows were read;
  // -1 when no frame was cut short.
  std::int64_t cut_record = -1;
  std::int32_t cut_rows_read = 0;
  // The records of frames whose rows are all empty, in order.
  std::vector<std::uint64_t> empty_frames;
  GridCause grid_cause;
  Cascade cascade;  // the rows' findings it brings (the timing's are counted apart)
  // The pattern numbers announced and those frame records use; known only when not too many.
  std::set<std::int32_t> announced, used;
  bool patterns_known = true;
  // Whether bytes follow the byte 0x1A that ended the input.
  bool bytes_after_end_marker = false;
  // What stands after "*end", which the player never reads: frame records and pattern
  // announcements, and the lines of the first and last of them.
  struct AfterEnd {
    std::uint64_t records = 0, patterns = 0, first_line = 0, last_line = 0;
  } after_end;
  // Runs of pattern announcements with no frame between them: every one but the last is
  // replaced before a frame shows it. Each run by its first announcement's offset, how many of
  // it are replaced, and the line of the one that is seen.
  struct Overwritten {
    std::uint64_t offset, replaced, seen_line;
  };
  std::vector<Overwritten> overwritten;
  bool read_failed = false;
};

WveOutline outline_wve(ByteSource& source);

}  // namespace mosaiq::check
