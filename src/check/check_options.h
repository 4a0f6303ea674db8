// mosaiq-check's command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/checks.h"
#include "platform/long_options.h"

namespace mosaiq::check {

enum class Format { text, json };
enum class ColorMode { automatic, always, never };

struct CheckOptions {
  Format format = Format::text;
  ColorMode color = ColorMode::automatic;
  std::int64_t beats_per_measure = 0;  // 0: the largest beat number among the file's stamps
  bool ignored[check_count] = {};
  std::string midi;  // --midi: the song of every file; empty: each file's own, beside it
  bool all = false;  // --all: no finding folded into the first of a cascade
  std::vector<std::string> files;  // as given; ".wve" is added where the name has no extension
};

// Reads the arguments after the program's name. On bad_usage, `problem` says what is wrong.
CommandRequest parse_check_options(const std::vector<std::string>& arguments, CheckOptions& options,
                                   std::string& problem);

// The usage lines, for standard error after bad usage; the help text, for standard output.
extern const char* const check_usage;
extern const char* const check_help;

}  // namespace mosaiq::check
