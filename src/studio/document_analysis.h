// What the player and the checker make of a document's text, through the programs' own code:
// the script mosaiq converts it into, when each frame shows, the cells the player's screen shows
// in every frame, the checker's findings, and the viewer's page data for the screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "check/finding_writer.h"
#include "song/midi_file.h"
#include "song/player_clock.h"
#include "studio/wve_document.h"

namespace mosaiq::studio {

struct Analysis {
  // Every frame of the script (frame 0 the screen after the header), and one more: when the last
  // ends.
  std::vector<FrameTime> times;
  // The cells of each of the document's frames (the script's frames 1 on), as the screen shows
  // them: a digit a cell, the dark and any other glyph '0'.
  std::vector<std::string> cells;
  std::vector<check::Finding> findings;
  std::string page_data;  // the viewer's page data, as JSON
  // Whether the script has a frame for each of the document's (and perhaps one more, that the
  // lines after the last frame write): without it, nothing is edited.
  bool in_step = false;
};

// The song (without one, 4/4: a song with no tracks), its tempo (`bpm` above 0: a constant one in
// place of the song's), and the page's words for it.
struct SongContext {
  const Song& song;
  bool has_song = false;
  double bpm = 0;
  std::string words;
};

Analysis analyse(const std::string& text, const WveDocument& document, const SongContext& song);

}  // namespace mosaiq::studio
