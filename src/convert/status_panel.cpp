#include "convert/status_panel.h"

#include <cstring>

#include "convert/converter_state.h"
#include "convert/wrd_writer.h"

namespace mosaiq {

namespace {

constexpr std::int32_t yellow = 6;
constexpr std::int32_t white = 7;

// Copies a literal into a span reserved in the writer; returns the end of the copy.
template <std::size_t size>
char* put_text(char* at, const char (&text)[size]) {
  std::memcpy(at, text, size - 1);
  return at + size - 1;
}

void select_white(ConverterState& state) {
  if (state.current_colour == white) return;
  state.output_file->put("\x1b[37m;");
  state.output_file->end_line();
  state.current_colour = white;
}

}  // namespace

void reset_panel(ConverterState& state) { state.panel = PanelState{}; }

void show_pattern(ConverterState& state, std::int32_t number, std::string_view text) {
  WrdWriter& out = *state.output_file;
  const PatternChange change = update_pattern(state.panel, number, !text.empty());
  if (change.label) {
    out.put("\x1b[1;1H;");
    out.end_line();
    out.put("\x1b[33mPattern      \x1b[0K;");
    out.end_line();
    state.current_colour = yellow;
  }
  if (!change.value) return;
  out.put("\x1b[1;9H;");
  out.end_line();
  out.put("\x1b[33m");
  out.put_decimal_2(number);
  out.put("   \x1b[0K");
  out.put(text);
  out.put(";");
  out.end_line();
  state.current_colour = yellow;
}

void show_measure_beat(ConverterState& state, std::int32_t measure, std::int32_t beat) {
  WrdWriter& out = *state.output_file;
  const MeasureBeatChange change = update_measure_beat(state.panel, measure, beat);
  if (change.label) {
    select_white(state);
    out.put("\x1b[3;1H;");
    out.end_line();
    out.put("Measure      Beat   ;");
    out.end_line();
  }
  if (!change.beat) return;
  select_white(state);
  // Both value lines at once: they come every frame.
  char* at = out.reserve(2 * (7 + max_decimal_length + 1 + 3));
  if (change.measure) {
    at = put_text(at, "\x1b[3;9H");
    at = WrdWriter::end_line(put_text(format_decimal_2(measure, at), ";"));
  }
  at = put_text(at, "\x1b[3;19H");
  out.commit(WrdWriter::end_line(put_text(format_decimal_2(beat, at), ";")));
}

}  // namespace mosaiq
