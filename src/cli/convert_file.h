// Converting one file argument: names, the overwrite question, the files, the progress line.
#pragma once

#include <string>

#include "cli/messages.h"

namespace mosaiq {

class Console;
struct ConverterState;
struct PathSyntax;

struct FileResult {
  enum Kind { converted, skipped, fatal } kind;
  Message message;  // what to report, when fatal
};

// Converts the WVE file named by the argument into its WRD file: the output name comes from
// output_name when it is not null (the -o name), else from the argument. Returns skipped when
// the user declined to overwrite, fatal (with the message) when the run must end; every file
// it opened is closed by then, and the input is never opened for writing.
FileResult convert_file(ConverterState& state, Console& console, const PathSyntax& syntax,
                        const std::string& argument, const std::string* output_name);

}  // namespace mosaiq
