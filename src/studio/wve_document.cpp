#include "studio/wve_document.h"

#include "convert/converter_state.h"
#include "convert/directive_loop.h"
#include "convert/status_panel.h"
#include "convert/wve_directives.h"

namespace mosaiq::studio {

namespace {

// The longest line mosaiq reads whole.
constexpr std::size_t longest_whole_line = WveReader::line_limit - 1;

// The division a record leaves in force, the one before being `in_force`.
std::int32_t division_after(const FrameRecord& record, std::int32_t in_force) {
  return record.beat_division != 0 ? record.beat_division : in_force;
}

void show_record(PanelState& panel, const FrameRecord& record) {
  update_pattern(panel, record.pattern_number, false);
  update_measure_beat(panel, record.measure, record.beat);
}

// Whether a frame's record line still says what the frame is, where it now shows.
bool record_holds(const FrameBlock& frame, std::int64_t position, const SongBeat& at,
                  std::int32_t in_force) {
  const FrameRecord& record = frame.parsed;
  if (!frame.record || record.pattern_number != frame.pattern ||
      division_after(record, in_force) != frame.division) {
    return false;
  }
  return position == frame.read_position ||
         (record.numbers >= 3 && record.measure == at.measure && record.beat == at.beat);
}

std::string record_text(const FrameBlock& frame, const SongBeat& at, const std::string& end) {
  const std::int32_t flag =
      frame.record && frame.parsed.numbers >= 4 ? frame.parsed.repaint_flag : 0;
  return "*f" + std::to_string(frame.pattern) + "-" + std::to_string(at.measure) + "-" +
         std::to_string(at.beat) + "-" + std::to_string(flag) + "/" +
         std::to_string(frame.division) + end;
}

}  // namespace

Line make_line(std::string text) { return std::make_shared<const std::string>(std::move(text)); }

std::string_view line_text(const Line& line) {
  std::string_view text = *line;
  if (!text.empty() && text.back() == '\n') {
    text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  }
  return text;
}

Lines split_lines(std::string_view bytes) {
  Lines lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    end = end == std::string_view::npos ? bytes.size() : end + 1;
    lines.push_back(make_line(std::string(bytes.substr(start, end - start))));
    start = end;
  }
  return lines;
}

std::string join_lines(const Lines& lines) {
  std::size_t size = 0;
  for (const Line& line : lines) size += line->size();
  std::string text;
  text.reserve(size);
  for (const Line& line : lines) text += *line;
  return text;
}

std::string uneditable_reason(std::string_view bytes) {
  const Lines lines = split_lines(bytes);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = line_text(lines[i]);
    const std::string where = "line " + std::to_string(i + 1);
    if (text.size() > longest_whole_line) {
      return where + " is longer than " + std::to_string(longest_whole_line) +
             " bytes, and mosaiq reads it in pieces";
    }
    if (text.find('\0') != std::string_view::npos) return where + " holds a NUL byte";
    const std::size_t marker = text.find('\x1a');
    if (marker != std::string_view::npos && (i + 1 != lines.size() || text != "\x1a")) {
      return where + " holds an end-of-file byte (0x1A) before the end of the file";
    }
  }
  const WveDocument document = read_document(lines, MeasureMap(4, 4));
  if (!document.frames.empty() &&
      document.frames.back().rows.size() < static_cast<std::size_t>(document.height)) {
    return "it ends before all the rows of its last frame";
  }
  if (document.width < 1 || document.width > max_fitting_width || document.height < 1 ||
      document.height > max_fitting_height) {
    return "its grid of " + std::to_string(document.width) + " x " +
           std::to_string(document.height) + " cells does not fit the screen";
  }
  return {};
}

WveDocument read_document(const Lines& lines, const MeasureMap& measures) {
  WveDocument document;
  for (const Line& line : lines) {
    if (line->size() >= 1 && line->back() == '\n') {
      document.line_end = line->size() >= 2 && (*line)[line->size() - 2] == '\r' ? "\r\n" : "\n";
      break;
    }
  }
  ConverterState state;
  DirectiveScope scope;
  PanelState panel;
  std::int32_t in_force = header_division;
  std::int64_t position = first_frame_position(measures);
  Lines between;
  std::size_t i = 0;
  for (; i < lines.size(); ++i) {
    const std::string_view text = line_text(lines[i]);
    const LineKind kind = classify_line(text, scope.in_header);
    if (kind == LineKind::grid_size)
      apply_grid_size(state, scope, scan_grid_size(text), max_cell_count);
    if (ends_header(kind)) scope.in_header = false;
    if (kind == LineKind::end) break;
    if (kind != LineKind::frame_record) {
      between.push_back(lines[i]);
      continue;
    }
    FrameBlock frame;
    if (document.frames.empty()) {
      document.header = std::move(between);
    } else {
      frame.leading = std::move(between);
    }
    between.clear();
    frame.record = lines[i];
    frame.parsed = parse_frame_record(text, panel);
    show_record(panel, frame.parsed);
    in_force = division_after(frame.parsed, in_force);
    frame.division = in_force;
    frame.pattern = frame.parsed.pattern_number;
    frame.read_position = position;
    position += frame_units(in_force);
    for (std::int32_t row = 0; row < state.grid_height && i + 1 < lines.size(); ++row) {
      frame.rows.push_back(lines[++i]);
    }
    document.frames.push_back(std::move(frame));
  }
  if (document.frames.empty()) {
    document.header = std::move(between);
  } else {
    document.trailer = std::move(between);
  }
  document.trailer.insert(document.trailer.end(), lines.begin() + static_cast<std::ptrdiff_t>(i),
                          lines.end());
  document.width = state.grid_width;
  document.height = state.grid_height;
  return document;
}

std::vector<std::int64_t> frame_positions(const WveDocument& document, const MeasureMap& measures) {
  std::vector<std::int64_t> positions;
  positions.reserve(document.frames.size() + 1);
  std::int64_t position = first_frame_position(measures);
  for (const FrameBlock& frame : document.frames) {
    positions.push_back(position);
    position += frame_units(frame.division);
  }
  positions.push_back(position);
  return positions;
}

Lines rows_of_cells(const std::string& cells, int width, const std::string& line_end) {
  Lines rows;
  const auto w = static_cast<std::size_t>(width);
  for (std::size_t at = 0; at + w <= cells.size(); at += w) {
    rows.push_back(make_line(cells.substr(at, w) + line_end));
  }
  return rows;
}

Lines document_lines(const WveDocument& document, const MeasureMap& measures) {
  Lines out = document.header;
  const std::vector<std::int64_t> positions = frame_positions(document, measures);
  const auto cell_count = static_cast<std::size_t>(document.width * document.height);
  std::int32_t in_force = header_division;
  for (std::size_t k = 0; k < document.frames.size(); ++k) {
    const FrameBlock& frame = document.frames[k];
    out.insert(out.end(), frame.leading.begin(), frame.leading.end());
    const SongBeat at = measures.at(positions[k]);
    if (record_holds(frame, positions[k], at, in_force)) {
      out.push_back(frame.record);
    } else {
      out.push_back(make_line(record_text(frame, at, document.line_end)));
    }
    in_force = frame.division;
    if (!frame.cells_changed && frame.rows.size() == static_cast<std::size_t>(document.height)) {
      out.insert(out.end(), frame.rows.begin(), frame.rows.end());
    } else {
      std::string cells = frame.cells;
      cells.resize(cell_count, '0');
      const Lines rows = rows_of_cells(cells, document.width, document.line_end);
      out.insert(out.end(), rows.begin(), rows.end());
    }
  }
  out.insert(out.end(), document.trailer.begin(), document.trailer.end());
  // The file's last line may have had no line end: one that is no longer last gets one.
  for (std::size_t i = 0; i + 1 < out.size(); ++i) {
    if (out[i]->empty() || out[i]->back() != '\n') out[i] = make_line(*out[i] + document.line_end);
  }
  return out;
}

}  // namespace mosaiq::studio
