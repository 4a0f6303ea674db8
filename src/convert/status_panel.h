// The status panel: the pattern on screen row 1, the measure and the beat on row 3.
#pragma once

#include <cstdint>
#include <string_view>

namespace mosaiq {

struct ConverterState;

// Both labels to be written again, and every shown value back to 0; for each new output file.
void reset_panel(ConverterState& state);

// Brings the pattern row up to date: the label the first time in a file, then the number and
// text unless the number is the one shown and the text is empty. The text is written unchanged.
void show_pattern(ConverterState& state, std::int32_t number, std::string_view text);

// Brings the measure/beat row up to date: the label line the first time in a file, then the
// values when the beat differs from the one shown (the beat alone decides).
void show_measure_beat(ConverterState& state, std::int32_t measure, std::int32_t beat);

}  // namespace mosaiq
