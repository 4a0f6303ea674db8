#include "view/timeline.h"

#include <cstdio>

namespace mosaiq::view {

namespace {

// Seconds at increasing positions in quarter notes, along the tempo map.
class TempoWalk {
 public:
  // 120 quarter notes a minute until the first change.
  TempoWalk(const Song& song, double bpm)
      : song_(song), bpm_(bpm), tempo_(0.5 / song.ticks_per_quarter) {}

  double seconds_at(double quarters) {
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

 private:
  const Song& song_;
  double bpm_;
  std::size_t next_ = 0;  // the next tempo change
  double tick_ = 0;       // where the tempo in force began
  double seconds_ = 0;    // and its time
  double tempo_;          // seconds a tick
};

}  // namespace

std::vector<double> frame_starts(const Script& script, const Song& song, double bpm) {
  TempoWalk walk(song, bpm);
  const double measure = song.numerator * 4.0 / song.denominator;
  std::vector<double> starts;
  starts.reserve(script.frames.size() + 1);
  std::int64_t steps = 0;  // 24ths of a quarter note since the end of the startup measure
  for (std::size_t k = 0; k <= script.frames.size(); ++k) {
    starts.push_back(k == 0 ? 0.0 : walk.seconds_at(measure + static_cast<double>(steps) / 24));
    if (k == script.frames.size()) break;
    const std::int64_t mode = script.frames[k].wmode < 0 ? 0 : script.frames[k].wmode;
    steps += mode + 1;
  }
  return starts;
}

std::string seconds_text(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  return text;
}

}  // namespace mosaiq::view
