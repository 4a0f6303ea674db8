// A WVE file as the studio edits it: its lines, shared between versions so that what an edit did
// not touch keeps its bytes, and the frames and patterns read from them exactly as mosaiq reads
// them (its own line classes and record scan). Written back, a frame keeps its record line and
// rows while they still say what the frame is; one that changed is written in the importer's
// form ("*fP-M-B-F/D", then its rows), stamped with the song's measure and beat where the player
// shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "convert/frame_record.h"
#include "song/player_clock.h"

namespace mosaiq::studio {

// One line, its line end included (the file's last line may have none).
using Line = std::shared_ptr<const std::string>;
using Lines = std::vector<Line>;

Line make_line(std::string text);

// A line's text as the converter reads it: without its LF, or its CR LF.
std::string_view line_text(const Line& line);

// The file's lines: each ends after LF (a CR before it belongs to it); the last may have none.
Lines split_lines(std::string_view bytes);
std::string join_lines(const Lines& lines);

// Why the studio cannot edit a file (empty: it can): a line mosaiq reads in pieces (longer than
// 253 bytes), a NUL byte, an end-of-file byte before the last, a last frame cut short, or a
// grid that does not fit the screen.
std::string uneditable_reason(std::string_view bytes);

// A frame: the lines before its record that belong to no frame (announcements, comments), its
// record and its rows; what it shows and how long.
struct FrameBlock {
  Lines leading;
  Line record;  // null: a new frame, its record written from the fields below
  FrameRecord parsed{};
  Lines rows;                       // as in the file
  std::string cells;                // width x height digits, row by row, as the player shows them
  bool cells_changed = false;       // written from `cells`, not `rows`
  std::int32_t pattern = 1;         // the number its record carries
  std::int32_t division = 1;        // the division it lasts by (as in force, never 0)
  std::int64_t read_position = -1;  // where it showed when read; -1: new
};

struct WveDocument {
  Lines header;  // before the first frame record
  std::vector<FrameBlock> frames;
  Lines trailer;  // after the last frame's rows: "*end" and what follows
  int width = 24, height = 5;
  std::string line_end = "\r\n";  // the one the file uses, for lines written anew
};

// Reads the lines; the frames' cells are left for the caller (the player's screen has them).
WveDocument read_document(const Lines& lines, const MeasureMap& measures);

// Where each frame shows, in units, and one more: where the last ends.
std::vector<std::int64_t> frame_positions(const WveDocument& document, const MeasureMap& measures);

// The lines of the document: the lines read where they still hold, the rest written anew.
Lines document_lines(const WveDocument& document, const MeasureMap& measures);

// A frame's rows written from its cells.
Lines rows_of_cells(const std::string& cells, int width, const std::string& line_end);

}  // namespace mosaiq::studio
