// Plays a script on a terminal in step with the timeline: Space pauses and plays on, Left and
// Right step while paused, q quits.
#pragma once

#include <vector>

#include "view/glyph_text.h"
#include "view/script_reader.h"
#include "view/terminal.h"

namespace mosaiq::view {

// Shows frame 0, then every frame at its start (seconds from the start of playing, one for each
// frame). Deadlines count from the start, so drawing does not make the playback drift; a pause
// moves them on by its length. Returns the exit status: 0 at the end or on q, 130 when
// interrupted. After Ctrl-Z the screen is drawn again and the player waits, paused.
int play(const Script& script, const std::vector<double>& starts, Terminal& terminal,
         GlyphText& glyphs);

// The escapes that bring a terminal showing `from` to `to`, cell by cell.
std::string screen_changes(const Screen& from, const Screen& to, GlyphText& glyphs);

}  // namespace mosaiq::view
