#include "check/check_options.h"

#include <string_view>
#include <utility>

namespace mosaiq::check {

const char* const check_usage =
    "usage: mosaiq-check [--format text|json] [--midi SONG.mid | --beats-per-measure N] [--all]\n"
    "                    [--ignore CHECK[,CHECK...]] [--color[=auto|always|never]] FILE...\n"
    "       mosaiq-check -h | --help | --version\n";

const char* const check_help =
    "mosaiq-check: tells where a WVE file goes wrong, reading it exactly as mosaiq does.\n"
    "\n"
    "usage: mosaiq-check [OPTION]... FILE...\n"
    "\n"
    "A FILE with no \".\" in its last path component is read as FILE.wve; - is standard input.\n"
    "Each finding is written as FILE:LINE:COLUMN: warning: MESSAGE [CHECK], with the line and a\n"
    "caret under the column, then its notes, FILE:LINE:COLUMN: note: MESSAGE, where its cause\n"
    "stands or how many more like it were folded into it; LINE and COLUMN count from 1, COLUMN\n"
    "in bytes. A last line on standard error counts the warnings.\n"
    "\n"
    "  --format text|json       findings as text (the default) or as one JSON array of\n"
    "                           objects with file, line, column, check, message and notes\n"
    "  --midi SONG.mid          the song every FILE plays with (by default FILE's name with\n"
    "                           .mid or .MID beside it): its time signatures name the measures,\n"
    "                           and each frame's stamp is checked against the song's measure\n"
    "                           and beat where the player shows it\n"
    "  --beats-per-measure N    without a song, the measure length for the timing check\n"
    "                           (default: the largest beat that most measures have)\n"
    "  --all                    every finding, none folded into the first of a cascade\n"
    "  --ignore CHECK[,CHECK]   leave these checks out (the option may be repeated)\n"
    "  --color[=WHEN]           colour the text: auto (the default: when standard output is\n"
    "                           a terminal and NO_COLOR is not set), always, never\n"
    "  -h, --help               this text\n"
    "  --version                the version\n"
    "\n"
    "Checks: byte-order-mark, no-frames, row-length, truncated-frame, row-looks-like-directive,\n"
    "full-width, cell-value, frame-record, division, division-drift, ignored-grid, grid-size,\n"
    "grid-partial, unknown-directive, indented-directive, long-line, after-eof-marker, nul-byte,\n"
    "utf8-text, shift-jis, pattern-text-width, pattern-unannounced, pattern-unused,\n"
    "hidden-measure, timing, song-position.\n"
    "\n"
    "Exit status: 0 no finding, 1 findings, 2 a file or song that cannot be read, bad usage,\n"
    "or findings that could not be written.\n";

namespace {

enum Option : std::size_t { format, beats_per_measure, ignore, color, midi, all };
const std::vector<OptionSpec> option_table = {
    {"--format", OptionSpec::required}, {"--beats-per-measure", OptionSpec::required},
    {"--ignore", OptionSpec::required}, {"--color", OptionSpec::optional},
    {"--midi", OptionSpec::required},   {"--all"},
};

bool parse_ignored(const std::string& list, CheckOptions& options, std::string& problem) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    const std::string name = list.substr(start, comma == std::string::npos ? comma : comma - start);
    Check check;
    if (!find_check(name, check)) {
      problem = "unknown check '" + name + "'";
      return false;
    }
    options.ignored[static_cast<int>(check)] = true;
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

// Takes one option's value; false, with the problem, when it is not one the option takes.
bool take_option(const OptionUse& use, CheckOptions& options, std::string& problem) {
  const std::string& value = use.value;
  switch (use.option) {
    case format:
      if (value != "text" && value != "json") {
        problem = "--format takes text or json, not '" + value + "'";
        return false;
      }
      options.format = value == "json" ? Format::json : Format::text;
      return true;
    case beats_per_measure: {
      long long beats = 0;
      if (read_count(value, 2147483647, beats) && beats >= 1) {
        options.beats_per_measure = beats;
        return true;
      }
      problem = "--beats-per-measure takes a number of beats from 1 up";
      return false;
    }
    case ignore: return parse_ignored(value, options, problem);
    case midi: options.midi = value; return true;
    case all: options.all = true; return true;
    default: break;
  }
  if (value.empty() || value == "always") {
    options.color = ColorMode::always;
  } else if (value == "never" || value == "auto") {
    options.color = value == "never" ? ColorMode::never : ColorMode::automatic;
  } else {
    problem = "--color takes auto, always or never, not '" + value + "'";
    return false;
  }
  return true;
}

}  // namespace

CommandRequest parse_check_options(const std::vector<std::string>& arguments, CheckOptions& options,
                                   std::string& problem) {
  CommandLine line;
  const OperandRule files{static_cast<std::size_t>(-1), "no file to check", ""};
  const CommandRequest request =
      read_options(arguments, option_table, take_option, files, options, line, problem);
  options.files = std::move(line.operands);
  if (request == CommandRequest::run && line.has(midi) && line.has(beats_per_measure)) {
    problem = "--midi and --beats-per-measure do not go together";
    return CommandRequest::bad_usage;
  }
  return request;
}

}  // namespace mosaiq::check
