// What the studio's page shows of the file in hand, as one JSON object: the version, the grid,
// every frame (when it shows, in seconds and in quarter notes from the song's start, the stamp its
// record carries and the song's measure and beat where it shows, its division, pattern and
// cells, and the line of its record), the patterns announced, the checker's findings (each with
// the frame it falls in), the song's measures and beats in seconds for the ruler, and the
// viewer's page data for the screen. Texts in UTF-8.
#pragma once

#include <cstdint>
#include <string>

#include "song/midi_file.h"
#include "song/player_clock.h"
#include "studio/document_analysis.h"
#include "studio/wve_document.h"

namespace mosaiq::studio {

struct StateView {
  const WveDocument& document;  // as read from the version in hand
  const Analysis& analysis;
  const MeasureMap& measures;
  const TempoMap& tempo;
  const Song& song;
  std::uint64_t revision;
  const std::string& name;
  bool dirty;
  bool changed_on_disk;
  std::string undo;  // what undo and redo would do, in words; empty: nothing
  std::string redo;
};

// The most measures the ruler shows.
constexpr std::int64_t most_ruler_measures = 10000;

std::string studio_state(const StateView& view);

}  // namespace mosaiq::studio
