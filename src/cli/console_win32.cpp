#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cli/console.h"

namespace mosaiq {

namespace {

// Standard output and standard error stay in text mode: their "\n" reaches the console, or a
// redirected file, as CR LF.
class WindowsConsole : public Console {
 public:
  void write_out(std::string_view text) override { write_standard_output(text); }
  void write_err(std::string_view text) override { write_standard_error(text); }

  // Byte by byte from the descriptor, so nothing past the line end is taken from a pipe.
  bool read_line(std::string& line) override {
    line.clear();
    for (;;) {
      char c;
      if (_read(0, &c, 1) != 1) return !line.empty();
      line.push_back(c);
      if (c == '\n') return true;
    }
  }

  void discard_typeahead() override {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input != INVALID_HANDLE_VALUE && GetFileType(input) == FILE_TYPE_CHAR) {
      FlushConsoleInputBuffer(input);
    }
  }
};

}  // namespace

bool standard_output_is_terminal() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  return output != INVALID_HANDLE_VALUE && GetFileType(output) == FILE_TYPE_CHAR;
}

bool console_text_is_utf8() { return false; }

Console& system_console() {
  static WindowsConsole console;
  return console;
}

}  // namespace mosaiq
