#include "view/html_writer.h"

#include <iterator>
#include <string_view>

#include "platform/json_text.h"
#include "view/page_assets.h"
#include "view/timeline.h"

namespace mosaiq::view {

namespace {

// The kinds of run, as page.js names them (NARROW_TEXT, WIDE_TEXT, GRID_CELLS).
enum RunKind { narrow_text = 0, wide_text = 1, grid_cells = 2 };

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
  append_json_string(out, run.text);
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
      extend(run, change.index, 1, cell.colour + 8 * narrow_text, glyphs.of(cell), out, first);
    } else {
      // A wide character is written from its first column, once.
      const std::int32_t start =
          cell.kind == CellKind::wide_first ? change.index : change.index - 1;
      if (start == last_wide || start < 0) continue;
      last_wide = start;
      Cell first_half = cell;
      first_half.kind = CellKind::wide_first;
      extend(run, start, 2, cell.colour + 8 * wide_text, glyphs.of(first_half), out, first);
    }
  }
  flush(run, out, first);
}

}  // namespace

namespace {

// What the panel shows after every frame, by the names of PanelValues.
void append_panels(const Script& script, std::string& out) {
  out += "\"panels\":[";
  for (std::size_t k = 0; k < script.frames.size(); ++k) {
    const PanelValues& panel = script.frames[k].panel;
    out += k ? ",{\"pattern\":" : "{\"pattern\":";
    append_json_string(out, panel.pattern);
    out += ",\"measure\":";
    append_json_string(out, panel.measure);
    out += ",\"beat\":";
    append_json_string(out, panel.beat);
    out += '}';
  }
  out += "]";
}

// Every frame's start in seconds, then the song's measure and beat there.
void append_times(const std::vector<FrameTime>& times, std::string& out) {
  out += "\"starts\":[";
  for (std::size_t k = 0; k + 1 < times.size(); ++k) {
    if (k) out += ',';
    out += seconds_text(times[k].seconds);
  }
  out += "],\n\"end\":" + seconds_text(times.back().seconds) + ",\n\"bars\":[";
  for (std::size_t k = 0; k + 1 < times.size(); ++k) {
    out += k ? ",[" : "[";
    out += std::to_string(times[k].song.measure) + "," + std::to_string(times[k].song.beat) + "]";
  }
  out += "]";
}

}  // namespace

std::string page_data(const PageContent& content, GlyphText& glyphs) {
  std::string out = "{\"frames\":[";
  for (std::size_t k = 0; k < content.script.frames.size(); ++k) {
    out += k ? ",\n[" : "\n[";
    frame_runs(content.script.frames[k], glyphs, out);
    out += ']';
  }
  out += "],\n";
  append_times(content.times, out);
  out += ",\n";
  append_panels(content.script, out);
  out += ",\n\"song\":";
  append_json_string(out, content.song);
  out += ",\n\"audio\":";
  out += content.audio.empty() ? "false" : "true";
  return out + "}";
}

namespace {

// The page's template cut once at its marks, in the order they stand: no text put into the page
// is ever looked at for a mark.
struct PageTemplate {
  static constexpr std::string_view marks[] = {"@TITLE@", "@STYLE@", "@AUDIO@", "@DATA@",
                                               "@PLAYER@"};
  std::string_view pieces[std::size(marks) + 1];

  PageTemplate() {
    std::string_view rest = page_html;
    for (std::size_t i = 0; i < std::size(marks); ++i) {
      const std::size_t at = rest.find(marks[i]);
      pieces[i] = rest.substr(0, at);
      rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + marks[i].size());
    }
    pieces[std::size(marks)] = rest;
  }
};

const PageTemplate& page_template() {
  static const PageTemplate page;
  return page;
}

}  // namespace

bool page_written_by_view(std::string_view first_bytes) {
  const std::string_view opening = page_template().pieces[0];
  const std::string_view marked = opening.substr(0, opening.find(page_mark) + page_mark.size());
  return first_bytes.substr(0, marked.size()) == marked;
}

std::string html_page(const PageContent& content, GlyphText& glyphs) {
  const PageTemplate& page = page_template();
  const std::string audio = content.audio.empty() ? "" : " src=\"" + content.audio + "\"";
  const std::string fills[] = {html_escape(content.title), page_css, audio,
                               page_data(content, glyphs), page_js};
  std::string out(page.pieces[0]);
  for (std::size_t i = 0; i < std::size(fills); ++i) {
    out += fills[i];
    out += page.pieces[i + 1];
  }
  return out;
}

}  // namespace mosaiq::view
