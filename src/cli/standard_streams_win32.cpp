#include "cli/standard_streams.h"

#include <io.h>
#include <windows.h>

namespace mosaiq {

// Standard output and standard error stay in text mode: their "\n" reaches the console, or a
// redirected file, as CR LF.
bool read_standard_input_byte(char& byte) { return _read(0, &byte, 1) == 1; }

void discard_typed_ahead_input() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (input != INVALID_HANDLE_VALUE && GetFileType(input) == FILE_TYPE_CHAR) {
    FlushConsoleInputBuffer(input);
  }
}

bool standard_output_is_terminal() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  return output != INVALID_HANDLE_VALUE && GetFileType(output) == FILE_TYPE_CHAR;
}

bool console_text_is_utf8() { return false; }

}  // namespace mosaiq
