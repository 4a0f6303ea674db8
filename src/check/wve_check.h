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

// Follows the timing of the file's frames; the source is read from its start.
std::vector<TimingFinding> analyse_timing(ByteSource& source, const WveOutline& outline,
                                          const CheckSettings& settings);

// Writes the file's findings, in the order of the file, through the writer. The source is read
// from its start; `outline` is what outline_wve() found in it, `timing` what analyse_timing()
// did. Returns false when a read of the source failed (the findings stop there).
bool check_wve(ByteSource& source, const WveOutline& outline,
               const std::vector<TimingFinding>& timing, std::string_view file,
               const CheckSettings& settings, FindingWriter& writer);

// Checks the bytes of a file in memory, all readings included; false when a read failed.
bool check_text(std::string_view bytes, std::string_view file, const CheckSettings& settings,
                FindingWriter& writer, std::size_t piece = static_cast<std::size_t>(-1));

}  // namespace mosaiq::check
