#include "view/html_writer.h"

#include <cstdio>
#include <string_view>

#include "view/page_assets.h"
#include "view/timeline.h"

namespace mosaiq::view {

namespace {

constexpr int narrow = 0, wide = 1, grid_cells = 2;

// A JSON string that is also safe inside a <script> element.
void put_json_string(std::string& out, std::string_view text) {
  out += '"';
  for (const char ch : text) {
    const unsigned char byte = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (byte < 0x20 || ch == '<' || ch == '>' || ch == '&') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += ch;
    }
  }
  out += '"';
}

std::string html_escape(const std::string& text) {
  std::string out;
  for (const char ch : text) {
    switch (ch) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += ch;
    }
  }
  return out;
}

// A stretch of changed columns of one row, written alike.
struct Run {
  std::int32_t index = -1;  // where it starts; -1: none yet
  std::int32_t end = -1;    // the column after it
  int flags = 0;            // colour + 8 * kind
  std::string text;
};

void flush(Run& run, std::string& out, bool& first) {
  if (run.index < 0) return;
  if (!first) out += ',';
  first = false;
  out += std::to_string(run.index) + ',' + std::to_string(run.flags) + ',';
  put_json_string(out, run.text);
  run.index = -1;
}

// Adds `columns` columns written as `text` at `index` to the run, or starts a new one.
void extend(Run& run, std::int32_t index, int columns, int flags, const std::string& text,
            std::string& out, bool& first) {
  const bool joins = run.index >= 0 && index == run.end && flags == run.flags &&
                     index / screen_columns == run.index / screen_columns;
  if (!joins) {
    flush(run, out, first);
    run.index = index;
    run.flags = flags;
    run.text.clear();
  }
  run.text += text;
  run.end = index + columns;
}

// A frame's changes as runs: [index, flags, text, ...].
void frame_runs(const Frame& frame, GlyphText& glyphs, std::string& out) {
  Run run;
  bool first = true;
  std::int32_t last_wide = -2;  // where the last wide character written started
  for (const CellChange& change : frame.changes) {
    const Cell& cell = change.cell;
    if (cell.kind == CellKind::blank || is_block_glyph(cell)) {
      const std::string column(
          1, cell.kind == CellKind::blank ? ' ' : static_cast<char>('0' + cell.colour));
      extend(run, change.index, 1, 8 * grid_cells, column, out, first);
    } else if (cell.kind == CellKind::single) {
      extend(run, change.index, 1, cell.colour + 8 * narrow, glyphs.of(cell), out, first);
    } else {
      // A wide character is written from its first column, once.
      const std::int32_t start =
          cell.kind == CellKind::wide_first ? change.index : change.index - 1;
      if (start == last_wide || start < 0) continue;
      last_wide = start;
      Cell first_half = cell;
      first_half.kind = CellKind::wide_first;
      extend(run, start, 2, cell.colour + 8 * wide, glyphs.of(first_half), out, first);
    }
  }
  flush(run, out, first);
}

}  // namespace

std::string page_data(const Script& script, const std::vector<double>& starts, double end,
                      GlyphText& glyphs) {
  std::string out = "{\"frames\":[";
  for (std::size_t k = 0; k < script.frames.size(); ++k) {
    out += k ? ",\n[" : "\n[";
    frame_runs(script.frames[k], glyphs, out);
    out += ']';
  }
  out += "],\n\"starts\":[";
  for (std::size_t k = 0; k < starts.size(); ++k) {
    if (k) out += ',';
    out += seconds_text(starts[k]);
  }
  out += "],\n\"end\":";
  out += seconds_text(end);
  out += ",\n\"panels\":[";
  for (std::size_t k = 0; k < script.frames.size(); ++k) {
    const PanelValues& panel = script.frames[k].panel;
    out += k ? ",[" : "[";
    put_json_string(out, panel.pattern);
    out += ',';
    put_json_string(out, panel.measure);
    out += ',';
    put_json_string(out, panel.beat);
    out += ']';
  }
  return out + "]}";
}

std::string html_page(const Script& script, const std::vector<double>& starts, double end,
                      GlyphText& glyphs, const std::string& title) {
  std::string page = page_html;
  const auto replace = [&page](std::string_view mark, const std::string& with) {
    const std::size_t at = page.find(mark);
    if (at != std::string::npos) page.replace(at, mark.size(), with);
  };
  // The data last: nothing in it can look like a mark.
  replace("@TITLE@", html_escape(title));
  replace("@STYLE@", page_css);
  replace("@SCRIPT@", page_js);
  replace("@DATA@", page_data(script, starts, end, glyphs));
  return page;
}

}  // namespace mosaiq::view
