// Plays a script on a terminal in step with the timeline: Space pauses and plays on, Left and
// Right step while paused, q quits. Below the 25 rows of the screen, where the terminal has a
// 26th, a line shows the frame, its time and the song's measure and beat.
#pragma once

#include <string>
#include <vector>

#include "view/glyph_text.h"
#include "view/play_clock.h"
#include "view/script_reader.h"
#include "view/terminal.h"
#include "view/timeline.h"

namespace mosaiq::view {

// What is played: the script's frames and when each starts (one more: when the last ends).
struct Showing {
  Script script;
  std::vector<FrameTime> times;
  std::string song;   // the song and tempo the times follow, in words
  std::string sound;  // why the song is not heard ("muted", "no sound"); empty when it is
};

// A file watched while it plays.
class Watch {
 public:
  virtual ~Watch() = default;
  // Whether the file (or its song) changed on disk since the last look.
  virtual bool changed() = 0;
  // Reads it again into `showing`; false, with the problem, when it cannot be shown. Called on
  // a thread of its own, while the player goes on answering the keys.
  virtual bool reload(Showing& showing, std::string& problem) = 0;
};

// How often a watched file is looked at, in seconds.
constexpr double watch_interval = 0.25;

// A song whose sound is still being made ready (its SoundFont loading): the player shows frame
// 0 at once and says so on its line, then starts frames and sound together.
class PendingSound {
 public:
  virtual ~PendingSound() = default;
  // Whether it is done, well or not.
  virtual bool ready() = 0;
  // Once ready: the song, or null where it cannot sound (`why` then says so, in a word or two
  // for the line under the screen).
  virtual SongSound* sound(std::string& why) = 0;
};

// How often a pending sound is looked at, in seconds.
constexpr double pending_interval = 0.1;

// Shows frame 0, then every frame at its start (seconds from the start of playing). Deadlines
// count from the start, so drawing does not make the playback drift; a pause moves them on by
// its length. With a watch, a file that changed is read again and shown at the frame on screen;
// one that cannot be read leaves the last good one on screen, with a line that says why.
// Returns the exit status: 0 at the end or on q, 130 when interrupted. After Ctrl-Z the screen
// is drawn again and the player waits, paused.
// With a song's sound, the frames follow its position, and after the last frame the player
// waits for the song to end (or q).
// With a pending sound, the frames wait at frame 0 until it is ready. q and Ctrl-C end the
// wait too.
int play(Showing& showing, Terminal& terminal, GlyphText& glyphs, Watch* watch = nullptr,
         SongSound* sound = nullptr, PendingSound* pending = nullptr);

// The escapes that bring a terminal showing `from` to `to`, cell by cell.
std::string screen_changes(const Screen& from, const Screen& to, GlyphText& glyphs);

}  // namespace mosaiq::view
