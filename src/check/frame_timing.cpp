#include "check/frame_timing.h"

namespace mosaiq::check {

std::int32_t frame_ticks(std::int32_t division) { return division > 24 ? 1 : 24 / division; }

bool FrameTiming::frame(std::int32_t numbers, std::int32_t measure, std::int32_t beat,
                        std::int32_t division, PlayPosition& played, std::int64_t& stamped) {
  if (division <= 0) {  // 0 never comes: a record's division of 0 keeps the one in force
    anchored_ = false;
    return false;
  }
  bool slipped = false;
  if (numbers >= 3) {
    // At most 2^31 measures of at most 2^31 beats: far inside 64 bits.
    stamped = (static_cast<std::int64_t>(measure) - 1) * beats_per_measure_ +
              (static_cast<std::int64_t>(beat) - 1);
    if (anchored_ && position_.beats != stamped) {
      played = position_;
      slipped = true;
    }
    if (!anchored_ || slipped) position_ = PlayPosition{stamped, 0};
    anchored_ = true;
  }
  if (anchored_) {
    position_.ticks += frame_ticks(division);
    position_.beats += position_.ticks / 24;
    position_.ticks %= 24;
  }
  return slipped;
}

}  // namespace mosaiq::check
