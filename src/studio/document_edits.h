// The studio's commands on a document's frames and patterns. Frames follow one another on the
// song's timeline, each lasting what its division gives: a command that makes a frame longer or
// shorter, or adds or takes frames away, moves every frame after it by as much. Time added
// before a frame holds the frame before it (as repeated frames, which paint nothing, cut at the
// beats as the importer cuts a picture's time). Every command returns false, with the problem in
// words, when it cannot be done; the document may then be half changed, and is dropped (the
// studio edits a copy).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "import/import_timing.h"
#include "song/player_clock.h"
#include "studio/wve_document.h"

namespace mosaiq::studio {

// The most frames a document may have: as many as an import writes.
constexpr std::size_t most_frames = import::max_records;

// A frame to add: its cells (width x height digits 0 to 7) and the division it lasts by.
struct NewFrame {
  std::string cells;
  std::int32_t division = 1;
};

// Frame indices count the document's frames from 0 (the player's frame 1).

bool set_cells(WveDocument& document, std::size_t frame, const std::string& cells,
               std::string& problem);

// Adds frames before frame `at` (after the last when `at` is the count).
bool insert_frames(WveDocument& document, std::size_t at, const std::vector<NewFrame>& frames,
                   std::string& problem);

// Takes frames away; one frame at least stays. The lines before them stay, before the frame
// that follows.
bool delete_frames(WveDocument& document, std::size_t first, std::size_t count,
                   std::string& problem);

// Makes a frame last 1/division of a quarter note (a division that keeps time).
bool set_division(WveDocument& document, std::size_t frame, std::int32_t division,
                  std::string& problem);

// Moves a frame, and every one after it, to start at `position` (to the nearest step). Moved
// later, the frame before it holds longer; moved earlier, it takes the time from the frame
// before it, which must keep a step of its own: a frame never passes another.
bool move_frame(WveDocument& document, const MeasureMap& measures, std::size_t frame,
                std::int64_t position, std::string& problem);

// Announces pattern `number` with `text` (Shift_JIS, as the panel shows it) at a frame, in place
// of the one announced there; the frames from there to the next announcement carry its number.
bool announce_pattern(WveDocument& document, std::size_t frame, std::int32_t number,
                      const std::string& text, std::string& problem);

// Takes back what is announced at a frame: its frames carry the number in force before it.
bool withdraw_pattern(WveDocument& document, std::size_t frame, std::string& problem);

// Gives every frame a grid of width x height cells, its pictures kept at their place on the
// screen (centred as the grid is): every frame's rows change.
bool resize_grid(WveDocument& document, int width, int height, std::string& problem);

// Puts frames at `position` (to the nearest step; past the end, the screen dark until then):
// inserted there, or in place of what was there for as long as they last.
bool place_frames(WveDocument& document, const MeasureMap& measures, std::int64_t position,
                  const std::vector<NewFrame>& frames, bool replace, std::string& problem);

// The patterns announced at a frame, in the order of their lines: the number and text of each
// "*p" or "*cp" line before its record that converts.
struct Announcement {
  std::int32_t number;
  std::string text;  // Shift_JIS
};
std::vector<Announcement> announcements_at(const WveDocument& document, std::size_t frame);

}  // namespace mosaiq::studio
