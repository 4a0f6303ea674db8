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

}  // namespace mosaiq
