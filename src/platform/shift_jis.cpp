#include "platform/shift_jis.h"

#include "platform/character_set.h"

namespace mosaiq {

std::string sjis_to_utf8(std::string_view text) {
  std::string out;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t size =
        is_sjis_lead(bytes[at]) && at + 1 < text.size() && is_sjis_trail(bytes[at + 1]) ? 2 : 1;
    if (bytes[at] < 0x80) {
      out += text[at];
    } else if (!sjis_character_to_utf8(bytes + at, size, out)) {
      out += '?';
    }
    at += size;
  }
  return out;
}

bool utf8_to_sjis(std::string_view text, std::string& out, std::size_t& failed_at) {
  out.clear();
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      out += text[at++];
      continue;
    }
    const std::size_t size = utf8_sequence_length(text, at);
    if (size == 0 || !utf8_character_to_sjis(text.data() + at, size, out)) {
      failed_at = at;
      return false;
    }
    at += size;
  }
  return true;
}

}  // namespace mosaiq
