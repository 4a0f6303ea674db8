#include "studio/studio_options.h"

#include "convert/converter_state.h"

namespace mosaiq::studio {

const char* const studio_usage =
    "usage: mosaiq-studio [--midi SONG.mid] [--bpm N] [--grid WxH] [--port N] [--no-browser]\n"
    "                     [--soundfont FILE.sf2] [--no-cache] [--recover] FILE.wve\n";

const char* const studio_help =
    "mosaiq-studio: compose, draw and hear a WVE animation on its song's timeline, in the\n"
    "browser.\n"
    "\n"
    "It serves a page on this computer only (127.0.0.1, an address with a token of its own) and\n"
    "opens it in the browser: the player's screen and the song's sound, a timeline of the song's\n"
    "measures and beats with every frame on it, the frame's cells to paint, the patterns, and\n"
    "the checker's findings as they change. FILE.wve may not exist yet: a new animation. Saving\n"
    "(Ctrl+S) writes it whole, the lines no edit touched as they were; a file another program\n"
    "changed meanwhile is not written over unless the page is told to. Ctrl+C here stops it;\n"
    "changes not saved are then kept in FILE.wve.autosave.\n"
    "\n"
    "  --midi SONG.mid              the song (by default the one the file's song line names,\n"
    "                               else FILE's name with .mid beside it)\n"
    "  --bpm N                      a constant tempo of N quarter notes a minute in place of\n"
    "                               the song's (its signatures still count)\n"
    "  --grid WxH                   a new file's grid, from 1x1 to 39x22 (24x5 by default)\n"
    "  --port N                     listen on port N (by default any free one)\n"
    "  --no-browser                 print the address, open no browser\n"
    "  --soundfont FILE.sf2         the SoundFont the song sounds with\n"
    "  --no-cache                   render the song afresh, keep nothing\n"
    "  --recover                    take up FILE.wve.autosave, the changes not saved last time\n"
    "  -h, --help                   this text\n"
    "  --version                    the version\n"
    "\n"
    "Exit status: 0 stopped, 2 bad usage, a file or song that cannot be read or used, a port\n"
    "that cannot be had, or the address that could not be printed.\n";

namespace {

enum Option : std::size_t { midi, bpm, grid, port, no_browser, soundfont, no_cache, recover };
const std::vector<OptionSpec> option_table = {
    {"--midi", OptionSpec::required},
    {"--bpm", OptionSpec::required},
    {"--grid", OptionSpec::required},
    {"--port", OptionSpec::required},
    {"--no-browser"},
    {"--soundfont", OptionSpec::required},
    {"--no-cache"},
    {"--recover"},
};

bool read_grid(const std::string& text, int& width, int& height) {
  const std::size_t by = text.find('x');
  long long across = 0, down = 0;
  if (by == std::string::npos || !read_count(text.substr(0, by), max_fitting_width, across) ||
      !read_count(text.substr(by + 1), max_fitting_height, down) || across < 1 || down < 1) {
    return false;
  }
  width = static_cast<int>(across);
  height = static_cast<int>(down);
  return true;
}

bool take_option(const OptionUse& use, StudioOptions& options, std::string& problem) {
  long long number = 0;
  switch (use.option) {
    case midi: options.midi = use.value; return true;
    case bpm:
      if (read_decimal(use.value, 1, options.bpm)) return true;
      problem = "--bpm wants a tempo of 1 or more quarter notes a minute, not '" + use.value + "'";
      return false;
    case grid:
      if (read_grid(use.value, options.width, options.height)) return true;
      problem = "--grid wants W x H cells, from 1x1 to 39x22, not '" + use.value + "'";
      return false;
    case port:
      if (read_count(use.value, 65535, number)) {
        options.port = static_cast<int>(number);
        return true;
      }
      problem = "--port wants a port number, 0 to 65535, not '" + use.value + "'";
      return false;
    case no_browser: options.no_browser = true; return true;
    case soundfont: options.soundfont = use.value; return true;
    case no_cache: options.no_cache = true; return true;
    case recover: options.recover = true; return true;
    default: return false;
  }
}

}  // namespace

CommandRequest parse_studio_options(const std::vector<std::string>& arguments,
                                    StudioOptions& options, std::string& problem) {
  CommandLine line;
  const OperandRule file{1, "no file given", "one file at a time"};
  const CommandRequest request =
      read_options(arguments, option_table, take_option, file, options, line, problem);
  if (request != CommandRequest::run) return request;
  options.file = line.operands[0];
  if (options.file == "-") {
    problem = "the studio edits a file, not standard input";
    return CommandRequest::bad_usage;
  }
  return CommandRequest::run;
}

}  // namespace mosaiq::studio
