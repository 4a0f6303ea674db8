// Converting one file argument: names, the overwrite question, the files, the progress line.
#pragma once

#include <optional>
#include <string>

#include "cli/messages.h"

namespace mosaiq {

class Console;
class FileAccess;
struct ConverterState;
struct PathSyntax;

// What the front end works with for the whole run.
struct FrontEnd {
  ConverterState& state;
  Console& console;
  FileAccess& files;
  const PathSyntax& syntax;
};

struct FileResult {
  enum Kind { converted, skipped, fatal } kind;
  std::optional<Message> message;  // what to report; only a fatal result has one
};

// Converts the WVE file named by the argument into its WRD file: the output name comes from
// output_name when it is not null (the -o name), else from the argument. With
// ask_before_overwrite the user is asked before an existing output file is replaced. Returns
// skipped when the user declined, fatal (with the message) when the run must end; every file it
// opened is closed by then, and the input is never opened for writing.
FileResult convert_file(FrontEnd& front_end, const std::string& argument,
                        const std::string* output_name, bool ask_before_overwrite);

}  // namespace mosaiq
