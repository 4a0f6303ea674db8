#include "platform/standard_streams.h"

#include <fcntl.h>
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

namespace {

bool is_character_device(DWORD stream) {
  const HANDLE handle = GetStdHandle(stream);
  return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_CHAR;
}

}  // namespace

bool standard_output_is_terminal() { return is_character_device(STD_OUTPUT_HANDLE); }

bool standard_error_is_terminal() { return is_character_device(STD_ERROR_HANDLE); }

bool console_text_is_utf8() { return false; }

StandardErrorSilenced::StandardErrorSilenced() : saved_(_dup(2)) {
  const int nothing = _open("NUL", _O_WRONLY);
  if (saved_ >= 0 && nothing >= 0) _dup2(nothing, 2);
  if (nothing >= 0) _close(nothing);
}

StandardErrorSilenced::~StandardErrorSilenced() {
  if (saved_ < 0) return;
  _dup2(saved_, 2);
  _close(saved_);
}

}  // namespace mosaiq
