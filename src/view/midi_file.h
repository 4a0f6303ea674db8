// The tempo map and the opening time signature of a Standard MIDI File: all the viewer needs of
// the song a script plays with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mosaiq::view {

struct TempoChange {
  std::uint64_t tick;
  std::uint32_t microseconds_per_quarter;
};

struct Song {
  std::uint32_t ticks_per_quarter = 480;
  std::vector<TempoChange> tempo;  // by tick; 120 quarter notes a minute before the first
  int numerator = 4;               // the time signature in force at the start: 4/4 when none
  int denominator = 4;
};

// The most bytes a song may have: far beyond any real one, and a bound on the work.
constexpr std::size_t max_midi_bytes = 16u << 20;

// Reads a Standard MIDI File of format 0 or 1 with timing in ticks per quarter note. False,
// with `problem` saying why, for anything else: no such header, format 2, SMPTE timing, or
// chunks and events that do not fit the file.
bool read_midi(std::string_view bytes, Song& song, std::string& problem);

}  // namespace mosaiq::view
