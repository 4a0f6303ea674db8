// Plays a script on a terminal, frame by frame, at the script's own pace.
#pragma once

#include <csignal>
#include <ostream>

#include "view/glyph_text.h"
#include "view/script_reader.h"

namespace mosaiq::view {

// Time in seconds from any origin. The player sleeps only through it, so tests can drive it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual double now() = 0;
  // Returns at `deadline`, or earlier once `*stop` is set.
  virtual void sleep_until(double deadline, const volatile std::sig_atomic_t* stop) = 0;
};

// The real clock: sleeps in short slices so that a stop request is seen at once.
class SteadyClock : public Clock {
 public:
  double now() override;
  void sleep_until(double deadline, const volatile std::sig_atomic_t* stop) override;
};

// Draws every frame's changes, then waits for the frame's time. Each deadline counts from the
// start, so drawing does not make the playback drift. Ends early once `*stop` is set; the
// terminal is left with its cursor shown and its colours reset either way.
void play(const Script& script, double bpm, Clock& clock, std::ostream& out, GlyphText& glyphs,
          const volatile std::sig_atomic_t* stop);

}  // namespace mosaiq::view
