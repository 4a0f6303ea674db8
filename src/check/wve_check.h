// Checking one WVE file: it is read with the engine's reader and directive loop, exactly as
// mosaiq reads it, and every place that deserves a finding gets one.
#pragma once

#include <cstdint>
#include <string_view>

#include "check/checks.h"
#include "check/finding_writer.h"
#include "convert/wve_reader.h"

namespace mosaiq::check {

// Where a checked file's bytes come from.
class CheckedSource : public ByteSource {
 public:
  // Whether the input holds any byte after `offset`, where a 0x1A byte ended the reading.
  virtual bool bytes_after(std::uint64_t offset) = 0;
};

struct CheckSettings {
  // The measure length for the timing check; 0: the largest beat number among the file's
  // frame records of three or more numbers (at least 1).
  std::int64_t beats_per_measure = 0;
  bool ignored[check_count] = {};
};

// What the check saw of the file, to compare with what mosaiq makes of it.
struct CheckSummary {
  std::uint64_t frames = 0;           // frame records read
  std::uint64_t complete_frames = 0;  // of them, those all of whose rows were read
  std::uint64_t patterns = 0;         // pattern announcements read
  bool read_failed = false;           // a read of the source failed; findings stop there
  // The measure length taken, and whether it was the file's own from the first finding and
  // the first stamp outside measure 1 on. Without a measure length given, the largest beat is
  // known only at the end: when it grew after either, the file must be checked again with it.
  std::int64_t beats_per_measure = 1;
  bool timing_exact = true;
};

// Writes the file's findings, sorted by position, through the writer.
CheckSummary check_wve(CheckedSource& source, std::string_view file, const CheckSettings& settings,
                       FindingWriter& writer);

}  // namespace mosaiq::check
