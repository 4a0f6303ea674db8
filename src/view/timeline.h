// When each frame of a script starts, as a WRD player plays it with the song: the player's clock
// over the script's own "@wmode" values.
#pragma once

#include <string>
#include <vector>

#include "song/midi_file.h"
#include "song/player_clock.h"
#include "view/script_reader.h"

namespace mosaiq::view {

// The start of every frame, and one more: when the last ends (see mosaiq::frame_times).
std::vector<FrameTime> frame_times(const Script& script, const Song& song, double bpm);

// A time in seconds as the list and the page give it: three decimals.
std::string seconds_text(double seconds);

}  // namespace mosaiq::view
