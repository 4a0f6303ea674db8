#include "song/player_clock.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mosaiq {

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

namespace {

// Positions are held within this, far past any song, so that sums and differences of them stay
// exact whatever measure and beat a file names.
constexpr std::int64_t farthest = std::int64_t{1} << 60;

std::int64_t bounded(std::int64_t value) { return std::clamp(value, -farthest, farthest); }

// a * b for a and b within the bound, held within it.
std::int64_t bounded_product(std::int64_t a, std::int64_t b) {
  if (a != 0 && (b > farthest / std::abs(a) || b < -farthest / std::abs(a))) {
    return (a < 0) != (b < 0) ? -farthest : farthest;
  }
  return a * b;
}

}  // namespace

std::int64_t MeasureMap::position(std::int64_t measure, std::int64_t beat) const {
  const Segment& s = segment_at_measure(measure);
  const std::int64_t beats =
      bounded(bounded_product(bounded(measure - s.measure), s.beats) + bounded(beat - 1));
  return bounded(s.start + bounded_product(beats, s.beat));
}

std::int64_t MeasureMap::beat_units(std::int64_t measure) const {
  return segment_at_measure(measure).beat;
}

std::int64_t MeasureMap::measure_units(std::int64_t measure) const {
  const Segment& s = segment_at_measure(measure);
  return s.beats * s.beat;
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

double song_end_quarters(const Song& song) {
  return static_cast<double>(song.end_tick) / std::max<std::uint32_t>(song.ticks_per_quarter, 1);
}

std::int64_t startup_units(const MeasureMap& measures) { return measures.opening_measure(); }

std::int64_t first_frame_position(const MeasureMap& measures) {
  return startup_units(measures) + frame_units(header_division);
}

std::int64_t nearest_step(std::int64_t first, double position) {
  return first +
         units_per_step * std::llround((position - static_cast<double>(first)) / units_per_step);
}

TempoMap::TempoMap(const Song& song, double bpm) {
  if (bpm > 0) {
    segments_.push_back({0, 0, 60 / bpm});
    return;
  }
  segments_.push_back({0, 0, 0.5});  // 120 quarter notes a minute until the song says otherwise
  const double ticks = std::max<std::uint32_t>(song.ticks_per_quarter, 1);
  for (const TempoChange& change : song.tempo) {
    if (change.microseconds_per_quarter == 0) continue;  // no tempo at all: no change
    const Segment& last = segments_.back();
    const double quarters = static_cast<double>(change.tick) / ticks;
    const Segment next{quarters,
                       last.seconds + (quarters - last.quarters) * last.seconds_per_quarter,
                       change.microseconds_per_quarter / 1e6};
    if (next.quarters == last.quarters) {
      segments_.back() = next;  // of two changes at one tick, the later one holds
    } else {
      segments_.push_back(next);
    }
  }
}

const TempoMap::Segment& TempoMap::segment_at_quarters(double quarters) const {
  auto after =
      std::upper_bound(segments_.begin(), segments_.end(), quarters,
                       [](double q, const Segment& segment) { return q < segment.quarters; });
  return after == segments_.begin() ? segments_.front() : *(after - 1);
}

const TempoMap::Segment& TempoMap::segment_at_seconds(double seconds) const {
  auto after =
      std::upper_bound(segments_.begin(), segments_.end(), seconds,
                       [](double s, const Segment& segment) { return s < segment.seconds; });
  return after == segments_.begin() ? segments_.front() : *(after - 1);
}

double TempoMap::seconds_at(double quarters) const {
  const Segment& s = segment_at_quarters(quarters);
  return s.seconds + (quarters - s.quarters) * s.seconds_per_quarter;
}

double TempoMap::quarters_at(double seconds) const {
  const Segment& s = segment_at_seconds(seconds);
  return s.quarters + (seconds - s.seconds) / s.seconds_per_quarter;
}

double TempoMap::opening_bpm() const { return 60 / segments_.front().seconds_per_quarter; }

std::vector<FrameTime> frame_times(const std::vector<std::int64_t>& wmodes, const Song& song,
                                   double bpm) {
  const TempoMap tempo(song, bpm);
  const MeasureMap measures(song);
  std::vector<FrameTime> times;
  times.reserve(wmodes.size() + 1);
  std::int64_t position = 0;
  for (std::size_t k = 0; k <= wmodes.size(); ++k) {
    const double quarters = static_cast<double>(position) / units_per_quarter;
    times.push_back({k == 0 ? 0.0 : tempo.seconds_at(quarters), position, measures.at(position)});
    if (k == wmodes.size()) break;
    if (k == 0) position = startup_units(measures);
    position += frame_units_of_wmode(wmodes[k]);
  }
  return times;
}

}  // namespace mosaiq
