#include "view/script_reader.h"

#include <cstddef>

namespace mosaiq::view {

namespace {

constexpr std::int64_t wmode_cap = 1'000'000'000LL;

// The n of "@wmode(n)" at the start of `line`; false when the line is another command.
bool parse_wmode(std::string_view line, std::int64_t& value) {
  constexpr std::string_view prefix = "@wmode(";
  if (line.substr(0, prefix.size()) != prefix) return false;
  std::size_t i = prefix.size();
  bool negative = false;
  if (i < line.size() && (line[i] == '-' || line[i] == '+')) negative = line[i++] == '-';
  const std::size_t digits = i;
  std::int64_t v = 0;
  for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
    v = v >= wmode_cap ? wmode_cap : v * 10 + (line[i] - '0');
  }
  if (i == digits || i >= line.size() || line[i] != ')') return false;
  value = negative ? -v : v;
  return true;
}

void close_frame(Script& script, const Screen& screen, Screen& before, std::int64_t wmode) {
  Frame frame{wmode, {}, read_panel(screen)};
  for (int i = 0; i < screen_rows * screen_columns; ++i) {
    if (screen.cells[i] != before.cells[i]) frame.changes.push_back({i, screen.cells[i]});
  }
  script.frames.push_back(std::move(frame));
  before = screen;
}

}  // namespace

Script read_script(std::string_view bytes) {
  Script script;
  Screen screen, before;
  std::int64_t wmode = 23;
  bool drawn_since_frame = false;
  std::size_t start = 0;
  std::int64_t line_number = 0;
  while (start < bytes.size()) {
    ++line_number;
    std::size_t end = bytes.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    start = next;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) {
      close_frame(script, screen, before, wmode);
      drawn_since_frame = false;
    } else if (line.front() == '@') {
      if (line.substr(0, 8) == "@startup" || line.substr(0, 8) == "@STARTUP") {
        script.has_startup = true;
      }
      std::int64_t value;
      if (parse_wmode(line, value)) {
        wmode = value;
        if (value < 0 && !script.negative_wmode) {
          script.negative_wmode = true;
          script.first_negative_wmode = value;
        }
      }
    } else {
      std::string what;
      const std::int64_t passed = apply_text_line(screen, line, &what);
      if (passed > 0 && script.first_passed_over.size() < 3) {
        script.first_passed_over.push_back("line " + std::to_string(line_number) + ": " + what);
      }
      script.passed_over += passed;
      drawn_since_frame = true;
    }
  }
  if (drawn_since_frame || script.frames.empty()) close_frame(script, screen, before, wmode);
  return script;
}

Screen screen_at(const Script& script, std::size_t k) {
  Screen screen;
  for (std::size_t f = 0; f <= k && f < script.frames.size(); ++f) {
    for (const CellChange& change : script.frames[f].changes) {
      screen.cells[change.index] = change.cell;
    }
  }
  return screen;
}

}  // namespace mosaiq::view
