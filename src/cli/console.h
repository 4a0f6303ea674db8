// The console: standard output, standard error and the answers typed on standard input.
#pragma once

#include <string>
#include <string_view>

namespace mosaiq {

// Whether the console shows UTF-8: on POSIX when the codeset of the user's locale is UTF-8
// (LC_CTYPE is set back to "C" after the question, so nothing else changes); never on
// Windows, whose console texts are in the ANSI code page.
bool console_text_is_utf8();

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
  // Whether the program's own Japanese texts are to be written in UTF-8 rather than in
  // Shift_JIS: console_text_is_utf8() for the process's console.
  virtual bool text_is_utf8() { return console_text_is_utf8(); }
};

// The process's own console.
Console& system_console();

// Whether standard output is a terminal.
bool standard_output_is_terminal();



// Standard output and standard error through the C streams, as both platforms' consoles write
// them: output flushed at once, and flushed before anything goes to standard error. A failed
// write is not reported.
void write_standard_output(std::string_view text);
void write_standard_error(std::string_view text);

}  // namespace mosaiq
