#include "import/import_options.h"

#include <cstdio>
#include <limits>

#include "platform/output_rules.h"
#include "song/player_clock.h"

namespace mosaiq::import {

const char* const import_usage =
    "usage: mosaiq-import [-o OUT.wve] [--midi SONG.mid | --bpm N] [OPTION]... PICTURE...\n"
    "       mosaiq-import --colors\n";

const char* const import_help =
    "mosaiq-import: turns pixel art into a WVE file whose frames play on the song's beats.\n"
    "\n"
    "PICTURE is an animated or still GIF, one PNG or several (in the order given), or a folder\n"
    "of PNG files (in natural order: f2 before f10). Margins no picture draws in are trimmed;\n"
    "what is left is taken 1:1 when it fits the screen (39 x 22 cells at most), loses up to\n"
    "three of its least drawn edge rows or columns when it is that much too large, else is\n"
    "reduced by the smallest whole factor that fits. Only the background goes dark (0): the\n"
    "transparent pixels, --background, or else the colour filling the border; every other\n"
    "pixel keeps a lit colour by its hue, or its lightness where it is grey, and black ink\n"
    "takes --ink (--colors lists the colours).\n"
    "\n"
    "  -o, --output OUT.wve         write the WVE file there (never over a picture, the song,\n"
    "                               or a WVE file this program did not write); by default to\n"
    "                               standard output\n"
    "  --force                      write over another file that exists\n"
    "  --midi SONG.mid              the song (by default OUT's name with .mid beside it): its\n"
    "                               tempo map times the frames, its measures and beats stamp them\n"
    "  --bpm N                      a constant tempo of N quarter notes a minute instead (4/4\n"
    "                               without a song)\n"
    "  --start M:B                  the first picture shows at measure M, beat B (by default as\n"
    "                               early as the player shows a frame: one measure and a\n"
    "                               quarter note in)\n"
    "  --per-beat N                 every picture lasts 1/N of a quarter note (N divides 24),\n"
    "                               not the GIF's delays; PNG pictures take 1 by default\n"
    "  --repeat K                   play the pictures K times in all\n"
    "  --until M:B                  play them over and over until measure M, beat B\n"
    "  --pattern N,TEXT[@M:B]       announce pattern N with TEXT from M:B on (from the start\n"
    "                               without @M:B); may be repeated\n"
    "  --grid WxH                   a grid of W x H cells, the pictures scaled into it\n"
    "  --crop X,Y,W,H               take only this part of each picture, in pixels (before a\n"
    "                               sheet is cut)\n"
    "  --sheet COLSxROWS            cut a PNG into frames: left to right, then top to bottom\n"
    "  --no-trim                    keep the margins no picture draws in\n"
    "  --background '#RRGGBB'       the colour that goes dark, besides transparent pixels (by\n"
    "                               default the colour filling the picture's border)\n"
    "  --ink D                      the digit black or dark grey ink becomes (1 by default;\n"
    "                               0 keeps it dark)\n"
    "  --map '#RRGGBB=D'            pixels of exactly that colour become cell digit D\n"
    "                               (0 to 7); may be repeated\n"
    "  --preview SHEET.png          write a contact sheet: each picture beside its cells\n"
    "  --colors                     print the screen colours and their digits\n"
    "  -h, --help                   this text\n"
    "  --version                    the version\n"
    "\n"
    "Each picture starts at the song time its delays give, to the nearest 1/24 of a quarter\n"
    "note (the player's step); the running time is rounded, never each delay, so nothing\n"
    "drifts. Frame records carry their division and the song's measure and beat. The file\n"
    "names its song in a line '; song: NAME', and a last line on standard error says what\n"
    "was made: the grid, how the pictures were taken, the frames, and the span of the song.\n"
    "\n"
    "Exit status: 0 written, 1 written but some pictures too short to show were left out,\n"
    "2 bad usage, a file that cannot be read, used or written.\n";

namespace {

enum Option : std::size_t {
  output_short,
  output,
  force,
  midi,
  bpm,
  start,
  per_beat,
  repeat,
  until,
  pattern,
  grid,
  crop,
  sheet,
  map,
  colors,
  background,
  ink,
  no_trim,
  preview
};
const std::vector<OptionSpec> option_table = {
    {"-o", OptionSpec::required},
    {"--output", OptionSpec::required},
    {"--force"},
    {"--midi", OptionSpec::required},
    {"--bpm", OptionSpec::required},
    {"--start", OptionSpec::required},
    {"--per-beat", OptionSpec::required},
    {"--repeat", OptionSpec::required},
    {"--until", OptionSpec::required},
    {"--pattern", OptionSpec::required},
    {"--grid", OptionSpec::required},
    {"--crop", OptionSpec::required},
    {"--sheet", OptionSpec::required},
    {"--map", OptionSpec::required},
    {"--colors"},
    {"--background", OptionSpec::required},
    {"--ink", OptionSpec::required},
    {"--no-trim"},
    {"--preview", OptionSpec::required},
};

// "A<sep>B" as two counts within their bounds.
bool read_pair(const std::string& text, char separator, long long most_a, long long most_b,
               long long& a, long long& b) {
  std::size_t at = text.find(separator);
  if (separator == 'x' && at == std::string::npos) at = text.find('X');
  return at != std::string::npos && read_count(std::string_view(text).substr(0, at), most_a, a) &&
         read_count(std::string_view(text).substr(at + 1), most_b, b) && a >= 1 && b >= 1;
}

bool read_beat(const std::string& text, BeatText& beat) {
  long long measure = 0, number = 0;
  if (!read_pair(text, ':', 1000000000, 1000000, measure, number)) return false;
  beat = {measure, number};
  return true;
}

bool read_crop(const std::string& text, Rect& crop) {
  long long values[4];
  std::size_t from = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t comma = i < 3 ? text.find(',', from) : text.size();
    if (comma == std::string::npos ||
        !read_count(std::string_view(text).substr(from, comma - from), 65535, values[i])) {
      return false;
    }
    from = comma + 1;
  }
  crop = {static_cast<int>(values[0]), static_cast<int>(values[1]), static_cast<int>(values[2]),
          static_cast<int>(values[3])};
  return crop.width >= 1 && crop.height >= 1;
}

// "#RRGGBB".
bool read_rgb(std::string_view text, std::uint32_t& rgb) {
  if (text.size() != 7 || text[0] != '#') return false;
  rgb = 0;
  for (std::size_t i = 1; i < 7; ++i) {
    const char c = text[i];
    const int value = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (value < 0) return false;
    rgb = rgb << 4 | static_cast<std::uint32_t>(value);
  }
  return true;
}

// "#RRGGBB=D".
bool read_colour(const std::string& text, ColourOption& colour) {
  if (text.size() != 9 || text[7] != '=' || text[8] < '0' || text[8] > '7' ||
      !read_rgb(std::string_view(text).substr(0, 7), colour.rgb)) {
    return false;
  }
  colour.digit = static_cast<std::uint8_t>(text[8] - '0');
  return true;
}

// "N,TEXT" or "N,TEXT@M:B".
bool read_pattern(const std::string& text, PatternOption& pattern) {
  const std::size_t comma = text.find(',');
  long long number = 0;
  if (comma == std::string::npos || !read_count(std::string_view(text).substr(0, comma),
                                                std::numeric_limits<std::int32_t>::max(), number)) {
    return false;
  }
  pattern = {static_cast<std::int32_t>(number), text.substr(comma + 1), {}};
  const std::size_t at = pattern.text.rfind('@');
  if (at != std::string::npos && read_beat(pattern.text.substr(at + 1), pattern.at)) {
    pattern.text.resize(at);
  }
  return !pattern.text.empty();
}

bool bad(std::string& problem, const std::string& name, const char* wants,
         const std::string& value) {
  problem = name + " wants " + wants + ", not '" + value + "'";
  return false;
}

bool take_output(const std::string& name, const std::string& value, ImportOptions& options,
                 std::string& problem) {
  if (value != "-" && !name_ends_in(value, {".wve"})) {
    return bad(problem, name, "a WVE file's name, ending in .wve (or - for standard output)",
               value);
  }
  options.output = value;
  return true;
}

// The options of how pictures are read and shown.
bool take_picture_option(const OptionUse& use, ImportOptions& options, std::string& problem) {
  const std::string name(option_table[use.option].name);
  const std::string& value = use.value;
  long long digit = 0;
  std::uint32_t rgb = 0;
  switch (use.option) {
    case background:
      if (!read_rgb(value, rgb)) return bad(problem, name, "a colour, #RRGGBB", value);
      options.background = rgb;
      return true;
    case ink:
      if (!read_count(value, 7, digit)) return bad(problem, name, "a digit from 0 to 7", value);
      options.ink = static_cast<std::uint8_t>(digit);
      return true;
    case no_trim: options.grid.trim = false; return true;
    case preview:
      if (!name_ends_in(value, {".png"})) return bad(problem, name, "a name ending in .png", value);
      options.preview = value;
      return true;
    default: return false;
  }
}

bool take_option(const OptionUse& use, ImportOptions& options, std::string& problem) {
  const std::string name(option_table[use.option].name);
  const std::string& value = use.value;
  long long a = 0, b = 0;
  switch (use.option) {
    case output_short:
    case output: return take_output(name, value, options, problem);
    case force: options.force = true; return true;
    case midi: options.midi = value; return true;
    case colors: options.list_colours = true; return true;
    case bpm:
      return read_decimal(value, 1, options.bpm) ||
             bad(problem, name, "a tempo of 1 or more quarter notes a minute", value);
    case start:
      return read_beat(value, options.start) ||
             bad(problem, name, "a measure and beat, M:B", value);
    case until:
      return read_beat(value, options.until) ||
             bad(problem, name, "a measure and beat, M:B", value);
    case per_beat:
      if (!read_count(value, finest_division, a) || !keeps_time(static_cast<std::int32_t>(a))) {
        return bad(problem, name, "a number that divides 24 (1, 2, 3, 4, 6, 8, 12 or 24)", value);
      }
      options.per_beat = static_cast<int>(a);
      return true;
    case repeat:
      if (!read_count(value, 1000000, a) || a == 0)
        return bad(problem, name, "a count from 1", value);
      options.repeat = static_cast<int>(a);
      options.repeat_given = true;
      return true;
    case grid:
      if (!read_pair(value, 'x', max_grid_width, max_grid_height, a, b)) {
        return bad(problem, name, "W x H cells, from 1x1 to 39x22", value);
      }
      options.grid.width = static_cast<int>(a);
      options.grid.height = static_cast<int>(b);
      return true;
    case crop:
      return read_crop(value, options.grid.crop) || bad(problem, name, "X,Y,W,H in pixels", value);
    case sheet:
      if (!read_pair(value, 'x', 10000, 10000, a, b)) return bad(problem, name, "COLSxROWS", value);
      options.sheet_columns = static_cast<int>(a);
      options.sheet_rows = static_cast<int>(b);
      return true;
    case map: {
      ColourOption colour{};
      if (!read_colour(value, colour)) return bad(problem, name, "#RRGGBB=D, D from 0 to 7", value);
      options.colours.push_back(colour);
      return true;
    }
    case pattern: {
      PatternOption option{};
      if (!read_pattern(value, option)) return bad(problem, name, "N,TEXT or N,TEXT@M:B", value);
      options.patterns.push_back(std::move(option));
      return true;
    }
    default: return take_picture_option(use, options, problem);
  }
}

}  // namespace

namespace {

bool before(const BeatText& a, const BeatText& b) {
  return a.measure < b.measure || (a.measure == b.measure && a.beat <= b.beat);
}

std::string beat_words(const BeatText& beat) {
  return std::to_string(beat.measure) + ":" + std::to_string(beat.beat);
}

// Options that cannot all be had: said, with the reason.
bool contradicts(const ImportOptions& options, const CommandLine& line, std::string& problem) {
  if (line.has(repeat) && line.has(until)) {
    problem = "--repeat and --until do not go together: one says how often, the other until when";
  } else if (options.start.measure > 0 && options.until.measure > 0 &&
             before(options.until, options.start)) {
    problem = "--until " + beat_words(options.until) + " comes at or before --start " +
              beat_words(options.start) + ": nothing would be shown";
  }
  for (const ColourOption& colour : options.colours) {
    if (problem.empty() && options.background && colour.rgb == *options.background &&
        colour.digit != 0) {
      char rgb[8];
      std::snprintf(rgb, sizeof rgb, "#%06x", static_cast<unsigned>(colour.rgb));
      problem = std::string("--background and --map name one colour, ") + rgb +
                ", the one dark and the other lit";
    }
  }
  return !problem.empty();
}

}  // namespace

CommandRequest parse_import_options(const std::vector<std::string>& arguments,
                                    ImportOptions& options, std::string& problem) {
  CommandLine line;
  const CommandRequest request = read_command_line(
      arguments, option_table,
      [&options](const OptionUse& use, std::string& why) { return take_option(use, options, why); },
      line, problem);
  if (request != CommandRequest::run) return request;
  if (options.list_colours) return CommandRequest::run;
  if (line.operands.empty()) {
    problem = "no picture given";
  } else if (contradicts(options, line, problem)) {
    return CommandRequest::bad_usage;
  }
  options.inputs = line.operands;
  return problem.empty() ? CommandRequest::run : CommandRequest::bad_usage;
}

}  // namespace mosaiq::import
