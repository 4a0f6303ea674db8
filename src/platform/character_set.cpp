#include "platform/character_set.h"

namespace mosaiq {

std::size_t utf8_sequence_length(std::string_view text, std::size_t at) {
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char first = data[at];
  const std::size_t length = first < 0x80                    ? 1
                             : first >= 0xc2 && first < 0xe0 ? 2
                             : first >= 0xe0 && first < 0xf0 ? 3
                             : first >= 0xf0 && first < 0xf5 ? 4
                                                             : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((data[at + i] & 0xc0) != 0x80) return 0;
  }
  if ((first == 0xe0 && data[at + 1] < 0xa0) || (first == 0xed && data[at + 1] >= 0xa0) ||
      (first == 0xf0 && data[at + 1] < 0x90) || (first == 0xf4 && data[at + 1] >= 0x90)) {
    return 0;
  }
  return length;
}

bool is_utf8_beyond_ascii(std::string_view text) {
  bool beyond = false;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8_sequence_length(text, at);
    if (length == 0) return false;
    beyond |= length > 1;
    at += length;
  }
  return beyond;
}

namespace {

// The length of the Shift_JIS character at text[at], or 0 when none begins there.
std::size_t sjis_sequence_length(std::string_view text, std::size_t at) {
  const auto byte = static_cast<unsigned char>(text[at]);
  if (byte < 0x80 || (byte >= 0xa1 && byte <= 0xdf)) return 1;
  const bool lead = (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc);
  if (!lead || at + 1 >= text.size()) return 0;
  const auto trail = static_cast<unsigned char>(text[at + 1]);
  return (trail >= 0x40 && trail <= 0x7e) || (trail >= 0x80 && trail <= 0xfc) ? 2 : 0;
}

}  // namespace

std::string console_safe(std::string_view text, bool utf8) {
  static const char hex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    // C0 and C1 controls drive a terminal: never shown as they are.
    const bool c1 = utf8 && byte == 0xc2 && at + 1 < text.size() &&
                    static_cast<unsigned char>(text[at + 1]) < 0xa0;
    const std::size_t length = (byte < 0x20 && byte != '\t') || byte == 0x7f || c1 ? 0
                               : utf8 ? utf8_sequence_length(text, at)
                                      : sjis_sequence_length(text, at);
    if (length == 0) {
      out += "\\x";
      out += hex[byte >> 4];
      out += hex[byte & 15];
      ++at;
      continue;
    }
    out.append(text.substr(at, length));
    at += length;
  }
  return out;
}

}  // namespace mosaiq
