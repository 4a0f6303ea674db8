#include "view/view_options.h"

namespace mosaiq::view {

const char* const view_usage =
    "usage: mosaiq-view [--midi SONG.mid] [--bpm N] FILE\n"
    "       mosaiq-view --frame K|end [--plain] FILE\n"
    "       mosaiq-view --list [--midi SONG.mid] [--bpm N] FILE\n"
    "       mosaiq-view --html OUT.html [--midi SONG.mid] [--bpm N] FILE\n";

const char* const view_help =
    "mosaiq-view: shows a WRD script on a model of the player's 80 x 25 screen, in step with\n"
    "its song, without a player.\n"
    "\n"
    "FILE is a WRD script, a WVE file (a name ending in .wve: converted first, as mosaiq\n"
    "converts it), or - for a script on standard input.\n"
    "\n"
    "  mosaiq-view FILE             play it in this terminal (80 x 25 at least): Space pauses,\n"
    "                               Left and Right step while paused, q quits\n"
    "  --frame K|end [--plain]      print the screen after frame K (0: after the header; end:\n"
    "                               the last), with colours or, with --plain, without\n"
    "  --list                       print when each frame starts: frame, start in seconds, and\n"
    "                               the pattern, measure and beat the panel shows after it\n"
    "  --html OUT.html              write a page that plays it (never over FILE itself)\n"
    "  --midi SONG.mid              the song: its tempo map and opening time signature; by\n"
    "                               default FILE's name with .mid (or .MID) beside it\n"
    "  --bpm N                      a constant tempo of N quarter notes a minute instead of the\n"
    "                               song's tempo map\n"
    "  -h, --help                   this text\n"
    "  --version                    the version\n"
    "\n"
    "Timeline, as a WRD player plays a script: its first line takes one measure of the song's\n"
    "opening time signature, then every empty line ends a frame and moves on (n + 1) / 24 of a\n"
    "quarter note under @wmode(n). Without a song: 4/4 at 120 quarter notes a minute.\n"
    "\n"
    "The page: Space plays and pauses, Left and Right step, Home and End go to the first and\n"
    "last frame, f is full screen, < and > (or [ and ]) change the speed; open it at\n"
    "OUT.html#frame=K, or #frame=K&play to start playing.\n"
    "\n"
    "Exit status: 0 done, 1 bad usage or a frame past the end, 2 a file that cannot be read\n"
    "or written, or a page that would overwrite FILE.\n";

namespace {

bool is_count(const std::string& text) {
  if (text.empty() || text.size() > 12) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The options that take a value; false, with the problem, when the value is wrong.
bool take_value(const std::string& option, const std::string& value, ViewOptions& options,
                std::string& problem) {
  if (option == "--frame") {
    if (value != "end" && !is_count(value)) {
      problem = "--frame wants a frame number or 'end', not '" + value + "'";
      return false;
    }
    options.mode = ViewMode::frame;
    options.frame = value;
  } else if (option == "--html") {
    options.mode = ViewMode::html;
    options.html = value;
  } else if (option == "--midi") {
    options.midi = value;
  } else if (!is_count(value) || (options.bpm = std::stoll(value)) < 1) {
    problem = "--bpm wants a tempo of 1 or more quarter notes a minute, not '" + value + "'";
    return false;
  }
  return true;
}

bool conflicts(const std::vector<std::string>& arguments, std::string& problem) {
  bool frame = false, html = false, list = false, plain = false;
  for (const std::string& argument : arguments) {
    frame |= argument == "--frame";
    html |= argument == "--html";
    list |= argument == "--list";
    plain |= argument == "--plain";
  }
  if (frame + html + list > 1) {
    problem = "--frame, --list and --html do not go together";
  } else if (plain && !frame) {
    problem = "--plain goes with --frame";
  }
  return !problem.empty();
}

}  // namespace

CommandRequest parse_view_options(const std::vector<std::string>& arguments, ViewOptions& options,
                                  std::string& problem) {
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    if (argument == "-h" || argument == "--help") return CommandRequest::help;
    if (argument == "--version") return CommandRequest::version;
    if (argument == "--plain") {
      options.plain = true;
    } else if (argument == "--list") {
      options.mode = ViewMode::list;
    } else if (argument == "--frame" || argument == "--html" || argument == "--bpm" ||
               argument == "--midi") {
      if (at + 1 == arguments.size()) {
        problem = argument + " needs a value";
        return CommandRequest::bad_usage;
      }
      if (!take_value(argument, arguments[++at], options, problem))
        return CommandRequest::bad_usage;
    } else if (argument.size() > 1 && argument[0] == '-') {
      problem = "unknown option '" + argument + "'";
      return CommandRequest::bad_usage;
    } else if (!options.script.empty()) {
      problem = "one script at a time";
      return CommandRequest::bad_usage;
    } else {
      options.script = argument;
    }
  }
  if (conflicts(arguments, problem)) return CommandRequest::bad_usage;
  if (options.script.empty()) {
    problem = "no script given";
    return CommandRequest::bad_usage;
  }
  return CommandRequest::run;
}

}  // namespace mosaiq::view
