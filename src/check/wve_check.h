// Checking one WVE file: it is read with the engine's reader and directive loop, exactly as
// mosaiq reads it, and every place that deserves a finding gets one, in the order of the file.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "check/checks.h"
#include "check/finding_writer.h"
#include "check/timing_analysis.h"
#include "check/wve_outline.h"
#include "convert/byte_streams.h"
#include "song/midi_file.h"

namespace mosaiq::check {

struct CheckSettings {
  // The measure length for the timing check without a song; 0: the one the stamps show.
  std::int64_t beats_per_measure = 0;
  // The song the file plays with, or null: its time signatures name the measures, and the
  // stamps are checked against the song's measures and beats where the player shows the frames.
  const Song* song = nullptr;
  bool ignored[check_count] = {};
  bool all = false;  // every finding, none folded into the first of a cascade
};

// Checks a file in its three readings (an outline, the timing, then the checks), going back to
// its first byte before each; false when a read failed or the source could not be read again.
bool check_source(ByteSource& source, std::string_view file, const CheckSettings& settings,
                  FindingSink& writer);

}  // namespace mosaiq::check
