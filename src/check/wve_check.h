// Checking one WVE file: it is read with the engine's reader and directive loop, exactly as
// mosaiq reads it, and every place that deserves a finding gets one, in the order of the file.
#pragma once

#include <cstdint>
#include <string_view>

#include "check/checks.h"
#include "check/finding_writer.h"
#include "check/wve_outline.h"
#include "convert/byte_streams.h"

namespace mosaiq::check {

struct CheckSettings {
  // The measure length for the timing check; 0: the largest beat number among the file's
  // frame records of three or more numbers (at least 1).
  std::int64_t beats_per_measure = 0;
  bool ignored[check_count] = {};
};

// Writes the file's findings, in the order of the file, through the writer. The source is read
// from its start; `outline` is what outline_wve() found in it. Returns false when a read of the
// source failed (the findings stop there).
bool check_wve(ByteSource& source, const WveOutline& outline, std::string_view file,
               const CheckSettings& settings, FindingWriter& writer);

// Checks the bytes of a file in memory, both readings included; false when a read failed.
bool check_text(std::string_view bytes, std::string_view file, const CheckSettings& settings,
                FindingWriter& writer, std::size_t piece = static_cast<std::size_t>(-1));

}  // namespace mosaiq::check
