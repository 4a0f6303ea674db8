#include "platform/console.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/character_set.h"
#include "platform/shift_jis.h"
#include "platform/standard_streams.h"

namespace mosaiq {

namespace {

// Writes through the C streams, flushed at once, output before anything goes to standard
// error; reads byte by byte, so nothing past a line end is taken from a pipe and each question
// gets its own line of a scripted answer.
class SystemConsole : public Console {
 public:
  bool write_out(std::string_view text) override {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return std::fflush(stdout) == 0 && written;
  }

  bool write_err(std::string_view text) override {
    std::fflush(stdout);
    const bool written = std::fwrite(text.data(), 1, text.size(), stderr) == text.size();
    return std::fflush(stderr) == 0 && written;
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
  bool output_is_terminal() override { return standard_output_is_terminal(); }
  bool error_is_terminal() override { return standard_error_is_terminal(); }

  std::string variable(const char* name) override {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
  }
};

}  // namespace

Console& system_console() {
  static SystemConsole console;
  return console;
}

std::string console_text(Console& console, std::string_view shift_jis) {
  return console.text_is_utf8() ? sjis_to_utf8(shift_jis) : std::string(shift_jis);
}

void Reporter::note(bool written) {
  if (written || failed_) return;
  failed_ = true;
  failure_ = std::strerror(errno);
}

void Reporter::say(std::string_view text) {
  std::string line = program_ + ": ";
  line += console_safe(text, console_.text_is_utf8());
  line += '\n';
  note(console_.write_err(line));
}

int Reporter::end(int status) {
  if (out_failed_) {
    out_failed_ = false;
    say("cannot write to standard output: " + failure_);
  }
  return this->status(status);
}

int Reporter::answer(CommandRequest request, std::string_view help, std::string_view usage,
                     std::string_view problem) {
  switch (request) {
    case CommandRequest::help: out(help); return end(0);
    case CommandRequest::version: out(program_ + " " MOSAIQ_VERSION "\n"); return end(0);
    case CommandRequest::bad_usage:
      say(problem);
      err(usage);
      return 2;
    case CommandRequest::run: break;
  }
  return -1;
}

}  // namespace mosaiq
