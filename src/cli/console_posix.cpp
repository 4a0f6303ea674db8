#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "cli/console.h"

namespace mosaiq {

namespace {

class PosixConsole : public Console {
 public:
  void write_out(std::string_view text) override { write_standard_output(text); }
  void write_err(std::string_view text) override { write_standard_error(text); }

  // Byte by byte from the descriptor: nothing past the line end is taken from a pipe, so each
  // question gets its own line of a scripted answer.
  bool read_line(std::string& line) override {
    line.clear();
    for (;;) {
      char c;
      ssize_t count = ::read(STDIN_FILENO, &c, 1);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) return !line.empty();
      line.push_back(c);
      if (c == '\n') return true;
    }
  }

  void discard_typeahead() override {
    if (::isatty(STDIN_FILENO)) ::tcflush(STDIN_FILENO, TCIFLUSH);
  }
};

}  // namespace

Console& system_console() {
  static PosixConsole console;
  return console;
}

}  // namespace mosaiq
