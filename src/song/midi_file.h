// What the programs need of the song a script plays with, read from a Standard MIDI File: the
// tempo map, the time signatures and where the song ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mosaiq {

struct TempoChange {
  std::uint64_t tick;
  std::uint32_t microseconds_per_quarter;
};

struct SignatureChange {
  std::uint64_t tick;
  int numerator;
  int denominator;  // a power of two, 1 to 64
};

struct Song {
  std::uint32_t ticks_per_quarter = 480;
  std::vector<TempoChange> tempo;  // by tick, none of 0; 120 quarter notes a minute before them
  std::vector<SignatureChange> signatures;  // by tick; 4/4 before the first
  std::uint64_t end_tick = 0;               // the tick of the song's last event
  std::uint64_t first_note_tick = 0;        // the tick of its first note, if it has one
  bool has_notes = false;

  // The time signature in force at the start.
  SignatureChange opening() const;
};

// The most bytes a song may have: far beyond any real one, and a bound on the work.
constexpr std::size_t max_midi_bytes = 16u << 20;

// Reads a Standard MIDI File of format 0 or 1 with timing in ticks per quarter note, as players
// read one: bytes after the last track are passed over, a last track that claims more bytes
// than the file holds is read as far as it goes, and a track may lack its end-of-track event;
// `note` then says what was passed over (empty otherwise). False, with `problem` saying why, for
// what cannot be timed: no such header, format 2, SMPTE timing, or a track whose events do not
// fit it. With `as_read`, also the file as this reader reads it, for a synthesiser to play: the
// tracks read, each with its whole events and an end-of-track event, every status spelt out,
// and every event a strict reader refuses (an escape, a meta event of a length its type does not
// take, a tempo of 0) turned into a text event, so that it times the song as the timeline does.
bool read_midi(std::string_view bytes, Song& song, std::string& problem, std::string& note,
               std::string* as_read = nullptr);

// What the first bytes of a file say against its being a Standard MIDI File: empty when they
// may begin one, else "not a Standard MIDI File".
std::string midi_problem(std::string_view first_bytes);

}  // namespace mosaiq
