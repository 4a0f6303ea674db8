// What the lines of a WVE file say: directive recognition and the scans of directive fields.
#pragma once

#include <cstdint>
#include <string_view>

namespace mosaiq {

// What a line read outside a frame's rows is. Directives are recognised by their leading bytes,
// case-sensitively, in this order; whatever follows the prefix is scanned or not read at all.
enum class LineKind : std::uint8_t {
  text,               // not a directive: no "*" in its first byte
  frame_record,       // "*f": a frame record, the grid's rows follow
  ignored_directive,  // "*nCT=", "*complex", "*chaos", "*normal": recognised, no effect
  pattern,            // "*p" or "*cp": a pattern announcement
  grid_size,          // "*nXY=" while no other directive has been recognised in the file
  late_grid_size,     // "*nXY=" after that: not honoured, as an unrecognised directive
  end,                // "*end": the rest of the input is not read
  unknown_directive,  // any other line beginning with "*": ignored
};

inline LineKind classify_line(std::string_view text, bool in_header);

// Every directive's name after its "*", as classify_line() recognises them, longer names first:
// a line that begins with one of them is taken for the first that matches.
constexpr std::string_view directive_names[] = {
    "complex", "normal", "chaos", "nCT=", "nXY=", "end", "cp", "f", "p"};

// Whether the kind ends the header, after which "*nXY=" is no longer honoured.
inline bool ends_header(LineKind kind) {
  return kind != LineKind::text && kind != LineKind::late_grid_size &&
         kind != LineKind::unknown_directive;
}

// "*p%d,%[^\n]" (or "*cp..."): what of the number and the text converted. The text is every
// byte after the comma, at least one; the number is taken alone when the rest does not follow.
struct PatternScan {
  bool number_converted = false;
  bool text_converted = false;
  std::int32_t number = 0;
  std::string_view text;
};
PatternScan scan_pattern(std::string_view line);

// "*nXY=%d,%d": the width when it converts, the height when the width, the comma and the
// height all do.
struct GridScan {
  bool width_converted = false;
  bool height_converted = false;
  std::int32_t width = 0;
  std::int32_t height = 0;
};
GridScan scan_grid_size(std::string_view line);

namespace directive_detail {

inline bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace directive_detail

// No prefix is the start of another, so the second byte picks the only ones to compare.
inline LineKind classify_line(std::string_view text, bool in_header) {
  using directive_detail::starts_with;
  if (text.empty() || text[0] != '*') return LineKind::text;
  switch (text.size() > 1 ? text[1] : '\0') {
    case 'f': return LineKind::frame_record;
    case 'p': return LineKind::pattern;
    case 'c':
      if (starts_with(text, "*cp")) return LineKind::pattern;
      if (starts_with(text, "*complex") || starts_with(text, "*chaos")) {
        return LineKind::ignored_directive;
      }
      break;
    case 'n':
      if (starts_with(text, "*nCT=") || starts_with(text, "*normal")) {
        return LineKind::ignored_directive;
      }
      if (starts_with(text, "*nXY=")) {
        return in_header ? LineKind::grid_size : LineKind::late_grid_size;
      }
      break;
    case 'e':
      if (starts_with(text, "*end")) return LineKind::end;
      break;
    default: break;
  }
  return LineKind::unknown_directive;
}

}  // namespace mosaiq
