// The page's commands, as the fields of a form ("command=paint&frame=3&cells=0120..."), read and
// applied to the document: the one place that turns what the page asks into the document's
// edits, and positions the page gives in seconds into the song's steps and beats.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "song/player_clock.h"
#include "studio/wve_document.h"

namespace mosaiq::studio {

using CommandFields = std::map<std::string, std::string>;

// The song's clock for the commands: its measures, and its seconds through the tempo map.
struct CommandClock {
  const MeasureMap& measures;
  const TempoMap& tempo;
};

// Frames are numbered as the player numbers them, from 1:
//   paint      frame, cells (width x height digits)
//   insert     after (0: before frame 1), [cells], [division]: a copy of frame `after` (of frame
//              1 for 0) unless cells are given
//   delete     frame, [count]
//   paste      after, frames ("D:cells" for each, comma-separated)
//   division   frame, division
//   move       frame, then measure, beat, [step] (steps into the beat), or seconds and snap
//              ("beat": to the nearest beat, "step": to the nearest step)
//   pattern    frame, number, text (UTF-8)
//   unpattern  frame
//   grid       width, height
// Returns false, with the problem in words, for a command that is not one of these or cannot be
// done; `what` names the command done, for undo ("paint frame 3").
bool apply_command(WveDocument& document, const CommandClock& clock, const CommandFields& fields,
                   std::string& what, std::string& problem);

// The longest time the page may name, in seconds: far past any song.
constexpr double latest_seconds = 1e6;

// A time in seconds as the page sends it ("12.5000"), 0 to latest_seconds; false for anything else.
bool read_seconds(std::string_view text, double& seconds);

// The position the page means by a time in seconds: the nearest beat, or the nearest step.
std::int64_t position_of_seconds(const CommandClock& clock, double seconds, bool to_beat);

}  // namespace mosaiq::studio
