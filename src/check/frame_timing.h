// The timing check: whether each stamped frame plays in the beat its stamp names.
#pragma once

#include <cstdint>

namespace mosaiq::check {

// Where a frame plays, in beats from the first beat of measure 1 and 24ths of a beat.
struct PlayPosition {
  std::int64_t beats = 0;
  std::int32_t ticks = 0;  // 0 to 23
};

// Follows the frames of one file in 24ths of a beat: under division d a frame lasts
// floor(24 / d) / 24 of a beat (1/24 above 24). The first stamped frame is the anchor; a
// frame stamped measure m, beat b stands at (m - 1) * N + (b - 1) beats. A frame that starts
// outside its stamp's beat has slipped, and counting starts again from its stamp.
class FrameTiming {
 public:
  explicit FrameTiming(std::int64_t beats_per_measure) : beats_per_measure_(beats_per_measure) {}

  // One frame: its record's count of numbers, measure and beat, and the division in force
  // after the record. A negative division suspends the check until the next stamped frame
  // under a valid one. Returns true when the frame slipped: `played` is where it started and
  // `stamped` where its stamp says.
  bool frame(std::int32_t numbers, std::int32_t measure, std::int32_t beat, std::int32_t division,
             PlayPosition& played, std::int64_t& stamped);

  std::int64_t beats_per_measure() const { return beats_per_measure_; }
  void set_beats_per_measure(std::int64_t beats) { beats_per_measure_ = beats; }

 private:
  std::int64_t beats_per_measure_;
  bool anchored_ = false;
  PlayPosition position_;
};

// Ticks a frame lasts under a division from 1 up: floor(24 / d), 1 above 24.
std::int32_t frame_ticks(std::int32_t division);

}  // namespace mosaiq::check
