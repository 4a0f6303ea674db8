// The player's clock: how a WRD player spends the song's time on a script, and where in the song
// any point of that time is. Every program asks it, and nothing else computes it: the converter
// the "@wmode" a beat division sets, the checker where a stamped frame shows, the viewer when
// each frame starts, the importer where a picture may start.
//
// Positions count units of 1/96 of a quarter note from the song's start. The player moves on in
// steps of 1/24 of a quarter note: a frame under "@wmode(n)" lasts n + 1 steps (a negative n as
// 0). The script's first line, "@startup", takes one measure of the song's opening signature;
// the header's own frame, under "@wmode(23)", a quarter note; so frame 1 shows one measure and
// one quarter note into the song. A beat of any signature (a quarter, an eighth ... a 64th) is
// a whole number of units. Seconds follow the song's tempo map, the last tempo going on past its
// end; a tempo of 0 is no tempo change at all (the synthesiser is given a text event in its
// place, so the sound and the frames agree).
#pragma once

#include <cstdint>
#include <vector>

#include "song/midi_file.h"

namespace mosaiq {

constexpr std::int64_t units_per_quarter = 96;
constexpr std::int64_t steps_per_quarter = 24;
constexpr std::int64_t units_per_step = units_per_quarter / steps_per_quarter;

// a / b rounded toward minus infinity, for b above 0.
constexpr std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// --- Beat divisions and frame lengths ---

// The beat division in force at the start of every script: the header's "@wmode(23)".
constexpr std::int32_t header_division = 1;
// The largest division that shortens a frame: above it every frame lasts one step.
constexpr std::int32_t finest_division = 24;

// The "@wmode" value a frame record's beat division c sets: 96 / (4c) - 1, truncated toward
// zero. 1 gives 23, 2 gives 11, 24 gives 0, above 24 -1. A record's 0 sets none (the division
// in force goes on); as a value it gives -1, one step, and is never written.
constexpr std::int64_t wmode_of_division(std::int32_t division) {
  return division == 0 ? -1 : 96 / (4 * static_cast<std::int64_t>(division)) - 1;
}

// Units a frame lasts under "@wmode(n)": n + 1 steps, a negative n played as 0.
constexpr std::int64_t frame_units_of_wmode(std::int64_t wmode) {
  return ((wmode < 0 ? 0 : wmode) + 1) * units_per_step;
}

// Units a frame lasts under a beat division: the steps its "@wmode" gives.
constexpr std::int64_t frame_units(std::int32_t division) {
  return frame_units_of_wmode(wmode_of_division(division));
}

// The divisions whose frames fill a quarter note exactly (the divisors of 24), finest last.
constexpr std::int32_t even_divisions[] = {1, 2, 3, 4, 6, 8, 12, 24};

// Whether frames of this division fill a quarter note exactly, so that the animation keeps to
// the song.
constexpr bool keeps_time(std::int32_t division) {
  return division >= 1 && division <= finest_division && finest_division % division == 0;
}

// The division whose frames last `steps` steps, for a length that one gives (1, 2, 3, 4, 6, 8,
// 12 or 24 steps).
constexpr std::int32_t division_of_steps(std::int64_t steps) {
  return static_cast<std::int32_t>(steps_per_quarter / steps);
}

// --- Measures and beats ---

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
  // the next measures, as counting on would. Far past any song (2^60 units either way) the
  // position is held there, whatever measure and beat a file names.
  std::int64_t position(std::int64_t measure, std::int64_t beat) const;
  // The length of a beat at that measure, and of the measure.
  std::int64_t beat_units(std::int64_t measure) const;
  std::int64_t measure_units(std::int64_t measure) const;
  // The measure and beat a position falls in.
  SongBeat at(std::int64_t position) const;
  // The length of the first measure.
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

// What the player spends on a script's first line, "@startup": one measure of the opening
// signature.
std::int64_t startup_units(const MeasureMap& measures);

// Where the player shows a script's frame 1: after the "@startup" measure and the header's
// frame.
std::int64_t first_frame_position(const MeasureMap& measures);

// The position nearest to `position` where the player can show a frame, when frame 1 shows at
// `first`: whole steps after it.
std::int64_t nearest_step(std::int64_t first, double position);

// Whether the player can show a frame at `position`, frame 1 showing at `first`.
constexpr bool falls_on_step(std::int64_t first, std::int64_t position) {
  return (position - first) % units_per_step == 0;
}

// --- Seconds ---

// Where the song's last event is, in quarter notes from its start.
double song_end_quarters(const Song& song);

// Seconds along the song's tempo map (120 quarter notes a minute before its first change, its
// last tempo on past its end), or at a constant tempo when `bpm` is above 0.
class TempoMap {
 public:
  TempoMap(const Song& song, double bpm);
  // The seconds at a position in quarter notes.
  double seconds_at(double quarters) const;
  // The position in quarter notes after `seconds`: the inverse of seconds_at().
  double quarters_at(double seconds) const;
  // The tempo, in quarter notes a minute, in force at the start.
  double opening_bpm() const;

 private:
  struct Segment {
    double quarters;  // where a tempo begins
    double seconds;   // and its time
    double seconds_per_quarter;
  };
  const Segment& segment_at_quarters(double quarters) const;
  const Segment& segment_at_seconds(double seconds) const;

  std::vector<Segment> segments_;
};

// --- The timeline of a script ---

// Where a frame starts: in seconds, in units, and at which of the song's measures and beats.
struct FrameTime {
  double seconds = 0;
  std::int64_t position = 0;
  SongBeat song;
};

// When each frame of a script starts, frame k lasting under "@wmode(wmodes[k])". Frame 0, the
// screen after the header, is shown from 0, and the "@startup" measure goes by before its own
// length does: frame 1 starts after both (where first_frame_position() says, under the header's
// "@wmode(23)"), and every later one after the one before. Seconds along the tempo map (`bpm`
// above 0: a constant tempo instead). One time more than frames: when the last ends.
std::vector<FrameTime> frame_times(const std::vector<std::int64_t>& wmodes, const Song& song,
                                   double bpm);

}  // namespace mosaiq
