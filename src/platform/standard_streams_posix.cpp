#include "platform/standard_streams.h"

#include <fcntl.h>
#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstring>

namespace mosaiq {

bool read_standard_input_byte(char& byte) {
  for (;;) {
    const ssize_t count = ::read(STDIN_FILENO, &byte, 1);
    if (count < 0 && errno == EINTR) continue;
    return count == 1;
  }
}

void discard_typed_ahead_input() {
  if (::isatty(STDIN_FILENO)) ::tcflush(STDIN_FILENO, TCIFLUSH);
}

bool standard_output_is_terminal() { return ::isatty(STDOUT_FILENO) != 0; }

bool standard_error_is_terminal() { return ::isatty(STDERR_FILENO) != 0; }

bool console_text_is_utf8() {
  static const bool utf8 = [] {
    if (std::setlocale(LC_CTYPE, "") == nullptr) return false;
    const char* codeset = nl_langinfo(CODESET);
    const bool is_utf8 = codeset != nullptr &&
                         (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
    std::setlocale(LC_CTYPE, "C");
    return is_utf8;
  }();
  return utf8;
}

StandardErrorSilenced::StandardErrorSilenced() : saved_(::dup(STDERR_FILENO)) {
  const int nothing = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (saved_ >= 0 && nothing >= 0) ::dup2(nothing, STDERR_FILENO);
  if (nothing >= 0) ::close(nothing);
}

StandardErrorSilenced::~StandardErrorSilenced() {
  if (saved_ < 0) return;
  ::dup2(saved_, STDERR_FILENO);
  ::close(saved_);
}

}  // namespace mosaiq
