#include "convert/field_scanner.h"

namespace mosaiq {

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool FieldScanner::scan_int(std::int32_t& value) {
  std::size_t at = position;
  while (at < text.size() && is_blank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  if (at >= text.size() || !is_digit(text[at])) return false;
  std::uint32_t magnitude = 0;  // unsigned arithmetic wraps modulo 2^32 by definition
  while (at < text.size() && is_digit(text[at])) {
    magnitude = magnitude * 10u + static_cast<std::uint32_t>(text[at] - '0');
    ++at;
  }
  if (negative) magnitude = 0u - magnitude;
  // Two's complement reading of the 32 bits, without relying on an out-of-range conversion.
  value = magnitude <= 0x7FFFFFFFu ? static_cast<std::int32_t>(magnitude)
                                   : -static_cast<std::int32_t>(~magnitude) - 1;
  position = at;
  return true;
}

bool FieldScanner::scan_char(char c) {
  if (position >= text.size() || text[position] != c) return false;
  ++position;
  return true;
}

bool FieldScanner::scan_rest_of_line(std::string_view& value) {
  std::size_t stop = text.find('\n', position);
  if (stop == std::string_view::npos) stop = text.size();
  if (stop == position) return false;
  value = text.substr(position, stop - position);
  position = stop;
  return true;
}

}  // namespace mosaiq
