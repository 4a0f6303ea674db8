#include "check/row_checks.h"

#include <cstdint>
#include <cstring>

#include "convert/row_bytes.h"

namespace mosaiq::check {

namespace {

// The length of a full-width digit or "＊" at text[at], in Shift_JIS (2) or UTF-8 (3); 0 when
// none stands there.
std::size_t full_width_at(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) {
    return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0u;
  };
  if (byte(0) == 0x82 && byte(1) >= 0x4f && byte(1) <= 0x58) return 2;  // ０ to ９
  if (byte(0) == 0x81 && byte(1) == 0x96) return 2;                     // ＊
  if (byte(0) == 0xef && byte(1) == 0xbc &&
      ((byte(2) >= 0x90 && byte(2) <= 0x99) || byte(2) == 0x8a)) {
    return 3;
  }
  return 0;
}

}  // namespace

std::size_t find_full_width(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (full_width_at(text, at) != 0) return at;
  }
  return nowhere;
}

bool begins_with_full_width_star(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  const std::string_view rest = text.substr(at);
  return rest.substr(0, 2) == "\x81\x96" || rest.substr(0, 3) == "\xef\xbc\x8a";
}

bool looks_like_record(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  // Each of the three parts: its ASCII forms, or its full-width form in Shift_JIS or UTF-8.
  const auto take = [&](std::string_view ascii, std::string_view sjis, std::string_view utf8,
                        bool digits) {
    const std::string_view rest = text.substr(at);
    if (!rest.empty() && ascii.find(rest[0]) != std::string_view::npos) return ++at, true;
    for (const std::string_view wide : {sjis, utf8}) {
      if (rest.size() < wide.size() ||
          rest.compare(0, wide.size() - digits, wide, 0, wide.size() - digits) != 0)
        continue;
      const unsigned char last = static_cast<unsigned char>(rest[wide.size() - 1]);
      const unsigned char first = static_cast<unsigned char>(wide.back());
      if (digits ? last >= first && last < first + 10 : last == first)
        return at += wide.size(), true;
    }
    return false;
  };
  return take("*", "\x81\x96", "\xef\xbc\x8a", false) &&
         take("fF", "\x82\x86", "\xef\xbd\x86", false) &&
         take("0123456789", "\x82\x4f", "\xef\xbc\x90", true);
}

std::size_t first_non_digit(std::string_view text) {
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, 8);
    if (((word & each_byte(0xF8)) ^ each_byte('0')) != 0) break;
  }
  while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xF8) == '0') ++at;
  return at;
}

RowExamination examine_row(std::string_view text, std::size_t width) {
  RowExamination found;
  found.directive = !text.empty() && text[0] == '*';
  if (width == 0) return found;
  const std::string_view cells = text.substr(0, width);
  const std::size_t bad = first_non_digit(cells);
  if (bad < cells.size() || text.size() != width) found.full_width = find_full_width(text);
  if (bad < cells.size() && found.full_width == nowhere) found.bad_cell = bad;
  // Full-width characters take two or three bytes a cell: they explain the length too.
  found.length = text.size() != width && found.full_width == nowhere;
  return found;
}

}  // namespace mosaiq::check
