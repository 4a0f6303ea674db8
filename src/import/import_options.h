// mosaiq-import's command line, read into one record before anything is done.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "import/cell_grid.h"
#include "platform/long_options.h"

namespace mosaiq::import {

// A measure and a beat as the author writes them, "M:B".
struct BeatText {
  std::int64_t measure = 0;  // 0: not given
  std::int64_t beat = 1;
};

struct PatternOption {
  std::int32_t number;
  std::string text;  // as given (UTF-8 on a UTF-8 console)
  BeatText at;       // not given: from the start
};

struct ColourOption {
  std::uint32_t rgb;
  std::uint8_t digit;
};

struct ImportOptions {
  std::vector<std::string> inputs;
  std::string output;  // -o; empty: standard output
  std::string midi;
  double bpm = 0;
  BeatText start, until;
  int per_beat = 0;  // 0: by the delays
  int repeat = 1;
  bool repeat_given = false;
  GridRequest grid;
  int sheet_columns = 0, sheet_rows = 0;
  std::vector<ColourOption> colours;
  std::optional<std::uint32_t> background;  // --background
  std::uint8_t ink = 1;                     // --ink
  std::string preview;                      // --preview: the contact sheet to write
  std::vector<PatternOption> patterns;
  bool list_colours = false;  // --colors
  bool force = false;
};

// Options come in any order around the input files. On bad_usage, `problem` says what is wrong.
CommandRequest parse_import_options(const std::vector<std::string>& arguments,
                                    ImportOptions& options, std::string& problem);

extern const char* const import_usage;
extern const char* const import_help;

}  // namespace mosaiq::import
