// The console: standard output, standard error and the answers typed on standard input.
#pragma once

#include <string>
#include <string_view>

namespace mosaiq {

class Console {
 public:
  virtual ~Console() = default;
  // Writes to standard output and flushes it. A failed write changes nothing in the run.
  virtual void write_out(std::string_view text) = 0;
  // Writes to standard error, after flushing standard output so a combined log keeps the order
  // of events. A failed write changes nothing in the run.
  virtual void write_err(std::string_view text) = 0;
  // Reads one line of standard input, up to and including its "\n", never further. Returns
  // false when the input ended (or failed) before any character of the line.
  virtual bool read_line(std::string& line) = 0;
  // Drops input typed ahead on a terminal.
  virtual void discard_typeahead() = 0;
  // Whether the program's own Japanese texts are to be written in UTF-8 rather than Shift_JIS.
  virtual bool text_is_utf8() = 0;
};

// The process's own console.
Console& system_console();

}  // namespace mosaiq
