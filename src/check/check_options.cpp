#include "check/check_options.h"

#include <string_view>
#include <utility>

namespace mosaiq::check {

const char* const check_usage =
    "usage: mosaiq-check [--format text|json] [--beats-per-measure N]\n"
    "                    [--ignore CHECK[,CHECK...]] [--color[=auto|always|never]] FILE...\n"
    "       mosaiq-check -h | --help | --version\n";

const char* const check_help =
    "mosaiq-check: tells where a WVE file goes wrong, reading it exactly as mosaiq does.\n"
    "\n"
    "usage: mosaiq-check [OPTION]... FILE...\n"
    "\n"
    "A FILE with no \".\" in its last path component is read as FILE.wve. Each finding is\n"
    "written as FILE:LINE:COLUMN: warning: MESSAGE [CHECK], with the line and a caret under\n"
    "the column; LINE and COLUMN count from 1, COLUMN in bytes.\n"
    "\n"
    "  --format text|json       findings as text (the default) or as one JSON array of\n"
    "                           objects with file, line, column, check and message\n"
    "  --beats-per-measure N    the measure length for the timing check (default: the\n"
    "                           largest beat number among the file's frame records)\n"
    "  --ignore CHECK[,CHECK]   leave these checks out (the option may be repeated)\n"
    "  --color[=WHEN]           colour the text: auto (the default: when standard output is\n"
    "                           a terminal and NO_COLOR is not set), always, never\n"
    "  -h, --help               this text\n"
    "  --version                the version\n"
    "\n"
    "Checks: row-length, truncated-frame, row-looks-like-directive, cell-value, frame-record,\n"
    "division, division-drift, ignored-grid, grid-size, unknown-directive, indented-directive,\n"
    "long-line, after-eof-marker, nul-byte, shift-jis, pattern-text-width, hidden-measure,\n"
    "timing.\n"
    "\n"
    "Exit status: 0 no finding, 1 findings, 2 a file that cannot be read, bad usage, or\n"
    "findings that could not be written.\n";

namespace {

enum Option : std::size_t { format, beats_per_measure, ignore, color };
const std::vector<OptionSpec> option_table = {
    {"--format", OptionSpec::required},
    {"--beats-per-measure", OptionSpec::required},
    {"--ignore", OptionSpec::required},
    {"--color", OptionSpec::optional},
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
  return request;
}

}  // namespace mosaiq::check
