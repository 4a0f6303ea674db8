#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>

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

bool standard_output_is_terminal() { return ::isatty(STDOUT_FILENO) != 0; }

bool console_text_is_utf8() {
  static const bool utf8 = [] {
    if (std::setlocale(LC_CTYPE, "") == nullptr) return false;
    const char* codeset = nl_langinfo(CODESET);
    const bool is_utf8 = codeset != nullptr && (std::strcmp(codeset, "UTF-8") == 0 ||
                                                std::strcmp(codeset, "utf8") == 0);
    std::setlocale(LC_CTYPE, "C");
    return is_utf8;
  }();
  return utf8;
}

Console& system_console() {
  static PosixConsole console;
  return console;
}

}  // namespace mosaiq
