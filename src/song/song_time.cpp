#include "song/song_time.h"

#include <algorithm>

namespace mosaiq {

namespace {

// a / b rounded toward minus infinity, for b above 0.
std::int64_t floor_div(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && a < 0); }

}  // namespace

MeasureMap::MeasureMap(const Song& song) {
  segments_.push_back({0, 1, 4, units_per_quarter});
  for (const SignatureChange& change : song.signatures) {
    const auto start = static_cast<std::int64_t>(
        change.tick * units_per_quarter / std::max<std::uint32_t>(song.ticks_per_quarter, 1));
    Segment& last = segments_.back();
    const std::int64_t measure_units = last.beats * last.beat;
    // Measures begun before the change; one under way is ended by it.
    const std::int64_t measure =
        last.measure + (start - last.start + measure_units - 1) / measure_units;
    const Segment next{start, measure, change.numerator,
                       4 * units_per_quarter / change.denominator};
    if (next.start == last.start) {
      last = Segment{last.start, last.measure, next.beats, next.beat};
    } else {
      segments_.push_back(next);
    }
  }
}

MeasureMap::MeasureMap(std::int64_t beats, int note)
    : segments_{{0, 1, beats, 4 * units_per_quarter / note}} {}

const MeasureMap::Segment& MeasureMap::segment_at_measure(std::int64_t measure) const {
  auto after =
      std::upper_bound(segments_.begin(), segments_.end(), measure,
                       [](std::int64_t m, const Segment& segment) { return m < segment.measure; });
  return after == segments_.begin() ? segments_.front() : *(after - 1);
}

const MeasureMap::Segment& MeasureMap::segment_at(std::int64_t position) const {
  auto after =
      std::upper_bound(segments_.begin(), segments_.end(), position,
                       [](std::int64_t p, const Segment& segment) { return p < segment.start; });
  return after == segments_.begin() ? segments_.front() : *(after - 1);
}

std::int64_t MeasureMap::position(std::int64_t measure, std::int64_t beat) const {
  const Segment& s = segment_at_measure(measure);
  return s.start + ((measure - s.measure) * s.beats + (beat - 1)) * s.beat;
}

std::int64_t MeasureMap::beat_units(std::int64_t measure) const {
  return segment_at_measure(measure).beat;
}

SongBeat MeasureMap::at(std::int64_t position) const {
  const Segment& s = segment_at(position);
  const std::int64_t beats = floor_div(position - s.start, s.beat);
  const std::int64_t measures = floor_div(beats, s.beats);
  return {s.measure + measures, beats - measures * s.beats + 1,
          position - s.start - beats * s.beat};
}

std::int64_t MeasureMap::opening_measure() const {
  return segments_.front().beats * segments_.front().beat;
}

TempoWalk::TempoWalk(const Song& song, double bpm)
    : song_(song), bpm_(bpm), tempo_(0.5 / song.ticks_per_quarter) {}

double TempoWalk::seconds_at(double quarters) {
  if (bpm_ > 0) return quarters * 60.0 / bpm_;
  const double ticks = quarters * song_.ticks_per_quarter;
  // Whole tempo segments up to the position, then the part of the one it falls in.
  while (next_ < song_.tempo.size() && static_cast<double>(song_.tempo[next_].tick) <= ticks) {
    const TempoChange& change = song_.tempo[next_];
    seconds_ += (static_cast<double>(change.tick) - tick_) * tempo_;
    tick_ = static_cast<double>(change.tick);
    tempo_ = change.microseconds_per_quarter / 1e6 / song_.ticks_per_quarter;
    ++next_;
  }
  return seconds_ + (ticks - tick_) * tempo_;
}

double TempoWalk::opening_bpm() const {
  if (bpm_ > 0) return bpm_;
  for (const TempoChange& change : song_.tempo) {
    if (change.tick == 0 && change.microseconds_per_quarter > 0) {
      return 60e6 / change.microseconds_per_quarter;
    }
  }
  return 120;
}

double quarters_at(const Song& song, double bpm, double seconds) {
  if (bpm > 0) return seconds * bpm / 60.0;
  double tick = 0, at = 0, tempo = 0.5 / song.ticks_per_quarter;  // seconds a tick
  for (const TempoChange& change : song.tempo) {
    if (change.microseconds_per_quarter == 0) continue;  // no tempo at all: passed over
    const double next = at + (static_cast<double>(change.tick) - tick) * tempo;
    if (next > seconds) break;
    at = next;
    tick = static_cast<double>(change.tick);
    tempo = change.microseconds_per_quarter / 1e6 / song.ticks_per_quarter;
  }
  return (tick + (seconds - at) / tempo) / song.ticks_per_quarter;
}

}  // namespace mosaiq
