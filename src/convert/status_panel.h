// The status panel: the pattern on screen row 1, the measure and the beat on row 3. What the
// panel shows is followed by pure updates, which the checker uses alone; the converter also
// writes the lines each update calls for.
#pragma once

#include <cstdint>
#include <string_view>

namespace mosaiq {

struct ConverterState;

// The screen column where a pattern's text begins ("Pattern" at 1, the number "%2d" at 9, three
// blanks), and how many columns of the 80-column screen are left for it.
constexpr std::int64_t pattern_text_column = 14;
constexpr std::int64_t pattern_text_room = 80 - pattern_text_column + 1;

struct PanelState {
  bool pattern_label_pending = true;  // labels still to be written
  bool measure_beat_label_pending = true;
  std::int32_t shown_pattern = 0;  // the values last written
  std::int32_t shown_measure = 0;
  std::int32_t shown_beat = 0;
};

// What bringing the pattern row up to date writes: the label the first time in a file, then the
// number and text unless the number is the one shown and there is no text.
struct PatternChange {
  bool label;
  bool value;
};
inline PatternChange update_pattern(PanelState& panel, std::int32_t number, bool has_text) {
  const PatternChange change{panel.pattern_label_pending,
                             number != panel.shown_pattern || has_text};
  panel.pattern_label_pending = false;
  if (change.value) panel.shown_pattern = number;
  return change;
}

// What bringing the measure/beat row up to date writes: the label line the first time in a
// file, then the values when the beat differs from the one shown (the beat alone decides), the
// measure among them when it differs too.
struct MeasureBeatChange {
  bool label;
  bool beat;
  bool measure;
};
inline MeasureBeatChange update_measure_beat(PanelState& panel, std::int32_t measure,
                                             std::int32_t beat) {
  MeasureBeatChange change{panel.measure_beat_label_pending, false, false};
  panel.measure_beat_label_pending = false;
  if (beat == panel.shown_beat) return change;
  change.beat = true;
  panel.shown_beat = beat;
  change.measure = measure != panel.shown_measure;
  if (change.measure) panel.shown_measure = measure;
  return change;
}

// Both labels to be written again, and every shown value back to 0; for each new output file.
void reset_panel(ConverterState& state);

// Brings the pattern row up to date and writes what that calls for. The text is written
// unchanged.
void show_pattern(ConverterState& state, std::int32_t number, std::string_view text);

// Brings the measure/beat row up to date and writes what that calls for.
void show_measure_beat(ConverterState& state, std::int32_t measure, std::int32_t beat);

}  // namespace mosaiq
