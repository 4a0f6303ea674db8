#include "convert/frame_record.h"

#include "convert/converter_state.h"
#include "convert/field_scanner.h"

namespace mosaiq {

FrameRecord parse_frame_record(std::string_view line, const ConverterState& state) {
  FrameRecord record{state.shown_pattern, state.shown_measure, state.shown_beat, 0, 1};
  FieldScanner scan{line, 2};  // past "*f"
  // Scanning stops at the first part of the form that does not match.
  (void)(scan.scan_int(record.pattern_number) && scan.scan_char('-') && scan.scan_int(record.measure) &&
      scan.scan_char('-') && scan.scan_int(record.beat) && scan.scan_char('-') &&
      scan.scan_int(record.repaint_flag) && scan.scan_char('/') &&
      scan.scan_int(record.beat_division));
  return record;
}

}  // namespace mosaiq
