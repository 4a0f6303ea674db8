#include "view/view_options.h"

#include "platform/output_rules.h"

namespace mosaiq::view {

const char* const view_usage =
    "usage: mosaiq-view [--watch] [--mute] [--midi SONG.mid] [--bpm N] FILE\n"
    "       mosaiq-view --frame K|end [--plain] FILE\n"
    "       mosaiq-view --list [--midi SONG.mid] [--bpm N] FILE\n"
    "       mosaiq-view --html OUT.html [--force] [--audio FILE | --no-audio] [--midi SONG.mid]\n"
    "                   [--bpm N] FILE\n"
    "       mosaiq-view --gif OUT.gif [--force] [--scale N] [--panel] [--midi SONG.mid]\n"
    "                   [--bpm N] FILE\n"
    "       (and --soundfont FILE.sf2 wherever a song is played)\n";

const char* const view_help =
    "mosaiq-view: shows a WRD script on a model of the player's 80 x 25 screen, in step with\n"
    "its song, without a player.\n"
    "\n"
    "FILE is a WRD script, a WVE file (a name ending in .wve: converted first, as mosaiq\n"
    "converts it; a name with no extension gets .wve), or - for a script on standard input.\n"
    "\n"
    "  mosaiq-view FILE             play it in this terminal (80 x 25 at least): Space pauses,\n"
    "                               Left and Right step while paused, q quits; a 26th row\n"
    "                               shows the frame, its time and the song's measure:beat\n"
    "  --watch                      while playing, show FILE (and its song) again whenever it\n"
    "                               changes on disk, at the frame on screen\n"
    "  --frame K|end [--plain]      print the screen after frame K (0: after the header; end:\n"
    "                               the last), with colours or, with --plain, without\n"
    "  --list                       print when each frame starts: frame, start in seconds, the\n"
    "                               song's measure and beat there (song_measure, song_beat),\n"
    "                               and the pattern, measure and beat the panel shows after it\n"
    "  --html OUT.html              write a page that plays it: never over FILE, the song or a\n"
    "                               WVE file, and over another file only when it is a page\n"
    "                               mosaiq-view wrote\n"
    "  --gif OUT.gif                write an animated GIF of the grid: one frame for every\n"
    "                               frame from 1 on that changes it, timed by the song; the\n"
    "                               same rules as --html for what it may write over\n"
    "  --scale N                    with --gif: N x N pixels a cell (1 to 64; 8 by default)\n"
    "  --panel                      with --gif: the panel's pattern and measure/beat lines\n"
    "                               above the grid (ASCII; other characters as blanks)\n"
    "  --force                      with --html or --gif: write over a file that is not one\n"
    "                               this program wrote\n"
    "  --audio FILE                 with --html: the page's sound from FILE (Ogg Vorbis, Ogg\n"
    "                               Opus, MP3, WAV or FLAC, told by its first bytes) instead\n"
    "                               of the song rendered with FluidSynth\n"
    "  --no-audio                   with --html: a silent page\n"
    "  --soundfont FILE             the SoundFont the song is played with (by default\n"
    "                               MOSAIQ_SOUNDFONT, else Debian's default-GM.sf3 or .sf2)\n"
    "  --mute                       play in the terminal without sound\n"
    "  --midi SONG.mid              the song: its tempo map and opening time signature; by\n"
    "                               default FILE's name with .mid (or .MID) beside it\n"
    "  --bpm N                      a constant tempo of N quarter notes a minute (140.06, say)\n"
    "                               instead of the song's tempo map\n"
    "  -h, --help                   this text\n"
    "  --version                    the version\n"
    "\n"
    "Timeline, as a WRD player plays a script: its first line takes one measure of the song's\n"
    "opening time signature, then every empty line ends a frame and moves on (n + 1) / 24 of a\n"
    "quarter note under @wmode(n). Without a song: 4/4 at 120 quarter notes a minute, which\n"
    "is said once on standard error. A song's measures count through its time signatures, a\n"
    "beat being the signature's note (an eighth in 6/8).\n"
    "\n"
    "With a song, the terminal and the page play it through FluidSynth, the frames following\n"
    "its position; the page carries it as Ogg Opus.\n"
    "\n"
    "The page: Space plays and pauses, Left and Right step, Home and End go to the first and\n"
    "last frame, f is full screen, < and > (or [ and ]) change the speed, m mutes; open it at\n"
    "OUT.html#frame=K, or #frame=K&play to start playing.\n"
    "\n"
    "Exit status: 0 done, 1 a frame past the end, no terminal to play on or no frame for a\n"
    "GIF, 2 bad usage, a file that cannot be read or written, a file the page or GIF must\n"
    "not replace, or output that could not be written; 130 when playing was interrupted.\n";

namespace {

enum Option : std::size_t {
  frame,
  plain,
  list,
  html,
  midi,
  bpm,
  force,
  watch,
  audio,
  no_audio,
  soundfont,
  mute,
  gif,
  scale,
  panel,
  span,
  no_cache
};
const std::vector<OptionSpec> option_table = {
    {"--frame", OptionSpec::required},
    {"--plain"},
    {"--list"},
    {"--html", OptionSpec::required},
    {"--midi", OptionSpec::required},
    {"--bpm", OptionSpec::required},
    {"--force"},
    {"--watch"},
    {"--audio", OptionSpec::required},
    {"--no-audio"},
    {"--soundfont", OptionSpec::required},
    {"--mute"},
    {"--gif", OptionSpec::required},
    {"--scale", OptionSpec::required},
    {"--panel"},
    {"--span", OptionSpec::required},
    {"--no-cache"},
};

// Takes one option; false, with the problem, when its value is not one it takes.
bool take_option(const OptionUse& use, ViewOptions& options, std::string& problem) {
  long long number = 0;
  switch (use.option) {
    case frame:
      if (use.value != "end" && !read_count(use.value, 999999999999, number)) {
        problem = "--frame wants a frame number or 'end', not '" + use.value + "'";
        return false;
      }
      options.mode = ViewMode::frame;
      options.frame = use.value;
      return true;
    case plain: options.plain = true; return true;
    case list: options.mode = ViewMode::list; return true;
    case html:
      if (!name_ends_in(use.value, {".html", ".htm"})) {
        problem = "--html wants a page's name, ending in .html or .htm, not '" + use.value + "'";
        return false;
      }
      options.mode = ViewMode::html;
      options.html = use.value;
      return true;
    case midi: options.midi = use.value; return true;
    case force: options.force = true; return true;
    case watch: options.watch = true; return true;
    case audio: options.audio = use.value; return true;
    case no_audio: options.no_audio = true; return true;
    case soundfont: options.soundfont = use.value; return true;
    case mute: options.mute = true; return true;
    case gif:
      if (!name_ends_in(use.value, {".gif"})) {
        problem = "--gif wants a name ending in .gif, not '" + use.value + "'";
        return false;
      }
      options.mode = ViewMode::gif;
      options.gif = use.value;
      return true;
    case panel: options.panel = true; return true;
    case no_cache: options.no_cache = true; return true;
    case span:
      if (use.value != "song" && use.value != "animation") {
        problem = "--span takes song or animation, not '" + use.value + "'";
        return false;
      }
      options.span_animation = use.value == "animation";
      return true;
    case scale:
      if (!read_count(use.value, 64, number) || number == 0) {
        problem = "--scale wants 1 to 64 pixels a cell, not '" + use.value + "'";
        return false;
      }
      options.scale = static_cast<int>(number);
      return true;
    default: break;
  }
  if (!read_decimal(use.value, 1, options.bpm)) {
    problem = "--bpm wants a tempo of 1 or more quarter notes a minute, not '" + use.value + "'";
    return false;
  }
  return true;
}

// Options that do not go together, as they were given.
bool conflicts(const CommandLine& line, std::string& problem) {
  if (line.has(frame) + line.has(html) + line.has(list) + line.has(gif) > 1) {
    problem = "--frame, --list, --html and --gif do not go together";
  } else if (line.has(plain) && !line.has(frame)) {
    problem = "--plain goes with --frame";
  } else if (line.has(force) && !line.has(html) && !line.has(gif)) {
    problem = "--force goes with --html or --gif";
  } else if ((line.has(scale) || line.has(panel)) && !line.has(gif)) {
    problem = std::string(line.has(scale) ? "--scale" : "--panel") + " goes with --gif";
  } else if ((line.has(watch) || line.has(mute)) &&
             (line.has(frame) || line.has(html) || line.has(list) || line.has(gif))) {
    problem =
        std::string(line.has(watch) ? "--watch" : "--mute") + " goes with playing in the terminal";
  } else if ((line.has(audio) || line.has(no_audio)) && !line.has(html)) {
    problem = std::string(line.has(audio) ? "--audio" : "--no-audio") + " goes with --html";
  } else if (line.has(audio) && line.has(no_audio)) {
    problem = "--audio and --no-audio do not go together";
  } else if ((line.has(span) || line.has(no_cache)) &&
             (!line.has(html) || line.has(audio) || line.has(no_audio))) {
    problem = std::string(line.has(span) ? "--span" : "--no-cache") +
              " goes with --html and the song's sound";
  }
  return !problem.empty();
}

// Standard input, read for one thing only.
bool reads_input_twice(const ViewOptions& options, std::string& problem) {
  if (options.script == "-" && options.audio == "-") {
    problem = "standard input is read once: for the script or for --audio, not both";
  }
  return !problem.empty();
}

}  // namespace

CommandRequest parse_view_options(const std::vector<std::string>& arguments, ViewOptions& options,
                                  std::string& problem) {
  CommandLine line;
  const OperandRule script{1, "no script given", "one script at a time"};
  const CommandRequest request =
      read_options(arguments, option_table, take_option, script, options, line, problem);
  if (request != CommandRequest::run) return request;
  if (conflicts(line, problem)) return CommandRequest::bad_usage;
  options.script = line.operands[0];
  return reads_input_twice(options, problem) ? CommandRequest::bad_usage : CommandRequest::run;
}

}  // namespace mosaiq::view
