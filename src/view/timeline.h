// When each frame of a script starts, as a WRD player plays it with the song.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "song/midi_file.h"
#include "song/song_time.h"
#include "view/script_reader.h"

namespace mosaiq::view {

// Where a frame starts: in seconds, in the song's units, and at which measure and beat.
struct FrameTime {
  double seconds = 0;
  std::int64_t position = 0;
  SongBeat song;
};

// The player spends the script's first line, "@startup", on one measure of the song's opening
// time signature; then every empty line ends a frame and moves on (n + 1) / 24 of a quarter
// note under the "@wmode(n)" in force (n below 0 as 0). Seconds follow the song's tempo map,
// which goes on past the song's end at its last tempo; with `bpm` above 0, a constant tempo
// instead. Frame 0, the screen after the header, starts at 0; frame 1 one measure and one
// quarter note into the song. Returns the start of every frame, and one more: when the last
// frame ends.
std::vector<FrameTime> frame_times(const Script& script, const Song& song, double bpm);

// A time in seconds as the list and the page give it: three decimals.
std::string seconds_text(double seconds);

}  // namespace mosaiq::view
