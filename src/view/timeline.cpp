#include "view/timeline.h"

#include <cstdio>

namespace mosaiq::view {

std::vector<FrameTime> frame_times(const Script& script, const Song& song, double bpm) {
  std::vector<std::int64_t> wmodes;
  wmodes.reserve(script.frames.size());
  for (const Frame& frame : script.frames) wmodes.push_back(frame.wmode);
  return mosaiq::frame_times(wmodes, song, bpm);
}

std::string seconds_text(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  return text;
}

}  // namespace mosaiq::view
