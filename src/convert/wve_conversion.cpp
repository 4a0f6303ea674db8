#include "convert/wve_conversion.h"

#include <cstdint>
#include <cstring>
#include <string_view>

#include "convert/converter_state.h"
#include "convert/field_scanner.h"
#include "convert/frame_painter.h"
#include "convert/status_panel.h"
#include "convert/wrd_writer.h"
#include "convert/wve_reader.h"

namespace mosaiq {

namespace {

// What the directive loop keeps for the file in hand.
struct FileScope {
  std::int64_t origin_col = 16;  // screen column of the grid's left edge
  std::int64_t origin_row = 12;  // screen row of the grid's top edge
  std::int32_t pattern_number = 1;
  char pattern_text[256] = {};
  std::size_t pattern_text_length = 0;
  bool in_header = true;  // "*nXY=" is honoured only before any other recognised directive
};

bool starts_with(std::string_view line, std::string_view prefix) {
  return line.size() >= prefix.size() && std::memcmp(line.data(), prefix.data(), prefix.size()) == 0;
}

void write_header(WrdWriter& out) {
  out.put("@startup(400)\r\n@wmode(23);\r\n@wait(0);\r\n\r\n");
}

// "*p%d,%[^\n]" or "*cp%d,%[^\n]": the number when it converts, the text when the number, the
// comma and at least one byte of text are all there. The panel is updated in every case.
void announce_pattern(ConverterState& state, FileScope& file, std::string_view line,
                      std::size_t prefix_length) {
  FieldScanner scan{line, prefix_length};
  std::string_view text;
  if (scan.scan_int(file.pattern_number) && scan.scan_char(',') && scan.scan_rest_of_line(text)) {
    // A line is at most WveReader::line_limit bytes, so the text always fits.
    std::memcpy(file.pattern_text, text.data(), text.size());
    file.pattern_text_length = text.size();
  }
  show_pattern(state, file.pattern_number, {file.pattern_text, file.pattern_text_length});
}

// "*nXY=%d,%d": the width when it converts, the height when both do. A grid with a negative
// side or more cells than the limit is not taken; a side of 0 gives a grid without cells.
void set_grid_size(ConverterState& state, FileScope& file, std::string_view line) {
  FieldScanner scan{line, 5};
  std::int32_t width = state.grid_width;
  std::int32_t height = state.grid_height;
  if (scan.scan_int(width) && scan.scan_char(',')) scan.scan_int(height);
  const std::int64_t cells = static_cast<std::int64_t>(width) * height;
  if (width >= 0 && height >= 0 && cells <= state.cell_limit) {
    state.grid_width = width;
    state.grid_height = height;
    state.cell_count = static_cast<std::int32_t>(cells);
  }
  file.origin_col = 40 - static_cast<std::int64_t>(state.grid_width);
  file.origin_row = (24 - static_cast<std::int64_t>(state.grid_height)) / 2 + 3;
}

}  // namespace

ConvertOutcome convert_wve(ConverterState& state, WveReader& input, WrdWriter& output) {
  reset_for_file(state);
  state.input_file = &input;
  state.output_file = &output;
  FileScope file;
  write_header(output);

  bool out_of_memory = false;
  std::string_view line;
  while (!output.failed() && input.next_line(line) == ReadStatus::line) {
    if (line.empty() || line[0] != '*') continue;
    if (starts_with(line, "*f")) {
      file.in_header = false;
      if (!state.new_frame && !allocate_frames(state)) {
        out_of_memory = true;
        break;
      }
      if (paint_frame(state, line, file.origin_col, file.origin_row) != 0) break;
    } else if (starts_with(line, "*nCT=") || starts_with(line, "*complex") ||
               starts_with(line, "*chaos") || starts_with(line, "*normal")) {
      file.in_header = false;
    } else if (starts_with(line, "*p")) {
      file.in_header = false;
      announce_pattern(state, file, line, 2);
    } else if (starts_with(line, "*cp")) {
      file.in_header = false;
      announce_pattern(state, file, line, 3);
    } else if (file.in_header && starts_with(line, "*nXY=")) {
      file.in_header = false;
      set_grid_size(state, file, line);
    } else if (starts_with(line, "*end")) {
      break;
    }
  }

  release_frames(state);
  const bool written = output.flush();
  state.input_file = nullptr;
  state.output_file = nullptr;
  if (out_of_memory) return ConvertOutcome::out_of_memory;
  if (!written) return ConvertOutcome::write_error;
  if (input.failed()) return ConvertOutcome::read_error;
  return ConvertOutcome::converted;
}

}  // namespace mosaiq
