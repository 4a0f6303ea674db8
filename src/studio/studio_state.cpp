#include "studio/studio_state.h"

#include <algorithm>
#include <cstdio>

#include "check/checks.h"
#include "convert/cell_colours.h"
#include "platform/json_text.h"
#include "platform/shift_jis.h"
#include "studio/document_edits.h"
#include "view/timeline.h"

namespace mosaiq::studio {

namespace {

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  std::string out = text;
  out.erase(out.find_last_not_of('0') + 1);
  if (out.back() == '.') out.pop_back();
  return out;
}

std::string flag(bool value) { return value ? "true" : "false"; }

// The line (from 1) of every frame's record.
std::vector<std::uint64_t> record_lines(const WveDocument& document) {
  std::vector<std::uint64_t> lines;
  std::uint64_t line = document.header.size();
  for (const FrameBlock& frame : document.frames) {
    line += frame.leading.size();
    lines.push_back(line + 1);
    line += 1 + frame.rows.size();
  }
  return lines;
}

void append_frames(const StateView& view, const std::vector<std::uint64_t>& lines,
                   std::string& out) {
  out += "\"frames\":[";
  const std::vector<FrameTime>& times = view.analysis.times;
  for (std::size_t k = 0; k < view.document.frames.size() && k + 2 < times.size(); ++k) {
    const FrameBlock& frame = view.document.frames[k];
    const FrameTime& start = times[k + 1];
    const std::string& cells = k < view.analysis.cells.size() ? view.analysis.cells[k] : "";
    const bool repeat = k > 0 && cells == view.analysis.cells[k - 1];
    out += k ? ",\n{" : "\n{";
    out += "\"start\":" + view::seconds_text(start.seconds) +
           ",\"end\":" + view::seconds_text(times[k + 2].seconds) +
           ",\"quarters\":" + number(static_cast<double>(start.position) / units_per_quarter) +
           ",\"stamp\":" +
           json_string(std::to_string(frame.parsed.pattern_number) + "-" +
                       std::to_string(frame.parsed.measure) + "-" +
                       std::to_string(frame.parsed.beat)) +
           ",\"song\":[" + std::to_string(start.song.measure) + "," +
           std::to_string(start.song.beat) + "],\"division\":" + std::to_string(frame.division) +
           ",\"pattern\":" + std::to_string(frame.pattern) + ",\"cells\":" + json_string(cells) +
           ",\"line\":" + std::to_string(lines[k]) + ",\"repeat\":" + flag(repeat) + "}";
  }
  out += "]";
}

void append_patterns(const StateView& view, std::string& out) {
  out += "\"patterns\":[";
  bool first = true;
  for (std::size_t k = 0; k < view.document.frames.size(); ++k) {
    for (const Announcement& announced : announcements_at(view.document, k)) {
      out += first ? "{" : ",{";
      first = false;
      out += "\"frame\":" + std::to_string(k + 1) +
             ",\"number\":" + std::to_string(announced.number) +
             ",\"text\":" + json_string(sjis_to_utf8(announced.text)) + "}";
    }
  }
  out += "]";
}

void append_findings(const StateView& view, const std::vector<std::uint64_t>& lines,
                     std::string& out) {
  out += "\"findings\":[";
  bool first = true;
  for (const check::Finding& finding : view.analysis.findings) {
    const auto frame = static_cast<std::size_t>(
        std::upper_bound(lines.begin(), lines.end(), finding.line) - lines.begin());
    out += first ? "\n{" : ",\n{";
    first = false;
    out += "\"line\":" + std::to_string(finding.line) +
           ",\"column\":" + std::to_string(finding.column) +
           ",\"check\":" + json_string(check::check_name(finding.check)) +
           ",\"message\":" + json_string(finding.message) + ",\"frame\":" + std::to_string(frame) +
           ",\"notes\":[";
    for (std::size_t i = 0; i < finding.notes.size(); ++i) {
      const check::Note& note = finding.notes[i];
      out += (i ? ",{" : "{") + std::string("\"line\":") + std::to_string(note.line) +
             ",\"column\":" + std::to_string(note.column) +
             ",\"message\":" + json_string(note.message) + "}";
    }
    out += "]}";
  }
  out += "]";
}

double seconds_at(const StateView& view, std::int64_t position) {
  return view.tempo.seconds_at(static_cast<double>(position) / units_per_quarter);
}

// Every measure, with the seconds its beats start at, to a measure past the song's end and the
// animation's.
void append_ruler(const StateView& view, std::string& out) {
  const auto song_end = static_cast<std::int64_t>(song_end_quarters(view.song) * units_per_quarter);
  const std::int64_t end =
      std::max(song_end,
               view.analysis.times.empty() ? std::int64_t{0} : view.analysis.times.back().position);
  const std::int64_t last = std::min(view.measures.at(end).measure + 1, most_ruler_measures);
  out += "\"ruler\":[";
  for (std::int64_t measure = 1; measure <= last; ++measure) {
    out += measure > 1 ? ",\n[" : "\n[";
    out += std::to_string(measure);
    const std::int64_t beats =
        view.measures.measure_units(measure) / view.measures.beat_units(measure);
    for (std::int64_t beat = 1; beat <= beats; ++beat) {
      out += "," + view::seconds_text(seconds_at(view, view.measures.position(measure, beat)));
    }
    out += "]";
  }
  out += "],\n\"rulerEnd\":" +
         view::seconds_text(seconds_at(view, view.measures.position(last + 1, 1)));
}

}  // namespace

std::string studio_state(const StateView& view) {
  const std::vector<std::uint64_t> lines = record_lines(view.document);
  std::string out =
      "{\"revision\":" + std::to_string(view.revision) + ",\"name\":" + json_string(view.name) +
      ",\"dirty\":" + flag(view.dirty) + ",\"diskChanged\":" + flag(view.changed_on_disk) +
      ",\"undo\":" + json_string(view.undo) + ",\"redo\":" + json_string(view.redo) +
      ",\"editable\":" + flag(view.analysis.in_step) + ",\"grid\":[" +
      std::to_string(view.document.width) + "," + std::to_string(view.document.height) + "],\n";
  append_frames(view, lines, out);
  out += ",\n";
  append_patterns(view, out);
  out += ",\n";
  append_findings(view, lines, out);
  out += ",\n";
  append_ruler(view, out);
  out += ",\n\"end\":" +
         view::seconds_text(view.analysis.times.empty() ? 0 : view.analysis.times.back().seconds);
  out += ",\n\"colours\":[";
  for (int digit = 0; digit < 8; ++digit) {
    const CellColour& colour = cell_colours[digit];
    char rgb[8];
    std::snprintf(rgb, sizeof rgb, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    out += (digit ? ",[" : "[") + json_string(colour.name) + "," + json_string(rgb) + "]";
  }
  out += "],\n\"page\":" + view.analysis.page_data + "}";
  return out;
}

}  // namespace mosaiq::studio
