#include "convert/field_scanner.h"

namespace mosaiq {

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool FieldScanner::scan_int(std::int32_t& value) {
  const char* at = text.data() + position;
  const char* const stop = text.data() + text.size();
  while (at < stop && is_blank(*at)) ++at;
  bool negative = false;
  if (at < stop && (*at == '+' || *at == '-')) {
    negative = *at == '-';
    ++at;
  }
  if (at >= stop || !is_digit(*at)) return false;
  std::uint32_t magnitude = 0;  // unsigned arithmetic wraps modulo 2^32 by definition
  for (; at < stop && is_digit(*at); ++at) {
    magnitude = magnitude * 10u + static_cast<std::uint32_t>(*at - '0');
  }
  if (negative) magnitude = 0u - magnitude;
  // Two's complement reading of the 32 bits, without relying on an out-of-range conversion.
  value = magnitude <= 0x7FFFFFFFu ? static_cast<std::int32_t>(magnitude)
                                   : -static_cast<std::int32_t>(~magnitude) - 1;
  position = static_cast<std::size_t>(at - text.data());
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
