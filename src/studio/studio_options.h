// mosaiq-studio's command line, read into one record before anything is done.
#pragma once

#include <string>
#include <vector>

#include "platform/long_options.h"

namespace mosaiq::studio {

struct StudioOptions {
  std::string file;  // the WVE file to edit; it may not exist yet
  std::string midi;  // --midi: the song; empty: the one the file names, or one beside it
  double bpm = 0;    // --bpm: a constant tempo in place of the song's; 0: the song's
  int width = 0;     // --grid: a new file's grid; 0: 24 x 5
  int height = 0;
  int port = 0;             // --port: 0, any free one
  bool no_browser = false;  // --no-browser: print the address only
  std::string soundfont;    // --soundfont
  bool no_cache = false;    // --no-cache
  bool recover = false;     // --recover: take up the autosave beside the file
};

CommandRequest parse_studio_options(const std::vector<std::string>& arguments,
                                    StudioOptions& options, std::string& problem);

extern const char* const studio_usage;
extern const char* const studio_help;

}  // namespace mosaiq::studio
