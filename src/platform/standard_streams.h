// What the platform tells and gives of the process's standard streams; the console builds on
// these.
#pragma once

namespace mosaiq {

// Reads one byte of standard input; false at its end or when the read fails.
bool read_standard_input_byte(char& byte);

// Drops what was typed ahead on a terminal; nothing when standard input is no terminal.
void discard_typed_ahead_input();

// Whether standard output, or standard error, is a terminal.
bool standard_output_is_terminal();
bool standard_error_is_terminal();

// Whether the console shows UTF-8: on POSIX when the codeset of the user's locale is UTF-8
// (LC_CTYPE is set back to "C" after the question, so nothing else changes); never on
// Windows, whose console texts are in the ANSI code page.
bool console_text_is_utf8();

// Standard error sent nowhere while one of these lives, and back where it went after: for
// libraries that tell of their troubles there, over a screen the program draws.
class StandardErrorSilenced {
 public:
  StandardErrorSilenced();
  ~StandardErrorSilenced();
  StandardErrorSilenced(const StandardErrorSilenced&) = delete;
  StandardErrorSilenced& operator=(const StandardErrorSilenced&) = delete;

 private:
  int saved_;  // standard error as it was; negative when it could not be kept
};

}  // namespace mosaiq
