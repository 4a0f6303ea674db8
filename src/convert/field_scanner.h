// Reading directive fields with the rules of formatted input ("%d", literal characters, "%[^\n]").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mosaiq {

// A cursor over one directive line. Every scan either succeeds and moves past what it read, or
// fails and leaves the cursor and its target alone.
struct FieldScanner {
  std::string_view text;
  std::size_t position = 0;

  // "%d": blanks (space, \t, \n, \v, \f, \r) skipped, an optional sign, one or more decimal
  // digits. A value outside the signed 32-bit range wraps modulo 2^32.
  bool scan_int(std::int32_t& value);
  // A literal character of the form: the next character must be exactly c.
  bool scan_char(char c) {
    if (position >= text.size() || text[position] != c) return false;
    ++position;
    return true;
  }
  // "%[^\n]": one or more bytes up to the line end, which is left out.
  bool scan_rest_of_line(std::string_view& value);
};

}  // namespace mosaiq
