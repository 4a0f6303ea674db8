// The console: standard output, standard error, the answers typed on standard input, and what
// the program needs to know of where its text goes.
#pragma once

#include <string>
#include <string_view>

#include "platform/long_options.h"

namespace mosaiq {

class Console {
 public:
  virtual ~Console() = default;
  // Writes to standard output and flushes it; false when the write failed.
  virtual bool write_out(std::string_view text) = 0;
  // Writes to standard error, after flushing standard output so a combined log keeps the order
  // of events; false when the write failed.
  virtual bool write_err(std::string_view text) = 0;
  // Reads one line of standard input, up to and including its "\n", never further. Returns
  // false when the input ended (or failed) before any character of the line.
  virtual bool read_line(std::string& line) = 0;
  // Drops input typed ahead on a terminal.
  virtual void discard_typeahead() = 0;
  // Whether the program's own Japanese texts are to be written in UTF-8 rather than Shift_JIS.
  virtual bool text_is_utf8() = 0;
  // Whether standard output, or standard error, is a terminal.
  virtual bool output_is_terminal() = 0;
  virtual bool error_is_terminal() = 0;
  // The value of an environment variable; empty when it is not set.
  virtual std::string variable(const char* name) = 0;
};

// The process's own console.
Console& system_console();

// A text of the program's own, kept in Shift_JIS, as the console is to show it.
std::string console_text(Console& console, std::string_view shift_jis);

// The console of a program whose output is its product (every program but the converter):
// every write is checked, and a failed one turns the run's status into 2.
class Reporter {
 public:
  Reporter(Console& console, std::string_view program) : console_(console), program_(program) {}

  Console& console() { return console_; }
  // Writes to standard output.
  void out(std::string_view text) {
    const bool written = console_.write_out(text);
    note(written);
    out_failed_ |= !written;
  }
  // Writes "program: text" and a line end to standard error.
  void say(std::string_view text);
  // Writes the text as it is to standard error.
  void err(std::string_view text) { note(console_.write_err(text)); }
  // Answers a command line that asks for the help text or the version, or is bad usage (the
  // problem, then the usage lines): returns the exit status, or -1 when the run is to go on.
  int answer(CommandRequest request, std::string_view help, std::string_view usage,
             std::string_view problem);
  // `status`, or 2 once a write failed.
  int status(int status) const { return failed_ ? 2 : status; }
  // The run's end: status(), after saying once that standard output could not be written.
  int end(int status);
  bool failed() const { return failed_; }
  // Why the first write failed, in the system's words.
  const std::string& failure() const { return failure_; }

 private:
  void note(bool written);

  Console& console_;
  std::string program_;
  bool failed_ = false;
  bool out_failed_ = false;  // a write to standard output failed, and is still to be said
  std::string failure_;
};

}  // namespace mosaiq
