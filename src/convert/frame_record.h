// The frame record line: "*f" pattern "-" measure "-" beat, optionally "-" flag "/" division.
#pragma once

#include <cstdint>
#include <string_view>

namespace mosaiq {

struct ConverterState;
struct PanelState;

struct FrameRecord {
  std::int32_t pattern_number;
  std::int32_t measure;
  std::int32_t beat;
  std::int32_t repaint_flag;   // non-zero permits a whole-grid repaint
  std::int32_t beat_division;  // 0 keeps the division in force
  std::int32_t numbers;        // how many numbers converted, 0 to 5
};

// Reads the record's numbers with the rules of formatted input. A pattern number, measure or
// beat that does not convert takes the value the panel shows now, so it changes nothing there;
// a flag that does not convert is 0 and a division that does not convert is 1, as in a record
// of three numbers.
FrameRecord parse_frame_record(std::string_view line, const PanelState& shown);

// Makes the record's division the one in force unless it is 0 or already in force; true when
// it changed, and the script must say so.
bool take_beat_division(ConverterState& state, const FrameRecord& record);

}  // namespace mosaiq
