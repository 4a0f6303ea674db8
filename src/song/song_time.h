// Where in a song a point of its time is: measures and beats through its time signatures, and
// seconds through its tempo map. Positions count 1/96 of a quarter note from the song's start:
// a frame of the player lasts a whole number of 1/24 quarter notes, and a beat of any signature
// (a quarter, an eighth, ... a 64th) a whole number of units.
#pragma once

#include <cstdint>
#include <vector>

#include "song/midi_file.h"

namespace mosaiq {

constexpr std::int64_t units_per_quarter = 96;
constexpr std::int64_t units_per_step = units_per_quarter / 24;  // the player's 1/24 quarter

// A measure and a beat, both from 1, and how far into the beat.
struct SongBeat {
  std::int64_t measure = 1;
  std::int64_t beat = 1;
  std::int64_t into = 0;  // units into the beat
};

// Measures and beats through the time signatures. Measures count from 1 at the start; a
// signature takes effect where it stands, ending a measure there if one is under way. Before
// the start, and past the end of the song, the signature nearest goes on.
class MeasureMap {
 public:
  // The song's signatures (4/4 before the first).
  explicit MeasureMap(const Song& song);
  // One signature throughout: `beats` beats of a 1/`note` note each.
  MeasureMap(std::int64_t beats, int note);

  // Where beat `beat` of measure `measure` starts. A beat past the measure's last goes on into
  // the next measures, as counting on would.
  std::int64_t position(std::int64_t measure, std::int64_t beat) const;
  // The length of a beat at that measure.
  std::int64_t beat_units(std::int64_t measure) const;
  // The measure and beat a position falls in.
  SongBeat at(std::int64_t position) const;
  // The length of the first measure: the time the player spends on a script's first line.
  std::int64_t opening_measure() const;

 private:
  struct Segment {
    std::int64_t start;    // position where it begins
    std::int64_t measure;  // the measure that begins there
    std::int64_t beats;    // beats a measure
    std::int64_t beat;     // units a beat
  };
  const Segment& segment_at_measure(std::int64_t measure) const;
  const Segment& segment_at(std::int64_t position) const;

  std::vector<Segment> segments_;
};

// Seconds along the song's tempo map (120 quarter notes a minute before its first change, its
// last tempo on past its end), or at a constant tempo when `bpm` is above 0.
class TempoWalk {
 public:
  TempoWalk(const Song& song, double bpm);
  // The seconds at a position in quarter notes; positions must not decrease from call to call.
  double seconds_at(double quarters);
  // The tempo, in quarter notes a minute, in force at the start.
  double opening_bpm() const;

 private:
  const Song& song_;
  double bpm_;
  std::size_t next_ = 0;  // the next tempo change
  double tick_ = 0;       // where the tempo in force began
  double seconds_ = 0;    // and its time
  double tempo_;          // seconds a tick
};

// Where in quarter notes the song is after `seconds`, along its tempo map (or at a constant
// tempo when `bpm` is above 0): the inverse of TempoWalk.
double quarters_at(const Song& song, double bpm, double seconds);

}  // namespace mosaiq
