#include "view/timeline.h"

#include <cstdio>

namespace mosaiq::view {

std::vector<FrameTime> frame_times(const Script& script, const Song& song, double bpm) {
  TempoWalk walk(song, bpm);
  const MeasureMap measures(song);
  std::vector<FrameTime> times;
  times.reserve(script.frames.size() + 1);
  std::int64_t position = 0;
  for (std::size_t k = 0; k <= script.frames.size(); ++k) {
    const double quarters = static_cast<double>(position) / units_per_quarter;
    times.push_back({k == 0 ? 0.0 : walk.seconds_at(quarters), position, measures.at(position)});
    if (k == script.frames.size()) break;
    if (k == 0) position = measures.opening_measure();
    const std::int64_t mode = script.frames[k].wmode < 0 ? 0 : script.frames[k].wmode;
    position += (mode + 1) * units_per_step;
  }
  return times;
}

std::string seconds_text(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  return text;
}

}  // namespace mosaiq::view
