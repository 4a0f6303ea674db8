// Where each picture plays in the song, as frame records the player times: every record lasts
// 1/D of a quarter note for a division D that divides 24, so a picture's time is cut into such
// records (and at every beat, so that the panel counts the beats), each stamped where it shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "song/midi_file.h"
#include "song/player_clock.h"

namespace mosaiq::import {

struct TimingRequest {
  const Song& song;
  double bpm = 0;  // a constant tempo; 0: the song's tempo map
  const MeasureMap& measures;
  std::int64_t start = -1;  // --start, in units; -1: the earliest the player shows a frame
  int per_beat = 0;         // --per-beat; 0: the pictures' delays (1 a quarter note without them)
  int repeat = 1;           // --repeat: times played in all
  std::int64_t until = -1;  // --until, in units; -1: none
};

// The dark screen, shown before --start.
constexpr std::size_t dark_picture = static_cast<std::size_t>(-1);

struct PlacedRecord {
  std::size_t picture;
  std::int64_t position;  // where the player shows it, in units
  std::int32_t division;
};

struct Placement {
  std::vector<PlacedRecord> records;
  std::int64_t end = 0;  // where the last record ends
  // The pictures too short to show (shorter than the player's step), each once, in order.
  std::vector<std::size_t> left_out;
};

// The most frame records an import writes.
constexpr std::size_t max_records = 200000;

// Cuts a picture's time, from one position to another (whole steps after `first`, where frame 1
// shows), into records: at every beat that starts on a step, then into the lengths of divisions
// that keep time, longest first.
void cut_into_records(std::size_t picture, std::int64_t from, std::int64_t to, std::int64_t first,
                      const MeasureMap& measures, std::vector<PlacedRecord>& records);

// Places `count` pictures, shown for `delays` hundredths of a second each (empty: none given);
// false, with the problem, when --start comes too early or the result would be too long.
bool place_pictures(const std::vector<int>& delays, std::size_t count, const TimingRequest& request,
                    Placement& placement, std::string& problem);

}  // namespace mosaiq::import
