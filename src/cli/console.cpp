#include "cli/console.h"

#include <cstdio>

#include "cli/standard_streams.h"

namespace mosaiq {

namespace {

// Writes through the C streams, flushed at once, output before anything goes to standard
// error; reads byte by byte, so nothing past a line end is taken from a pipe and each question
// gets its own line of a scripted answer.
class SystemConsole : public Console {
 public:
  void write_out(std::string_view text) override {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }

  void write_err(std::string_view text) override {
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  }

  bool read_line(std::string& line) override {
    line.clear();
    char byte;
    while (read_standard_input_byte(byte)) {
      line.push_back(byte);
      if (byte == '\n') return true;
    }
    return !line.empty();
  }

  void discard_typeahead() override { discard_typed_ahead_input(); }

  bool text_is_utf8() override { return console_text_is_utf8(); }
};

}  // namespace

Console& system_console() {
  static SystemConsole console;
  return console;
}

}  // namespace mosaiq
