#include "check/check_options.h"

#include <string_view>

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

// The value of "--name=value" or of "--name value"; false when there is none.
bool option_value(const std::vector<std::string>& arguments, std::size_t& at, std::string_view name,
                  std::string& value) {
  const std::string& argument = arguments[at];
  if (argument.size() > name.size() && argument.compare(0, name.size(), name) == 0 &&
      argument[name.size()] == '=') {
    value = argument.substr(name.size() + 1);
    return true;
  }
  if (at + 1 == arguments.size()) return false;
  value = arguments[++at];
  return true;
}

bool matches(const std::string& argument, std::string_view name) {
  return argument == name ||
         (argument.size() > name.size() && argument.compare(0, name.size(), name) == 0 &&
          argument[name.size()] == '=');
}

bool parse_count(const std::string& text, std::int64_t& value) {
  if (text.empty() || text.size() > 10) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value <= 2147483647;
}

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

CommandRequest bad(std::string& problem, std::string text) {
  problem = std::move(text);
  return CommandRequest::bad_usage;
}

}  // namespace

CommandRequest parse_check_options(const std::vector<std::string>& arguments, CheckOptions& options,
                                   std::string& problem) {
  bool only_files = false;
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    std::string value;
    if (only_files || argument.empty() || argument[0] != '-') {
      options.files.push_back(argument);
    } else if (argument == "--") {
      only_files = true;
    } else if (argument == "-h" || argument == "--help") {
      return CommandRequest::help;
    } else if (argument == "--version") {
      return CommandRequest::version;
    } else if (matches(argument, "--format")) {
      if (!option_value(arguments, at, "--format", value)) {
        return bad(problem, "--format needs a value");
      }
      if (value != "text" && value != "json") {
        return bad(problem, "--format takes text or json, not '" + value + "'");
      }
      options.format = value == "json" ? Format::json : Format::text;
    } else if (matches(argument, "--beats-per-measure")) {
      if (!option_value(arguments, at, "--beats-per-measure", value) ||
          !parse_count(value, options.beats_per_measure) || options.beats_per_measure < 1) {
        return bad(problem, "--beats-per-measure takes a number of beats from 1 up");
      }
    } else if (matches(argument, "--ignore")) {
      if (!option_value(arguments, at, "--ignore", value)) {
        return bad(problem, "--ignore needs a check");
      }
      if (!parse_ignored(value, options, problem)) return CommandRequest::bad_usage;
    } else if (argument == "--color" || argument == "--color=always") {
      options.color = ColorMode::always;
    } else if (argument == "--color=never") {
      options.color = ColorMode::never;
    } else if (argument == "--color=auto") {
      options.color = ColorMode::automatic;
    } else {
      return bad(problem, "unknown option '" + argument + "'");
    }
  }
  if (options.files.empty()) return bad(problem, "no file to check");
  return CommandRequest::run;
}

}  // namespace mosaiq::check
