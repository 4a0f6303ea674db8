// mosaiq-view's command line, read into one record before anything is done.
#pragma once

#include <string>
#include <vector>

#include "platform/long_options.h"

namespace mosaiq::view {

enum class ViewMode { play, frame, list, html, gif };

struct ViewOptions {
  ViewMode mode = ViewMode::play;
  std::string script;           // a .wrd script, a .wve file, or "-" for standard input
  std::string midi;             // --midi: the song; empty: one beside the script, if any
  double bpm = 0;               // --bpm: a constant tempo in place of the song's; 0: the song's
  std::string frame;            // --frame: a frame number, or "end"
  bool plain = false;           // --plain: --frame without colour escapes
  std::string html;             // --html: the page to write
  bool force = false;           // --force: write over a file this program did not write
  bool watch = false;           // --watch: play, and show the file again whenever it changes
  std::string audio;            // --audio: the page's sound, from this file instead of the song
  bool no_audio = false;        // --no-audio: a silent page
  std::string soundfont;        // --soundfont: the SoundFont to play the song with
  bool mute = false;            // --mute: play in the terminal without sound
  std::string gif;              // --gif: the GIF to write
  int scale = 8;                // --scale: pixels a cell in the GIF
  bool panel = false;           // --panel: the panel's lines in the GIF
  bool span_animation = false;  // --span animation: the page's song to a measure after the end
  bool no_cache = false;        // --no-cache: render the page's song, keep nothing
};

// Options come in any order around the one file argument. On bad_usage, `problem` says what is
// wrong.
CommandRequest parse_view_options(const std::vector<std::string>& arguments, ViewOptions& options,
                                  std::string& problem);

extern const char* const view_usage;
extern const char* const view_help;

}  // namespace mosaiq::view
